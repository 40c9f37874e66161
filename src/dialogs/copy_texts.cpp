#include "dialogs/copy_texts.h"

#include "cpuid/info_pages.h"

namespace zt {
namespace {

struct FigureCaption {
  const char* panel;
  const char* row;
};

// In the window's order, top to bottom (StatisticsValue).
constexpr FigureCaption kFigureCaptions[kStatisticsValueCount] = {
    {"CPU使用率", "最大："}, {"CPU使用率", "平均："}, {"CPU使用率", "最小："},
    {"内存使用", "最大："},  {"内存使用", "平均："},  {"内存使用", "最小："},
    {"计数器", "样本："},    {"计数器", "实际速率："}, {"时间", "运行："},
    {"时间", "开始："},
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
  return "无法保存报告：\n\n" + path + "\n\n" + reason;
}

std::string StatisticsFigureCaption(StatisticsValue value) {
  const FigureCaption& c = kFigureCaptions[static_cast<size_t>(value)];
  return std::string(c.panel) + " " + c.row;
}

std::string StatisticsCopyText(const StatisticsTexts& texts) {
  std::vector<std::vector<std::string>> lines;
  for (int v = 0; v < kStatisticsValueCount; ++v) {
    const auto value = static_cast<StatisticsValue>(v);
    lines.push_back({StatisticsFigureCaption(value), texts[value]});
  }
  return TabSeparatedLines(lines);
}

}  // namespace zt
