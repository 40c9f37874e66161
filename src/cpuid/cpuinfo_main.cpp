// zettrim-cpuinfo: prints what the CPU information window shows, for this
// machine or for a recorded CPUID dump, and saves this machine's registers
// as a dump.
//   zettrim-cpuinfo [--load FILE] [--save FILE]
#include <cstdio>
#include <string>
#include <vector>

#include "cpuid/cpu_root.h"
#include "cpuid/dump_parser.h"
#include "cpuid/dump_writer.h"
#include "cpuid/replay.h"
#include "cpuid/report.h"
#include "util/texts.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "util/unicode_win.h"
#endif

namespace {

using namespace zt::cpuid;

constexpr const char* kUsage =
    "usage: zettrim-cpuinfo [--load FILE] [--save FILE]\n"
    "  (no option)   print the processor report of this machine\n"
    "  --load FILE   print the report for a CPUID dump (AIDA64/InstLatx64 text\n"
    "                or `cpuid -r` output) instead of this machine\n"
    "  --save FILE   write the CPUID registers of this machine (or of the loaded\n"
    "                dump) to FILE in the AIDA64/InstLatx64 text layout\n";

FILE* OpenFile(const std::string& path, const char* mode) {
#ifdef _WIN32
  return _wfopen(zt::Widen(path).c_str(), zt::Widen(mode).c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

// Reads at most the dump size limit and one byte more, so that an oversized
// file is recognised without reading it all.
bool ReadFile(const std::string& path, std::string& text, std::string& error) {
  FILE* f = OpenFile(path, "rb");
  if (!f) {
    error = "cannot open the file";
    return false;
  }
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
    text.append(buf, n);
    if (text.size() > kMaxDumpBytes) break;
  }
  bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) {
    error = "cannot read the file";
    return false;
  }
  return true;
}

// The name is UTF-8: on Windows the narrow remove() would read it in the ANSI
// code page and could delete some other file.
void RemoveFile(const std::string& path) {
#ifdef _WIN32
  _wremove(zt::Widen(path).c_str());
#else
  std::remove(path.c_str());
#endif
}

bool WriteFile(const std::string& path, const std::string& text, std::string& error) {
  FILE* f = OpenFile(path, "wb");
  if (!f) {
    error = "cannot create the file";
    return false;
  }
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  ok = (std::fclose(f) == 0) && ok;
  if (!ok) {
    error = "cannot write the file";
    RemoveFile(path);
  }
  return ok;
}

void PrintError(const std::string& message) {
  std::fprintf(stderr, "zettrim-cpuinfo: %s\n", message.c_str());
}

int Run(const std::vector<std::string>& args) {
  // The report's few words of its own follow the system's language, as the
  // information window's do.
  zt::SetCurrentLanguage(zt::LanguageFor("", zt::UserUiLanguage()));
  std::string load, save;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if ((a == "--load" || a == "--save") && i + 1 < args.size()) {
      std::string& target = a == "--load" ? load : save;
      if (!target.empty()) {
        PrintError(a + " given twice");
        return 2;
      }
      target = args[++i];
      if (target.empty()) {
        PrintError(a + " needs a file name");
        return 2;
      }
      continue;
    }
    PrintError(a == "--load" || a == "--save" ? a + " needs a file name"
                                              : "unknown argument '" + a + "'");
    std::fputs(kUsage, stderr);
    return 2;
  }

  std::shared_ptr<TReplayMachine> replay;
  if (!load.empty()) {
    std::string text, error;
    if (!ReadFile(load, text, error)) {
      PrintError(load + ": " + error);
      return 1;
    }
    try {
      replay = CreateReplayMachine(ParseDump(text));
    } catch (const EDumpError& e) {
      PrintError(load + ": " + e.what());
      return 1;
    }
  }
  ScopedMachine scope(replay ? std::shared_ptr<zt::ICpuMachine>(replay) : nullptr);
  if (replay) ResetCpuRoot();

  if (!save.empty()) {
    CpuidDump dump = CaptureDump(Machine());
    std::string error;
    if (!WriteFile(save, FormatAidaDump(dump), error)) {
      PrintError(save + ": " + error);
      return 1;
    }
    std::fprintf(stderr, "zettrim-cpuinfo: wrote the CPUID registers of %u processor(s) to %s\n",
                 static_cast<unsigned>(dump.cpus.size()), save.c_str());
    return 0;
  }

  std::string report = BuildReport();
  ResetCpuRoot();
  if (std::fwrite(report.data(), 1, report.size(), stdout) != report.size() ||
      std::fflush(stdout) != 0) {
    PrintError("cannot write the report");
    return 1;
  }
  return 0;
}

}  // namespace

#ifdef _WIN32
#include <shellapi.h>

int main() {
  // The report is UTF-8 with "\n" line ends, byte for byte as on Linux.
  _setmode(_fileno(stdout), _O_BINARY);
  SetConsoleOutputCP(CP_UTF8);
  // File names may hold any character: take the arguments in UTF-16.
  std::vector<std::string> args;
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv) {
    for (int i = 1; i < argc; ++i) args.push_back(zt::Narrow(argv[i]));
    LocalFree(argv);
  }
  return Run(args);
}
#else
int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return Run(args);
}
#endif
