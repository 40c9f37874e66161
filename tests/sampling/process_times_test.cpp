#include "sampling/process_times.h"

#include <gtest/gtest.h>

#include <ctime>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace zt {
namespace {

// The kernel's list as a 32-bit and a 64-bit program receive it: the idle
// process, a named process, and one whose name points outside the buffer.
TEST(ProcessTimes, KernelListIsReadForBothPointerSizes) {
  for (size_t pointer : {size_t{4}, size_t{8}}) {
    const size_t entry = pointer == 8 ? 256 : 200, id_at = pointer == 8 ? 80 : 68;
    std::vector<unsigned char> buffer(3 * entry + 32);
    const uint64_t base = 0x10000;
    auto put = [&buffer](size_t at, uint64_t value, size_t bytes) {
      for (size_t i = 0; i < bytes; ++i) buffer[at + i] = static_cast<unsigned char>(value >> (8 * i));
    };
    for (size_t i = 0; i < 3; ++i) {
      const size_t e = i * entry;
      put(e, i < 2 ? entry : 0, 4);
      put(e + 32, 1000 + i, 8), put(e + 40, 300 * i, 8), put(e + 48, 20 * i, 8);  // created, user, kernel
      put(e + 56, 6, 2);  // name: 3 UTF-16 units
      put(e + 56 + pointer, i == 2 ? base + 1000000 : base + 3 * entry, pointer);
      put(e + id_at, i * 4, pointer);
      const size_t transfers_at = pointer == 8 ? 232 : 160;  // read, write, other
      put(e + transfers_at, 5000, 8), put(e + transfers_at + 8, 700, 8), put(e + transfers_at + 16, 60, 8);
    }
    std::memcpy(&buffer[3 * entry], "a\0\xE9\0b\0", 6);
    std::vector<ProcessTime> list;
    ParseSystemProcessList(buffer.data(), buffer.size(), pointer, base, list);
    ASSERT_EQ(list.size(), 2u) << pointer;  // the idle process is none
    EXPECT_EQ(std::vector<uint64_t>({list[0].id, list[0].created, list[0].cpu_100ns, list[0].io_bytes}),
              std::vector<uint64_t>({4, 1001, 320, 5760}));
    EXPECT_EQ(list[0].name, "a\xC3\xA9" "b");
    EXPECT_EQ(list[1].name, "System");  // no name to be read
    // Cut short anywhere: never read past the end.
    for (size_t size = 0; size < buffer.size(); size += 7)
      ParseSystemProcessList(buffer.data(), size, pointer, base, list);
  }
}

// This process's own processor time, as it counts it itself.
uint64_t OwnTime100ns() {
#ifdef _WIN32
  FILETIME created, ended, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
  auto value = [](FILETIME t) { return static_cast<uint64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime; };
  return value(kernel) + value(user);
#else
  return static_cast<uint64_t>(std::clock()) * 10000000u / CLOCKS_PER_SEC;
#endif
}

// The real list names this program, with the time it has just used.
TEST(ProcessTimes, TheRealListNamesThisProcess) {
  const uint64_t start = OwnTime100ns();
  volatile uint64_t spin = 0;
  while (OwnTime100ns() < start + 3000000) spin = spin + 1;
  const uint64_t used = OwnTime100ns();
  std::vector<ProcessTime> list;
  ASSERT_TRUE(Seam<IProcessTimes>::Real().Read(list));
#ifdef _WIN32
  const uint32_t self = GetCurrentProcessId();
  const std::string name = "sampling_tests.exe";
#else
  const auto self = static_cast<uint32_t>(getpid());
  const std::string name = "sampling_tests";
#endif
  bool found = false;
  for (const ProcessTime& p : list) {
    if (p.id != self) continue;
    found = true;
    EXPECT_EQ(p.name, name);
    EXPECT_GE(p.cpu_100ns, used * 8 / 10);  // the system counts in clock ticks
  }
  EXPECT_TRUE(found);
}

}  // namespace
}  // namespace zt
