// SPDX-License-Identifier: Apache-2.0
// detail/os_time.h - the clock calls of the operating system.
//
// Implemented once per system: platform/Windows/os_time.cpp over
// GetLocalTime and QueryPerformanceCounter, platform/Posix/os_time.cpp over
// clock_gettime and localtime_r. None of them fails or allocates.
#pragma once

#include <cstdint>
#include <ctime>

namespace hxcore::detail {

// Local wall-clock time, the fields a log record shows.
struct LocalTime {
  int month;         // 1-12
  int day;           // 1-31
  int hour;          // 0-23
  int minute;        // 0-59
  int second;        // 0-60
  int milliseconds;  // 0-999
};

LocalTime os_local_time();

// Ticks per second of the high-resolution counter.
int64_t os_counter_frequency();

// The high-resolution counter: monotonic, from an origin fixed by the system.
int64_t os_counter();

// `seconds` since 1970-01-01 UTC as broken-down local time (64-bit time).
// Reentrant: the result is written to `out` only. False if out of range.
bool os_local_tm(int64_t seconds, std::tm* out);

}  // namespace hxcore::detail
