// The texts the CPU information and statistics windows put on the clipboard
// or into a file, and the captions of the commands that do it.  Portable.
//
// Every copied text is UTF-8 with lines ending in "\n", as `zettrim-cpuinfo`
// prints its report: a copy of the whole report is that report byte for
// byte, and a copied page is its lines of it.
#pragma once

#include <string>
#include <vector>

#include "dialogs/statistics_model.h"

namespace zt {

// The cells of each row joined by a TAB, one row a line.
std::string TabSeparatedLines(const std::vector<std::vector<std::string>>& rows);

// A page of the CPU information window as the report prints it: one line per
// row, "path TAB caption TAB value".  Empty for a code the report has no page
// for (a grouping node, an unknown code).  Reads the library.
std::string PageReportText(int code);
// The page's path in the report ("#0/CPUID/Standard"); empty when the report
// has no page for the code.  Reads the processor names only.
std::string PageReportPath(int code);

// The feature list's first column: whether the feature is available, as a
// screen reader and a copy read it (the list shows it as a picture only).
// TextId::InfoAvailable, TextId::InfoUnavailable (util/texts.h).

// The commands of the CPU information window's menus.  The lists: copy the
// selected rows (all rows when none is selected), select every row.  The
// tree: copy the page of the node, copy the whole report, save the report.
// TextId::InfoMenuCopy ... TextId::InfoMenuSaveReport (util/texts.h).
// The name the save dialog proposes: the one the report has when printed by
// `zettrim-cpuinfo > zettrim-cpuinfo.txt`.
inline constexpr char kReportFileName[] = "zettrim-cpuinfo.txt";
// The box shown when the report cannot be written: the file and the
// system's reason.
std::string SaveReportErrorText(const std::string& path, const std::string& reason);

// The statistics window's figures: each value label's caption, its panel's
// title and its row's caption ("CPU usage Maximum:"), as a copy and a screen
// reader give it.
std::string StatisticsFigureCaption(StatisticsValue value);
// Every figure with its caption, one a line, in the window's order:
// "CPU usage Maximum:\t100.00 %".  A `cpu_usage_title` given is the CPU
// panel's title as the window shows it (it may say whose load it is).
std::string StatisticsCopyText(const StatisticsTexts& texts, const std::string& cpu_usage_title = {});

}  // namespace zt
