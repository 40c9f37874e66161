#include "dialogs/statistics_model.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "util/format.h"
#include "util/platform.h"
#include "util/texts.h"
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

std::string CpuUsageTitle(const LoadCoverage& coverage) {
  if (!coverage.Partial()) return Text(TextId::StatsCpuUsage);
  return Format(TextId::StatsCpuUsageOfSome, {std::to_string(coverage.measured), std::to_string(coverage.machine)});
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

namespace {

// The picture at its design size, one character a pixel.
constexpr const char* kResetPixels[kResetPictureSize] = {
    "................", "........#.......", "........##......", ".....######.....",
    "...########.....", "..###...##......", ".##.....#.......", ".##.............",
    "##...........##.", "##...........##.", ".##.........##..", ".###.......###..",
    "..####...####...", "...#########....", ".....#####......", "................",
};

// The same shape in design units (a 16-unit square): a ring round
// (7.5, 8.5) open in its upper right quarter, its upper end carrying an
// arrow head that points right.
bool InResetShape(double x, double y) {
  constexpr double kCx = 7.5, kCy = 8.5, kInner = 4.5, kOuter = 6.5;
  const double dx = x - kCx, dy = y - kCy;
  const double r = std::sqrt(dx * dx + dy * dy);
  const bool open_quarter = dx > 0 && dy < 0;
  if (r >= kInner && r <= kOuter && !open_quarter) return true;
  // The head: a triangle with its base upright at x = 7.5 and its tip at
  // (11.5, 3), on the ring's middle line.
  constexpr double kBaseX = 7.5, kTipX = 11.5, kTipY = 3.0, kHalfBase = 3.0;
  if (x < kBaseX || x > kTipX) return false;
  const double half = kHalfBase * (kTipX - x) / (kTipX - kBaseX);
  return std::fabs(y - kTipY) <= half;
}

}  // namespace

std::vector<uint8_t> DrawResetPicture(int size) {
  if (size <= 0) return {};
  std::vector<uint8_t> cover(static_cast<size_t>(size) * static_cast<size_t>(size), 0);
  if (size == kResetPictureSize) {
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) cover[static_cast<size_t>(y * size + x)] = kResetPixels[y][x] == '#' ? 255 : 0;
    }
    return cover;
  }
  // 4 x 4 samples a pixel smooth the edges.
  constexpr int kSub = 4;
  const double unit = static_cast<double>(kResetPictureSize) / size;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      int inside = 0;
      for (int sy = 0; sy < kSub; ++sy) {
        for (int sx = 0; sx < kSub; ++sx) {
          if (InResetShape((x + (sx + 0.5) / kSub) * unit, (y + (sy + 0.5) / kSub) * unit)) ++inside;
        }
      }
      cover[static_cast<size_t>(y * size + x)] = static_cast<uint8_t>((inside * 255 + kSub * kSub / 2) / (kSub * kSub));
    }
  }
  return cover;
}

}  // namespace zt
