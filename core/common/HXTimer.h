// SPDX-License-Identifier: Apache-2.0
/// @class HXTimer HXTimer.h <hxcore/HXTimer.h>
/// One-shot and repeating callbacks, each on a thread of its own.
///
/// Every `setTimeout` and `setInterval` call starts one operating-system thread
/// that serves that one callback; there is no queue and no pool. `stopAll` (and
/// the destructor, which calls it) wakes every waiting timeout and pausing
/// interval, joins every thread the timer started and logs "joined %d %d" at
/// level 1; it never waits out a delay or a period. The timer owns
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
  /// An interval callback's result that has it called again at once (any
  /// value of zero or more does the same).
  static constexpr int kCallAgainAtOnce = 0;
  /// An interval callback's result that has it called again one period later
  /// (any negative value does the same).
  static constexpr int kPauseOnePeriod = -1;

  HXTimer();
  /// Runs `stopAll`, so it logs "joined %d %d" even for a timer that never ran.
  /// Never throws: an exception the log callback throws for that record is dropped.
  virtual ~HXTimer();
  HXTimer(const HXTimer&) = delete;
  HXTimer& operator=(const HXTimer&) = delete;

  /// Calls `callback` at once on a new thread, again at once while it returns
  /// zero or more (`kCallAgainAtOnce`), and `periodMs` later each time it
  /// returns a negative value (`kPauseOnePeriod`; no pause for a period of 0
  /// or less). Interval callbacks take no lock: they run beside each other and
  /// beside timeout callbacks. `stopAll` ends a pause at once; a running
  /// callback is not cut short, and none starts once `stopAll` has set the
  /// stop flag. `name` is not used and may be null. Clears the stop flag.
  void setInterval(const char* name, const std::function<int()>& callback, int periodMs);

  /// Calls `callback` once on a new thread after `delayMs` (at once for 0 or
  /// less, never above ten days), unless `stopAll` comes first. Timeout
  /// callbacks of one timer never overlap: each runs under the timer's mutex.
  /// Clears the stop flag.
  void setTimeout(const std::function<void()>& callback, int delayMs);

  /// Sets the stop flag, wakes every waiting timeout (which then does not fire)
  /// and every pausing interval (which then ends), joins all threads started so
  /// far, finished ones included, and logs "joined <timeouts> <intervals>".
  /// Returns as soon as the callbacks running when it was called have
  /// returned; never waits for a delay or a period to pass.
  void stopAll();

 private:
  std::atomic<bool> stop_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::thread> timeout_threads_;
  std::deque<std::thread> interval_threads_;
};
