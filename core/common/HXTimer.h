// SPDX-License-Identifier: Apache-2.0
/// @class HXTimer HXTimer.h <hxcore/HXTimer.h>
/// One-shot and repeating callbacks, each on a thread of its own.
///
/// Every `setTimeout` and `setInterval` call starts one operating-system thread
/// that serves that one callback; there is no queue and no pool. `stopAll` (and
/// the destructor, which calls it) wakes every waiting timeout, joins every
/// thread the timer started and logs "joined %d %d" at level 1. The timer owns
/// its threads and a copy of each callback; the caller's function object may go
/// as soon as the call returns. Thread-safety: the scheduling calls, `stopAll`
/// and the destructor come from one controlling thread and never from a
/// callback of the same timer. Failures: a thread that cannot start raises
/// std::system_error; an empty function object is refused with one error record
/// and nothing is scheduled; the callbacks' own exceptions are not caught.
/// Unloading: once loaded, the library stays mapped until the process ends (a
/// dlclose or FreeLibrary leaves it in place), so a timer the client did not
/// stop before unloading runs on and calls its callbacks as before.
/// Example:
/// @code
///   HXTimer timer; timer.setTimeout([] { puts("late"); }, 60000);
///   timer.stopAll();  // a minute early: "late" is never printed
/// @endcode
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "hxcore_export.h"

class HXCORE_API HXTimer {
 public:
  /// The longest single wait, ten days; a longer timeout never fires.
  static constexpr int kLongestWaitMs = 864000000;

  HXTimer();
  /// Runs `stopAll`, so it logs "joined %d %d" even for a timer that never ran.
  virtual ~HXTimer();
  HXTimer(const HXTimer&) = delete;
  HXTimer& operator=(const HXTimer&) = delete;

  /// Calls `callback` at once on a new thread, again at once while it returns
  /// zero or more, and `periodMs` later each time it returns a negative value
  /// (no pause for a period of 0 or less). The stop flag is tested before each
  /// call only: a running callback or pause is not cut short by `stopAll`.
  /// `name` is not used and may be null. Clears the stop flag.
  void setInterval(const char* name, const std::function<int()>& callback, int periodMs);

  /// Calls `callback` once on a new thread after `delayMs` (at once for 0 or
  /// less, never above ten days), unless `stopAll` comes first. Timeout
  /// callbacks of one timer never overlap: each runs under the timer's mutex.
  /// Clears the stop flag.
  void setTimeout(const std::function<void()>& callback, int delayMs);

  /// Sets the stop flag, wakes every waiting timeout (which then does not fire),
  /// joins all threads started so far, finished ones included, and logs
  /// "joined <timeouts> <intervals>". Returns once an interval's current
  /// callback and pause are over; never waits for a timeout's delay to pass.
  void stopAll();

 private:
  std::atomic<bool> stop_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::thread> timeout_threads_;
  std::deque<std::thread> interval_threads_;
};
