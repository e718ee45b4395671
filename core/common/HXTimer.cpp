// SPDX-License-Identifier: Apache-2.0
// The timer service: one thread per scheduled callback, joined by stopAll.
#include "HXTimer.h"

#include <algorithm>
#include <chrono>

#include "detail/clock.h"
#include "detail/log.h"

namespace {

constexpr std::chrono::milliseconds kLongestWait{HXTimer::kLongestWaitMs};

// The clock a condition variable's timed wait runs on (wait_for reads it too):
// a timeout's deadline is a point on it.
using WaitClock = std::chrono::steady_clock;

// Removes every thread from `threads`, joining those still joinable, and
// returns how many were removed.
int join_all(std::deque<std::thread>& threads) {
  int joined = 0;
  while (!threads.empty()) {
    if (threads.front().joinable()) threads.front().join();
    threads.pop_front();
    ++joined;
  }
  return joined;
}

// Where interval threads pause, for every timer of the process: a timer
// keeps no room of its own for it, since its layout is part of the binary
// interface. The mutex is held only to test a stop flag and to wait, never
// while a callback runs, so interval callbacks still run beside each other and
// beside timeout callbacks. Never destroyed: an interval may still be pausing
// while static objects are torn down at exit.
struct IntervalPauses {
  std::mutex mutex;
  std::condition_variable wake;
};

IntervalPauses& interval_pauses() {
  static IntervalPauses* const pauses = new IntervalPauses;
  return *pauses;
}

// Pauses until the library's clock is `periodMs` on, in waits of at most ten
// days, or until `stop` is set (a wake-up for another timer's stopAll sleeps
// on).
void pause_period(const std::atomic<bool>& stop, int periodMs) {
  if (periodMs <= 0) return;
  const long long target = hxcore::detail::now_ms() + periodMs;
  IntervalPauses& pauses = interval_pauses();
  std::unique_lock<std::mutex> lock(pauses.mutex);
  for (long long at = hxcore::detail::now_ms(); at < target && !stop; at = hxcore::detail::now_ms()) {
    pauses.wake.wait_for(lock, std::min(std::chrono::milliseconds(target - at), kLongestWait));
  }
}

// A timeout's thread: waits on `wake` under `mutex` until `delayMs` after
// `called` (the scheduling call, so the thread's start does not delay it) and
// calls `callback` unless a broadcast or the stop flag came first.
void run_timeout(std::mutex& mutex, std::condition_variable& wake, const std::atomic<bool>& stop,
                 const std::function<void()>& callback, int delayMs, WaitClock::time_point called) {
  std::unique_lock<std::mutex> lock(mutex);
  // A thread that gets here after stopAll's broadcast would sleep through its
  // whole delay; the flag, read under the mutex the broadcast takes, ends it.
  if (stop) return;
  bool expired = true;
  if (delayMs > HXTimer::kLongestWaitMs) {
    wake.wait_for(lock, kLongestWait);
    expired = false;
  } else if (delayMs > 0) {
    // One wait, not repeated: any wake-up before the deadline cancels.
    expired = wake.wait_until(lock, called + std::chrono::milliseconds(delayMs)) ==
              std::cv_status::timeout;
  }
  if (expired && !stop) callback();
}

// An interval's thread: calls `callback` until the stop flag is set, pausing
// `periodMs` after each negative result.
void run_interval(const std::atomic<bool>& stop, const std::function<int()>& callback,
                  int periodMs) {
  while (!stop) {
    if (callback() < 0) pause_period(stop, periodMs);
  }
}

}  // namespace

HXTimer::HXTimer() : stop_(false) {}

// The threads are joined before stopAll writes its record, so an exception the log callback
// throws for that record is dropped here: thrown out of a destructor it would end the process.
HXTimer::~HXTimer() {
  try {
    stopAll();
  } catch (...) {
  }
}

// An empty function object is refused here, with one error record, rather
// than failing later on the worker thread; the refused call changes nothing,
// not even the stop flag.
void HXTimer::setInterval(const char* /*name*/, const std::function<int()>& callback,
                          int periodMs) {
  if (!callback) {
    HX_LOG_ERROR("HXTimer::setInterval", "empty callback refused");
    return;
  }
  stop_ = false;
  // Constructed in place: if the thread cannot start, the list is unchanged.
  // The thread runs a lambda, whose type is private to this file, so no
  // thread type of the standard library is exported with the timer's.
  interval_threads_.emplace_back(
      [this, callback, periodMs] { run_interval(stop_, callback, periodMs); });
}

void HXTimer::setTimeout(const std::function<void()>& callback, int delayMs) {
  if (!callback) {
    HX_LOG_ERROR("HXTimer::setTimeout", "empty callback refused");
    return;
  }
  const WaitClock::time_point called = WaitClock::now();
  stop_ = false;
  timeout_threads_.emplace_back([this, callback, delayMs, called] {
    run_timeout(mutex_, wake_, stop_, callback, delayMs, called);
  });
}

void HXTimer::stopAll() {
  stop_ = true;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    wake_.notify_all();
  }
  {  // after the flag, so a pause that tests it under this mutex cannot miss both
    IntervalPauses& pauses = interval_pauses();
    std::lock_guard<std::mutex> lock(pauses.mutex);
    pauses.wake.notify_all();
  }
  const int timeouts = join_all(timeout_threads_);
  const int intervals = join_all(interval_threads_);
  HX_LOG_DEBUG("HXTimer::stopAll", "joined %d %d", timeouts, intervals);
}
