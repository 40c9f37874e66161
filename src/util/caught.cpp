#include "util/caught.h"

#include <deque>
#include <exception>
#include <mutex>

namespace zt {

// Shows the line to a debugger where the system has one (caught_win.cpp).
void ReportCaughtToDebugger(const std::string& line) noexcept;

namespace {

std::mutex g_mutex;
std::deque<CaughtException>& Records() {
  static std::deque<CaughtException> records;
  return records;
}

std::string WhatOfCurrent() {
  try {
    if (const std::exception_ptr current = std::current_exception()) std::rethrow_exception(current);
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
  }
  return "unknown exception";
}

}  // namespace

void RecordCaught(const char* where) noexcept {
  try {
    CaughtException record{where ? where : "", WhatOfCurrent()};
    ReportCaughtToDebugger("Zettrim: caught in " + record.where + ": " + record.what + "\n");
    std::lock_guard<std::mutex> lock(g_mutex);
    Records().push_back(std::move(record));
    while (Records().size() > kCaughtKept) Records().pop_front();
  } catch (...) {
    // Out of memory while noting a fault: the note is what goes.
  }
}

std::vector<CaughtException> CaughtExceptions() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return {Records().begin(), Records().end()};
}

}  // namespace zt
