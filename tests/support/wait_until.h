// Waiting in a test for what another thread does: a fault that never lets
// the condition hold fails the test instead of hanging the run.
#pragma once

#include <chrono>
#include <thread>

namespace zt::test {

template <typename Pred>
bool WaitUntil(Pred pred, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!pred()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace zt::test
