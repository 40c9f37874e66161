// The "Processor Information" counter set through the performance-data
// helper library, which is loaded when first asked for: the program starts
// and measures as before on systems without it (Windows 9x, NT 4, and those
// whose counters are switched off).  The counters are added by their English
// names so that a system in another language finds them too.
#include "sampling/processor_performance_win.h"

#include <windows.h>
#include <pdh.h>
#include <pdhmsg.h>

#include <string>

namespace zt {

namespace {

constexpr wchar_t kPerformancePath[] =
    L"\\Processor Information(_Total)\\% Processor Performance";
constexpr wchar_t kNominalPath[] = L"\\Processor Information(_Total)\\Processor Frequency";

using OpenQueryFn = PDH_STATUS(WINAPI*)(LPCWSTR, DWORD_PTR, PDH_HQUERY*);
using AddCounterFn = PDH_STATUS(WINAPI*)(PDH_HQUERY, LPCWSTR, DWORD_PTR, PDH_HCOUNTER*);
using CollectFn = PDH_STATUS(WINAPI*)(PDH_HQUERY);
using FormatFn = PDH_STATUS(WINAPI*)(PDH_HCOUNTER, DWORD, LPDWORD, PPDH_FMT_COUNTERVALUE);
using CloseQueryFn = PDH_STATUS(WINAPI*)(PDH_HQUERY);

template <typename Fn>
Fn Entry(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// The library's entry points, looked up once.  The library stays loaded for
// the life of the process: queries may still be open while statics go.
struct PdhEntries {
  OpenQueryFn open = nullptr;
  AddCounterFn add = nullptr;
  CollectFn collect = nullptr;
  FormatFn format = nullptr;
  CloseQueryFn close = nullptr;
  bool complete() const { return open && add && collect && format && close; }
};

PdhEntries LoadPdh() {
  PdhEntries e;
  // From the system folder by its full path, never from the program's
  // folder or the current one.
  wchar_t system[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return e;
  const std::wstring path = std::wstring(system, length) + L"\\pdh.dll";
  HMODULE module = LoadLibraryW(path.c_str());
  if (!module) return e;
  e.open = Entry<OpenQueryFn>(module, "PdhOpenQueryW");
  // Missing before Windows Vista: no English names, no counters.
  e.add = Entry<AddCounterFn>(module, "PdhAddEnglishCounterW");
  e.collect = Entry<CollectFn>(module, "PdhCollectQueryData");
  e.format = Entry<FormatFn>(module, "PdhGetFormattedCounterValue");
  e.close = Entry<CloseQueryFn>(module, "PdhCloseQuery");
  if (!e.complete()) {
    FreeLibrary(module);
    return PdhEntries{};
  }
  return e;
}

class PdhQuery final : public IProcessorPerformanceQuery {
 public:
  PdhQuery(const PdhEntries& pdh, PDH_HQUERY query, const wchar_t* performance_path,
           const wchar_t* nominal_path)
      : pdh_(pdh), query_(query), performance_path_(performance_path), nominal_path_(nominal_path) {}
  ~PdhQuery() override { pdh_.close(query_); }
  PdhQuery(const PdhQuery&) = delete;
  PdhQuery& operator=(const PdhQuery&) = delete;

  bool Add() {
    return pdh_.add(query_, performance_path_, 0, &performance_) == ERROR_SUCCESS &&
           pdh_.add(query_, nominal_path_, 0, &nominal_) == ERROR_SUCCESS;
  }

  bool Collect() override { return pdh_.collect(query_) == ERROR_SUCCESS; }

  bool Read(double& performance_percent, double& nominal_mhz) override {
    // Boosting processors run above 100 %: the figure must not be capped.
    return Value(performance_, PDH_FMT_DOUBLE | PDH_FMT_NOCAP100, performance_percent) &&
           Value(nominal_, PDH_FMT_DOUBLE | PDH_FMT_NOCAP100, nominal_mhz);
  }

 private:
  bool Value(PDH_HCOUNTER counter, DWORD format, double& value) {
    PDH_FMT_COUNTERVALUE v{};
    if (pdh_.format(counter, format, nullptr, &v) != ERROR_SUCCESS) return false;
    if (v.CStatus != PDH_CSTATUS_VALID_DATA && v.CStatus != PDH_CSTATUS_NEW_DATA) return false;
    value = v.doubleValue;
    return true;
  }

  PdhEntries pdh_;  // a copy: the query may outlive the static that loaded them
  PDH_HQUERY query_;
  const wchar_t* performance_path_;
  const wchar_t* nominal_path_;
  PDH_HCOUNTER performance_ = nullptr;
  PDH_HCOUNTER nominal_ = nullptr;
};

const PdhEntries& Pdh() {
  static const PdhEntries pdh = LoadPdh();
  return pdh;
}

class PdhProcessorPerformance final : public IProcessorPerformance {
 public:
  std::unique_ptr<IProcessorPerformanceQuery> Open() override {
    return OpenPerformanceQuery(kPerformancePath, kNominalPath);
  }
};

}  // namespace

std::unique_ptr<IProcessorPerformanceQuery> OpenPerformanceQuery(const wchar_t* performance_path,
                                                                 const wchar_t* nominal_path) {
  const PdhEntries& pdh = Pdh();
  if (!pdh.complete()) return nullptr;
  PDH_HQUERY query = nullptr;
  if (pdh.open(nullptr, 0, &query) != ERROR_SUCCESS || !query) return nullptr;
  auto owned = std::make_unique<PdhQuery>(pdh, query, performance_path, nominal_path);
  if (!owned->Add()) return nullptr;
  return owned;
}

template <>
IProcessorPerformance& Seam<IProcessorPerformance>::Real() {
  static PdhProcessorPerformance pdh;
  return pdh;
}

}  // namespace zt
