#include "util/process_priority.h"

namespace zt {

void TProcessPriority::Raise() {
  std::lock_guard<std::mutex> hold(lock_);
  if (holders_++ > 0) return;
  IProcessPriorityClass& priority = Seam<IProcessPriorityClass>::Get();
  uint32_t current = 0;
  // Without the present class there would be nothing safe to go back to.
  if (!priority.Read(current)) return;
  // Nothing to raise or to undo where the user's choice is as high.
  if (current == kHighPriorityClass || current == kRealtimePriorityClass) return;
  if (!priority.Write(kHighPriorityClass)) return;
  raised_ = true;
  saved_class_ = current;
  raised_through_ = &priority;
}

void TProcessPriority::Restore() {
  std::lock_guard<std::mutex> hold(lock_);
  if (holders_ == 0) return;
  if (--holders_ > 0) return;
  if (raised_) raised_through_->Write(saved_class_);
  raised_ = false;
  raised_through_ = nullptr;
}

int TProcessPriority::Holders() const {
  std::lock_guard<std::mutex> hold(lock_);
  return holders_;
}

TProcessPriority& ProcessPriority() {
  static TProcessPriority owner;
  return owner;
}

namespace {

struct SavedThreadPriority {
  int depth = 0;
  bool raised = false;
  int level = 0;
};

// Raise and restore happen on the thread that measures.
SavedThreadPriority& ThisThreadsSaved() {
  thread_local SavedThreadPriority saved;
  return saved;
}

}  // namespace

void TMachinePriority::RaisePriority() {
  SavedThreadPriority& saved = ThisThreadsSaved();
  // A level that could not be read is neither raised nor written back.
  if (saved.depth++ == 0) {
    ProcessPriority().Raise();
    saved.raised = detail::ExchangeThreadPriority(&saved.level, true);
  }
}

void TMachinePriority::RestorePriority() {
  SavedThreadPriority& saved = ThisThreadsSaved();
  if (saved.depth == 0) return;
  if (--saved.depth > 0) return;
  if (saved.raised) detail::ExchangeThreadPriority(&saved.level, false);
  saved.raised = false;
  ProcessPriority().Restore();
}

}  // namespace zt
