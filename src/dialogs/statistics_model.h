// What the statistics window shows: the text of each of its ten value
// labels, made from one copy of the monitor's statistics block.  Portable;
// the user's decimal separator and month names come in as a FigureFormat so
// every figure is tested natively.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "sampling/res_monitor.h"

namespace zt {

// The value labels, top to bottom.
enum class StatisticsValue : int {
  CpuUsageMax,
  CpuUsageAverage,
  CpuUsageMin,
  MemoryUsageMax,
  MemoryUsageAverage,
  MemoryUsageMin,
  Samples,
  ActualRate,  // Label_Rate
  TimeRuning,
  TimeStarted,
};
constexpr int kStatisticsValueCount = 10;

// UTF-8 texts, indexed by StatisticsValue.
struct StatisticsTexts {
  std::array<std::string, kStatisticsValueCount> text;
  std::string& operator[](StatisticsValue v) { return text[static_cast<size_t>(v)]; }
  const std::string& operator[](StatisticsValue v) const { return text[static_cast<size_t>(v)]; }
};

// How the user writes numbers and dates.
struct FigureFormat {
  std::string decimal_separator = ".";
  std::array<std::string, 12> short_months = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
};
// The user's own, asked of the system on each call.
FigureFormat UserFigureFormat();

// Without a monitor every label reads "??".
StatisticsTexts NoMonitorTexts();

// The CPU panel's title: "CPU usage", or, when the load is that of some of
// the machine's processors only, how many of how many.
std::string CpuUsageTitle(const LoadCoverage& coverage);

// Every label from one copy of the statistics and the 64-bit tick count now
// (GetTickCount64Ms).  The running time is the tick difference, rounded to
// whole seconds with an exact half going to the even neighbour.  A block that was never reset (a monitor created but
// not started: TimeStarted is the zero date) has no start: its running time,
// start and rate read "--".
StatisticsTexts StatisticsFigureTexts(const TResStatistics& s, uint64_t tick_now, const FigureFormat& format);

// "7 secs", "2 mins 7 secs", "1 hours 0 secs": minutes are left out when 0,
// hours when 0, seconds never.
std::string RunningTimeText(uint64_t elapsed_seconds);

// "dd mmm yyyy, hh:mm:ss" with the user's short month name:
// "16 Dec 2013, 09:05:07".
std::string StartTimeText(double date_time, const FigureFormat& format);

// The reset button's picture, a circular arrow, `size` pixels a side: how
// much of each pixel it covers, 0 to 255, in rows from the top.  At its
// design size, 16, it is the hand-set pixel picture; at any other size it is
// drawn from the same shape with smooth edges, never a small one stretched.
constexpr int kResetPictureSize = 16;
std::vector<uint8_t> DrawResetPicture(int size);

}  // namespace zt
