// SPDX-License-Identifier: Apache-2.0
// detail/clock.h - the library's one "now", and the seam through which a test replaces it.
//
// The throttling gate, the timer service, the log and the random generator
// read the time here and nowhere else: `now_ms()` gives the milliseconds of the
// monotonic clock (`get_time()`), `local_now()` the local date and time a log
// record shows (`os_local_time()`). A test installs a `Clock` with `set_clock`
// and drives time instead of waiting for it; a null field keeps the system's
// reading. Installing is thread-safe, but a test installs before it starts
// threads and restores the clock it replaced when done, which `ScopedClock`
// does. Not exported: tests reach it through the library's objects. Example:
//   const hxcore::detail::ScopedClock clock({[] { return 60000LL; }, nullptr});
#pragma once

#include "detail/os_time.h"

namespace hxcore::detail {

struct Clock {
  long long (*monotonic_ms)();  // null: `get_time()`
  LocalTime (*local_time)();    // null: `os_local_time()`
};

// Milliseconds of the installed monotonic clock.
long long now_ms();

// Local time of the installed clock.
LocalTime local_now();

// Installs `clock` and returns the one it replaces (null fields for the system's).
Clock set_clock(Clock clock);

// Installs a clock for its own lifetime, then puts back the one it replaced.
class ScopedClock {
 public:
  explicit ScopedClock(Clock clock) : replaced_(set_clock(clock)) {}
  ~ScopedClock() { set_clock(replaced_); }
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;

 private:
  Clock replaced_;
};

}  // namespace hxcore::detail
