// The line of the disks, the network and the graphics under the main
// window's graph (setting ShowMoreResources) and their lines in the tray tip:
// which figures appear and how they read.  A figure the system does not tell
// (kNoReading) is left out, never shown as 0.  Portable.
#pragma once

#include <string>

#include "sampling/history.h"

namespace zt {

// What the window grows by for the line, in design units.
constexpr int kMoreLineDesignHeight = 14;

// A rate in KB a second (1 KB = 1024 bytes) with three figures at most:
// "8 KB/s", "999 KB/s", "1.0 MB/s", "35 MB/s", "2.1 GB/s" (one decimal below
// 10 of a unit); empty for no reading (not a number, negative, infinite).
std::string FormatRate(double kb_per_second, const std::string& decimal_separator);

// The window's line, UTF-8: "Disk 1.2 MB/s 35%  Net ↓120 KB/s ↑8 KB/s  GPU 12%"
// (the disks' read and write together and their active time; received and
// sent; the graphics' load, or its memory where the load is not told), in
// the current language; "—" when nothing at all was read.
std::string MoreResourcesLine(const ResourceFigures& figures, const std::string& decimal_separator);

// The tray tip's lines for what was read, each after a bare carriage return
// like the memory's line: "\rDisk: 1.2 MB/s 35%\rNet: ↓120 KB/s ↑8 KB/s\rGPU: 12% 512 MB".
std::string MoreResourcesTipLines(const ResourceFigures& figures, const std::string& decimal_separator);

}  // namespace zt
