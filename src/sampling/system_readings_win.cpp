// Windows: the interfaces' table from the IP helper (GetIfTable2, with the
// 64-bit octet counters and each interface's hardware and filter flags), and
// the disk and graphics counters through the performance-data helper, added
// by their English names so that a system in another language finds them.
// Both libraries are loaded when first asked for: without them (before
// Vista, or a system whose counters are switched off) the figures are absent.
#include <winsock2.h>
#include <ws2ipdef.h>
#include <windows.h>
#include <iphlpapi.h>
#include <netioapi.h>
#include <pdh.h>
#include <pdhmsg.h>

#include <memory>

#include "sampling/system_readings.h"
#include "util/dynamic_calls_win.h"
#include "util/unicode_win.h"

namespace zt {

namespace {

class InterfaceTable final : public INetworkInterfaces {
 public:
  bool Read(std::vector<NetworkInterface>& out) override {
    out.clear();
    const IphlpapiCalls& ip = Iphlpapi();
    if (!ip.GetIfTable2 || !ip.FreeMibTable) return false;
    MIB_IF_TABLE2* raw = nullptr;
    if (ip.GetIfTable2(reinterpret_cast<void**>(&raw)) != NO_ERROR || !raw) return false;
    const std::unique_ptr<MIB_IF_TABLE2, void (*)(MIB_IF_TABLE2*)> table(
        raw, [](MIB_IF_TABLE2* t) { Iphlpapi().FreeMibTable(t); });
    out.reserve(table->NumEntries);
    for (ULONG k = 0; k < table->NumEntries; ++k) {
      const MIB_IF_ROW2& row = table->Table[k];
      NetworkInterface i;
      i.id = row.InterfaceLuid.Value;
      i.type = row.Type;
      i.up = row.OperStatus == IfOperStatusUp;
      i.hardware = row.InterfaceAndOperStatusFlags.HardwareInterface;
      i.filter = row.InterfaceAndOperStatusFlags.FilterInterface;
      i.received = row.InOctets;
      i.sent = row.OutOctets;
      out.push_back(i);
    }
    return true;
  }
};

constexpr wchar_t kDiskRead[] = L"\\PhysicalDisk(_Total)\\Disk Read Bytes/sec";
constexpr wchar_t kDiskWrite[] = L"\\PhysicalDisk(_Total)\\Disk Write Bytes/sec";
constexpr wchar_t kDiskIdle[] = L"\\PhysicalDisk(_Total)\\% Idle Time";
constexpr wchar_t kEngineUse[] = L"\\GPU Engine(*)\\Utilization Percentage";
constexpr wchar_t kDedicated[] = L"\\GPU Adapter Memory(*)\\Dedicated Usage";
// A set missing (no graphics adapter yet, counters being rebuilt) is looked
// for again this long after.
constexpr ULONGLONG kLookAgainMs = 60000;
constexpr DWORD kFormat = PDH_FMT_DOUBLE | PDH_FMT_NOCAP100;

bool Valid(DWORD status) { return status == PDH_CSTATUS_VALID_DATA || status == PDH_CSTATUS_NEW_DATA; }

class PerformanceCounters final : public ISystemCounters {
 public:
  ~PerformanceCounters() override { Close(); }

  void Read(CounterReading& out) override {
    out.disk = out.engines = out.adapter_memory = false;
    const ULONGLONG now = GetTickCount64();
    if (!tried_ || (missing_ && now - opened_ >= kLookAgainMs)) Open(now);
    // One collection for every counter: the engines' hundreds of instances
    // come in the same pass as the disks.
    if (!query_ || Pdh().PdhCollectQueryData(query_) != ERROR_SUCCESS) return;
    out.disk = Value(disk_read_, &out.disk_read) && Value(disk_write_, &out.disk_write) &&
               Value(disk_idle_, &out.disk_idle);
    out.engines = Instances(engine_use_, out.engine_use);
    out.adapter_memory = Instances(dedicated_, out.dedicated);
  }

 private:
  void Open(ULONGLONG now) {
    Close();
    tried_ = true;
    opened_ = now;
    const PdhCalls& pdh = Pdh();
    missing_ = true;
    if (!pdh.PdhOpenQueryW || !pdh.PdhAddEnglishCounterW || !pdh.PdhCollectQueryData ||
        !pdh.PdhGetFormattedCounterValue || !pdh.PdhGetFormattedCounterArrayW || !pdh.PdhCloseQuery ||
        pdh.PdhOpenQueryW(nullptr, 0, &query_) != ERROR_SUCCESS) {
      query_ = nullptr;
      return;
    }
    auto add = [&](const wchar_t* path, PDH_HCOUNTER* counter) {
      if (pdh.PdhAddEnglishCounterW(query_, path, 0, counter) != ERROR_SUCCESS) *counter = nullptr;
      return *counter != nullptr;
    };
    const bool disks = add(kDiskRead, &disk_read_) & add(kDiskWrite, &disk_write_) & add(kDiskIdle, &disk_idle_);
    const bool graphics = add(kEngineUse, &engine_use_) & add(kDedicated, &dedicated_);
    missing_ = !(disks && graphics);
    if (!disks && !graphics) Close();
  }

  void Close() {
    if (query_) Pdh().PdhCloseQuery(query_);
    query_ = nullptr;
    disk_read_ = disk_write_ = disk_idle_ = engine_use_ = dedicated_ = nullptr;
  }

  bool Value(PDH_HCOUNTER counter, double* value) {
    PDH_FMT_COUNTERVALUE v{};
    if (!counter || Pdh().PdhGetFormattedCounterValue(counter, kFormat, nullptr, &v) != ERROR_SUCCESS ||
        !Valid(v.CStatus))
      return false;
    *value = v.doubleValue;
    return true;
  }

  // Every instance's value; the buffer is kept for the next reading.  The
  // size is asked first with none: a buffer too small may be refused with
  // no size to trust.  An instance that comes between the two calls leaves
  // the set absent this time.
  bool Instances(PDH_HCOUNTER counter, std::vector<CounterInstance>& out) {
    out.clear();
    if (!counter) return false;
    DWORD bytes = 0, count = 0;
    PDH_STATUS status = Pdh().PdhGetFormattedCounterArrayW(counter, kFormat, &bytes, &count, nullptr);
    if (status == ERROR_SUCCESS) return true;  // no instance at all
    if (status != static_cast<PDH_STATUS>(PDH_MORE_DATA)) return false;
    if (items_.size() * sizeof(items_[0]) < bytes) items_.resize(bytes / sizeof(items_[0]) + 1);
    bytes = static_cast<DWORD>(items_.size() * sizeof(items_[0]));
    status = Pdh().PdhGetFormattedCounterArrayW(counter, kFormat, &bytes, &count,
                                                reinterpret_cast<PDH_FMT_COUNTERVALUE_ITEM_W*>(items_.data()));
    if (status != ERROR_SUCCESS) return false;
    const auto* item = reinterpret_cast<const PDH_FMT_COUNTERVALUE_ITEM_W*>(items_.data());
    for (DWORD k = 0; k < count; ++k) {
      if (!Valid(item[k].FmtValue.CStatus) || !item[k].szName) continue;
      out.push_back(CounterInstance{Narrow(item[k].szName), item[k].FmtValue.doubleValue});
    }
    return true;
  }

  PDH_HQUERY query_ = nullptr;
  PDH_HCOUNTER disk_read_ = nullptr, disk_write_ = nullptr, disk_idle_ = nullptr;
  PDH_HCOUNTER engine_use_ = nullptr, dedicated_ = nullptr;
  bool tried_ = false, missing_ = false;
  ULONGLONG opened_ = 0;
  std::vector<unsigned long long> items_;  // the items and their names, aligned for the items
};

}  // namespace

ZT_SEAM_REAL(INetworkInterfaces, InterfaceTable)

ZT_SEAM_REAL(ISystemCounters, PerformanceCounters)

}  // namespace zt
