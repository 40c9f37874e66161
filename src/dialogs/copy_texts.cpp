#include "dialogs/copy_texts.h"

#include "cpuid/info_pages.h"
#include "util/texts.h"

namespace zt {
namespace {

struct FigureCaption {
  TextId panel;
  TextId row;
};

using T = TextId;
// In the window's order, top to bottom (StatisticsValue).
constexpr FigureCaption kFigureCaptions[kStatisticsValueCount] = {
    {T::StatsCpuUsage, T::StatsMaximum},    {T::StatsCpuUsage, T::StatsAverage},
    {T::StatsCpuUsage, T::StatsMinimum},    {T::StatsMemoryUsage, T::StatsMaximum},
    {T::StatsMemoryUsage, T::StatsAverage}, {T::StatsMemoryUsage, T::StatsMinimum},
    {T::StatsCounter, T::StatsSamples},     {T::StatsCounter, T::StatsActualRate},
    {T::StatsTime, T::StatsRunning},        {T::StatsTime, T::StatsStarted},
};

}  // namespace

std::string TabSeparatedLines(const std::vector<std::vector<std::string>>& rows) {
  std::string out;
  for (const std::vector<std::string>& row : rows) {
    for (size_t i = 0; i < row.size(); ++i) {
      if (i > 0) out += '\t';
      out += row[i];
    }
    out += '\n';
  }
  return out;
}

std::string PageReportPath(int code) { return cpuid::PagePath(code); }

std::string PageReportText(int code) {
  const std::string path = PageReportPath(code);
  if (path.empty()) return std::string();
  std::vector<std::vector<std::string>> lines;
  for (const cpuid::InfoRow& row : cpuid::PageRows(code)) lines.push_back({path, row.caption, row.value});
  return TabSeparatedLines(lines);
}

std::string SaveReportErrorText(const std::string& path, const std::string& reason) {
  return Format(TextId::InfoSaveFailed, {path, reason});
}

std::string StatisticsFigureCaption(StatisticsValue value) {
  const FigureCaption& c = kFigureCaptions[static_cast<size_t>(value)];
  return std::string(Text(c.panel)) + " " + Text(c.row);
}

std::string StatisticsCopyText(const StatisticsTexts& texts, const std::string& cpu_usage_title) {
  std::vector<std::vector<std::string>> lines;
  for (int v = 0; v < kStatisticsValueCount; ++v) {
    const auto value = static_cast<StatisticsValue>(v);
    const FigureCaption& c = kFigureCaptions[static_cast<size_t>(v)];
    std::string caption = StatisticsFigureCaption(value);
    if (c.panel == TextId::StatsCpuUsage && !cpu_usage_title.empty()) caption = cpu_usage_title + " " + Text(c.row);
    lines.push_back({caption, texts[value]});
  }
  return TabSeparatedLines(lines);
}

}  // namespace zt
