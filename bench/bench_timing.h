// Timing harness shared by the benchmark programs: runs an operation for a
// while and reports microseconds per call and the heap allocations made.
// Include it from exactly one file of a program: it replaces operator new to
// count allocations.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <new>

namespace bench {
inline std::atomic<long> g_allocations{0};
inline double g_seconds = 1.0;  // how long each case runs
}  // namespace bench

void* operator new(std::size_t size) {
  ++bench::g_allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  ++bench::g_allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace bench {

struct Timing {
  double us_per_op = 0;
  long iterations = 0;
  long allocations = 0;
};

// Runs `op` for about g_seconds (at least 10 times) after two warm-up calls.
inline Timing Measure(const std::function<void()>& op) {
  op();
  op();
  using Clock = std::chrono::steady_clock;
  const long allocations_before = g_allocations;
  const auto start = Clock::now();
  long n = 0;
  double elapsed = 0;
  do {
    op();
    ++n;
    elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  } while (n < 10 || elapsed < g_seconds);
  Timing t;
  t.iterations = n;
  t.us_per_op = elapsed * 1e6 / static_cast<double>(n);
  t.allocations = g_allocations - allocations_before;
  return t;
}

inline void Report(const char* name, const Timing& t) {
  std::printf("%-48s %12.2f us/op  %8ld iterations  %ld allocations\n", name, t.us_per_op,
              t.iterations, t.allocations);
}

}  // namespace bench
