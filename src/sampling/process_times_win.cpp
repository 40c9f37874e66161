#include <windows.h>

#include <cstdint>
#include <vector>

#include "sampling/process_times.h"

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
  KernelProcessList() {
    if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll"))
      query_ = reinterpret_cast<QueryFn>(
          reinterpret_cast<void (*)()>(GetProcAddress(ntdll, "NtQuerySystemInformation")));
  }

  bool Read(std::vector<ProcessTime>& out) override {
    out.clear();
    if (!query_) return false;
    for (;;) {
      ULONG returned = 0;
      const LONG status = query_(kSystemProcessInformation, buffer_.data(),
                                 static_cast<ULONG>(buffer_.size()), &returned);
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
  using QueryFn = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
  QueryFn query_ = nullptr;
  std::vector<unsigned char> buffer_ = std::vector<unsigned char>(256 * 1024);
};

}  // namespace

template <>
IProcessTimes& Seam<IProcessTimes>::Real() {
  static KernelProcessList list;
  return list;
}

}  // namespace zt
