#include <windows.h>

#include <cstdint>
#include <vector>

#include "sampling/process_times.h"
#include "util/dynamic_calls_win.h"

namespace zt {

namespace {

constexpr ULONG kSystemProcessInformation = 5;
constexpr LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004L);
// A list this large would be tens of thousands of processes: something is
// wrong, and the reading is given up rather than the memory.
constexpr size_t kMaxBufferBytes = 64u << 20;

// The kernel's process list carries every process's user and kernel time in
// one call; GetProcessTimes would need a handle to each process (refused for
// many, and under Wine answering 0 for every process but our own).
class KernelProcessList final : public IProcessTimes {
 public:
  bool Read(std::vector<ProcessTime>& out) override {
    out.clear();
    const auto query = Ntdll().NtQuerySystemInformation;
    if (!query) return false;
    for (;;) {
      ULONG returned = 0;
      const LONG status =
          query(kSystemProcessInformation, buffer_.data(), static_cast<ULONG>(buffer_.size()), &returned);
      if (status == kStatusInfoLengthMismatch && buffer_.size() < kMaxBufferBytes) {
        // Processes may start before the next call: some room to spare.
        const size_t wanted = static_cast<size_t>(returned) + 64 * 1024;
        buffer_.resize(wanted > buffer_.size() * 2 ? wanted : buffer_.size() * 2);
        continue;
      }
      if (status < 0) return false;
      const size_t size = returned != 0 && returned <= buffer_.size() ? returned : buffer_.size();
      ParseSystemProcessList(buffer_.data(), size, sizeof(void*),
                             reinterpret_cast<uintptr_t>(buffer_.data()), out);
      return true;
    }
  }

 private:
  std::vector<unsigned char> buffer_ = std::vector<unsigned char>(256 * 1024);
};

}  // namespace

ZT_SEAM_REAL(IProcessTimes, KernelProcessList)

}  // namespace zt
