// Worker-thread base for the sampling threads.  A thread object is created
// suspended, started with Start(), asked to stop with Terminate() and waited
// for with WaitFor(); it never deletes itself.
//
// Synchronize() runs a function on the user-interface thread while the worker
// waits.  The calls are kept in one process-wide queue that the UI thread
// drains with ServeSynchronizeQueue().  On Windows a hidden message-only
// window, created on the UI thread together with the first thread object, is
// woken by a posted message and drains the queue from the message loop, so
// windows need no extra code.  Elsewhere (and in tests) whichever thread calls
// ServeSynchronizeQueue() or WaitFor() plays the UI thread.
//
// WaitFor() keeps draining the queue while it waits, so a worker blocked in
// Synchronize() finishes its call, sees the terminate request and ends; the
// UI thread cannot deadlock on it.  A worker pauses with
// SleepUnlessTerminated(), which the terminate request cuts short, so
// stopping a thread never waits out its pause.
#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <thread>

#include "util/thread_pause.h"

namespace zt {

namespace detail {
// Set once, by the terminate request; a sleeping worker waits on it.  Per
// platform: a Windows event (its time-out is relative, so a change of the
// system clock cannot stretch a pause), a condition variable elsewhere.
// It is the worker's pause waiter (util/thread_pause.h).
class TerminateSignal final : public IPauseWaiter {
 public:
  TerminateSignal();
  ~TerminateSignal();
  TerminateSignal(const TerminateSignal&) = delete;
  TerminateSignal& operator=(const TerminateSignal&) = delete;
  void Set();
  // Returns once the signal is set (at once if it already is) or ms
  // milliseconds have passed.
  void Wait(uint32_t ms) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};
}  // namespace detail

class TWorkerThread {
 public:
  TWorkerThread();
  // The owner must Terminate() and WaitFor() (or just delete: the destructor
  // does both) before the derived object goes; derived classes whose Execute()
  // touches their own members call Stop() in their destructor.
  virtual ~TWorkerThread();
  TWorkerThread(const TWorkerThread&) = delete;
  TWorkerThread& operator=(const TWorkerThread&) = delete;

  // Starts the thread; a second call does nothing.
  void Start();
  // Sets the terminate request; the run loop checks it, and the thread's
  // SleepUnlessTerminated() returns at once.
  void Terminate();
  bool Terminated() const { return terminated_.load(); }
  // Waits until the thread has ended, serving Synchronize calls meanwhile.
  // Returns at once when the thread was never started.
  void WaitFor();
  // Terminate() then WaitFor().
  void Stop();

  bool Started() const { return started_; }
  bool Finished() const { return finished_.load(); }
  // The system's number of the thread, 0 until it runs.
  uint32_t ThreadId() const { return thread_id_.load(); }
  // The error that ended Execute(), if any (read after WaitFor()).
  std::exception_ptr FatalException() const { return fatal_; }

 protected:
  // The run method.  An error escaping it ends the thread quietly; it is kept
  // in FatalException().
  virtual void Execute() = 0;
  // Runs fn on the UI thread and returns when it has run; an error raised by
  // fn is raised again here.  Called from any thread other than this worker's
  // own, fn simply runs there.
  void Synchronize(const std::function<void()>& fn);

 private:
  void ThreadMain();

  std::thread thread_;
  std::atomic<uint32_t> thread_id_{0};
  std::atomic<bool> terminated_{false};
  detail::TerminateSignal terminate_signal_;
  std::atomic<bool> finished_{false};
  bool started_ = false;
  std::exception_ptr fatal_;
};

// Sleeps ms milliseconds.  On a worker thread the sleep ends as soon as that
// worker is asked to terminate (at once if it already has been): the caller
// checks Terminated() afterwards.  On any other thread it is a plain sleep.
void SleepUnlessTerminated(uint32_t ms);

// Runs every pending Synchronize call on the calling thread; returns how many
// ran.  The Windows wake-up window calls it; tests call it directly.
int ServeSynchronizeQueue();

// Pending Synchronize calls (tests).
int PendingSynchronizeCalls();

namespace detail {
// Platform hooks (worker_thread_win.cpp / worker_thread_linux.cpp).
// Called on the thread that creates a thread object (the UI thread).
void PrepareUiWakeup();
// Called by a worker after queueing a call.
void WakeUiThread();
}  // namespace detail

}  // namespace zt
