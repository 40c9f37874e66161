#include "shell/more_resources.h"

#include <cmath>

#include "util/format.h"
#include "util/texts.h"

namespace zt {
namespace {

bool Read(float value) { return std::isfinite(value) && value >= 0; }

// Appends part after gap (none before the first); an empty part adds nothing.
void Append(std::string& out, const char* gap, const std::string& part) {
  if (part.empty()) return;
  if (!out.empty()) out += gap;
  out += part;
}

// The disks', the network's and the graphics' figures, each empty when none
// was read; the tip has room for the graphics' memory beside its load.
std::string Labelled(const ResourceFigures& f, const std::string& sep, bool tip) {
  std::string parts[3];
  // Read and write together; one that is not told does not hide the other.
  const bool read = Read(f.disk_read), written = Read(f.disk_write);
  if (read || written) parts[0] = FormatRate((read ? f.disk_read : 0.0) + (written ? f.disk_write : 0.0), sep);
  if (Read(f.disk_active)) Append(parts[0], " ", std::to_string(RoundHalfEven(f.disk_active)) + "%");
  std::string rate = FormatRate(f.net_received, sep);
  if (!rate.empty()) parts[1] = "\u2193" + rate;
  rate = FormatRate(f.net_sent, sep);
  if (!rate.empty()) Append(parts[1], " ", "\u2191" + rate);
  if (Read(f.gpu_load)) parts[2] = std::to_string(RoundHalfEven(f.gpu_load)) + "%";
  if (Read(f.gpu_memory) && (tip || parts[2].empty())) Append(parts[2], " ", FormatThousands(f.gpu_memory) + " MB");

  static constexpr TextId kLabels[] = {TextId::MoreDisk, TextId::MoreNetwork, TextId::MoreGraphics};
  std::string out;
  for (int i = 0; i < 3; ++i) {
    if (parts[i].empty()) continue;
    if (tip) {
      out += '\r';
    } else if (!out.empty()) {
      out += "  ";
    }
    out += Text(kLabels[i]);
    out += tip ? ": " : " ";
    out += parts[i];
  }
  return out;
}

}  // namespace

std::string FormatRate(double kb, const std::string& sep) {
  if (!std::isfinite(kb) || kb < 0) return {};
  static const char* const kUnits[] = {" KB/s", " MB/s", " GB/s", " TB/s"};
  double value = kb;
  int unit = 0;
  while (unit < 3 && RoundHalfEven(value) >= 1000) {
    value /= 1024;
    ++unit;
  }
  if (unit > 0 && value < 9.95) return FormatFixed(value, 1, sep) + kUnits[unit];
  return FormatThousands(value) + kUnits[unit];
}

std::string MoreResourcesLine(const ResourceFigures& f, const std::string& sep) {
  const std::string line = Labelled(f, sep, false);
  return line.empty() ? "\u2014" : line;
}

std::string MoreResourcesTipLines(const ResourceFigures& f, const std::string& sep) { return Labelled(f, sep, true); }

}  // namespace zt
