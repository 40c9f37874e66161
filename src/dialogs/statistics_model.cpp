#include "dialogs/statistics_model.h"

#include <cstdio>

#include "util/format.h"
#include "util/platform.h"
#include "util/user_locale.h"

namespace zt {
namespace {

const char* const kUnknown = "??";
const char* const kNoFigure = "--";

std::string PercentText(double percent, int decimals, const FigureFormat& format) {
  return FormatFixed(percent, decimals, format.decimal_separator) + " %";
}

// "45.3 %  (3,711 MB)": the share and what it is of the latest total.
std::string MemoryText(double percent, double total_mb, const FigureFormat& format) {
  return PercentText(percent, 1, format) + "  (" + FormatThousands(total_mb * percent / 100) + " MB)";
}

std::string TwoDigits(int n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", n);
  return buf;
}

}  // namespace

FigureFormat UserFigureFormat() {
  FigureFormat format;
  format.decimal_separator = UserDecimalSeparator();
  format.short_months = UserShortMonthNames();
  return format;
}

StatisticsTexts NoMonitorTexts() {
  StatisticsTexts texts;
  texts.text.fill(kUnknown);
  return texts;
}

std::string RunningTimeText(uint64_t elapsed_seconds) {
  const uint64_t h = elapsed_seconds / 3600;
  const uint64_t m = (elapsed_seconds - 3600 * h) / 60;
  const uint64_t s = elapsed_seconds - 3600 * h - 60 * m;
  std::string text = std::to_string(s) + " secs";
  if (m > 0) text = std::to_string(m) + " mins " + text;
  if (h > 0) text = std::to_string(h) + " hours " + text;
  return text;
}

std::string StartTimeText(double date_time, const FigureFormat& format) {
  const DateTimeParts t = DateTimeToParts(date_time);
  return TwoDigits(t.day) + " " + format.short_months[static_cast<size_t>(t.month - 1)] + " " +
         std::to_string(t.year) + ", " + TwoDigits(t.hour) + ":" + TwoDigits(t.minute) + ":" +
         TwoDigits(t.second);
}

StatisticsTexts StatisticsFigureTexts(const TResStatistics& s, uint64_t tick_now, const FigureFormat& format) {
  using V = StatisticsValue;
  StatisticsTexts texts;
  texts[V::CpuUsageMax] = PercentText(s.CpuMax, 2, format);
  texts[V::CpuUsageAverage] = PercentText(s.CpuAverage, 2, format);
  texts[V::CpuUsageMin] = PercentText(s.CpuMin, 2, format);
  texts[V::MemoryUsageMax] = MemoryText(s.MemoryMax, s.MemoryTotal, format);
  texts[V::MemoryUsageAverage] = MemoryText(s.MemoryAverage, s.MemoryTotal, format);
  texts[V::MemoryUsageMin] = MemoryText(s.MemoryMin, s.MemoryTotal, format);
  texts[V::Samples] = std::to_string(s.Samples);

  // Every reset stamps the local time, which is never the zero date; a block
  // that still holds it was never started and has no start to count from.
  if (s.TimeStarted == 0) {
    texts[V::ActualRate] = texts[V::TimeRuning] = texts[V::TimeStarted] = kNoFigure;
    return texts;
  }
  const uint64_t elapsed_ms = tick_now - s.TickStarted;
  const auto e = static_cast<uint64_t>(RoundHalfEven(static_cast<double>(elapsed_ms) / 1000.0));
  texts[V::ActualRate] =
      s.Samples > 0 ? FormatFixed(static_cast<double>(e) / s.Samples, 3, format.decimal_separator) + " s"
                    : kNoFigure;
  texts[V::TimeRuning] = RunningTimeText(e);
  texts[V::TimeStarted] = StartTimeText(s.TimeStarted, format);
  return texts;
}

}  // namespace zt
