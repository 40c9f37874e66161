// The "Processor Information" counter set through the performance-data
// helper library, which is loaded when first asked for: the program starts
// and measures as before on systems without it (Windows 9x, NT 4, and those
// whose counters are switched off).  The counters are added by their English
// names so that a system in another language finds them too.
#include "sampling/processor_performance_win.h"

#include <windows.h>
#include <pdh.h>
#include <pdhmsg.h>

#include "util/dynamic_calls_win.h"

namespace zt {

namespace {

constexpr wchar_t kPerformancePath[] =
    L"\\Processor Information(_Total)\\% Processor Performance";
constexpr wchar_t kNominalPath[] = L"\\Processor Information(_Total)\\Processor Frequency";

// Every entry point or none: without the English names (before Vista)
// there are no counters.
bool Complete(const PdhCalls& pdh) {
  return pdh.PdhOpenQueryW && pdh.PdhAddEnglishCounterW && pdh.PdhCollectQueryData &&
         pdh.PdhGetFormattedCounterValue && pdh.PdhCloseQuery;
}

class PdhQuery final : public IProcessorPerformanceQuery {
 public:
  PdhQuery(PDH_HQUERY query, const wchar_t* performance_path, const wchar_t* nominal_path)
      : query_(query), performance_path_(performance_path), nominal_path_(nominal_path) {}
  ~PdhQuery() override { Pdh().PdhCloseQuery(query_); }
  PdhQuery(const PdhQuery&) = delete;
  PdhQuery& operator=(const PdhQuery&) = delete;

  bool Add() {
    return Pdh().PdhAddEnglishCounterW(query_, performance_path_, 0, &performance_) == ERROR_SUCCESS &&
           Pdh().PdhAddEnglishCounterW(query_, nominal_path_, 0, &nominal_) == ERROR_SUCCESS;
  }

  bool Collect() override { return Pdh().PdhCollectQueryData(query_) == ERROR_SUCCESS; }

  bool Read(double& performance_percent, double& nominal_mhz) override {
    // Boosting processors run above 100 %: the figure must not be capped.
    return Value(performance_, PDH_FMT_DOUBLE | PDH_FMT_NOCAP100, performance_percent) &&
           Value(nominal_, PDH_FMT_DOUBLE | PDH_FMT_NOCAP100, nominal_mhz);
  }

 private:
  bool Value(PDH_HCOUNTER counter, DWORD format, double& value) {
    PDH_FMT_COUNTERVALUE v{};
    if (Pdh().PdhGetFormattedCounterValue(counter, format, nullptr, &v) != ERROR_SUCCESS) return false;
    if (v.CStatus != PDH_CSTATUS_VALID_DATA && v.CStatus != PDH_CSTATUS_NEW_DATA) return false;
    value = v.doubleValue;
    return true;
  }

  PDH_HQUERY query_;
  const wchar_t* performance_path_;
  const wchar_t* nominal_path_;
  PDH_HCOUNTER performance_ = nullptr;
  PDH_HCOUNTER nominal_ = nullptr;
};

class PdhProcessorPerformance final : public IProcessorPerformance {
 public:
  std::unique_ptr<IProcessorPerformanceQuery> Open() override {
    return OpenPerformanceQuery(kPerformancePath, kNominalPath);
  }
};

}  // namespace

std::unique_ptr<IProcessorPerformanceQuery> OpenPerformanceQuery(const wchar_t* performance_path,
                                                                 const wchar_t* nominal_path) {
  if (!Complete(Pdh())) return nullptr;
  PDH_HQUERY query = nullptr;
  if (Pdh().PdhOpenQueryW(nullptr, 0, &query) != ERROR_SUCCESS || !query) return nullptr;
  auto owned = std::make_unique<PdhQuery>(query, performance_path, nominal_path);
  if (!owned->Add()) return nullptr;
  return owned;
}

ZT_SEAM_REAL(IProcessorPerformance, PdhProcessorPerformance)

}  // namespace zt
