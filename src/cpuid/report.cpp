#include "cpuid/report.h"

#include "cpuid/cpu_root.h"
#include "cpuid/info_pages.h"

namespace zt::cpuid {

namespace {

void AddRow(std::string& out, const std::string& page, const std::string& caption,
            const std::string& value) {
  out += page;
  out += '\t';
  out += caption;
  out += '\t';
  out += value;
  out += '\n';
}

}  // namespace

std::string BuildReport() {
  std::string out;
  AddRow(out, "Library", "Version", CpuRoot().Version()->AsVersion());
  for (const InfoPage& page : BuildAllPages()) {
    for (const InfoRow& row : page.rows) AddRow(out, page.path, row.caption, row.value);
  }
  return out;
}

}  // namespace zt::cpuid
