// SPDX-License-Identifier: Apache-2.0
// The clock calls on POSIX: CLOCK_MONOTONIC in nanoseconds, CLOCK_REALTIME
// broken down with localtime_r.
#include "detail/os_time.h"

#include <time.h>

namespace hxcore::detail {

namespace {

constexpr int64_t kNanosPerSecond = 1000000000;

// localtime_r takes glibc's time-zone lock on every call; a record's time is
// broken down once per second per thread and the rest is arithmetic.
struct SecondCache {
  time_t second = -1;
  std::tm local{};
};

}  // namespace

LocalTime os_local_time() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  thread_local SecondCache cache;
  if (now.tv_sec != cache.second) {
    localtime_r(&now.tv_sec, &cache.local);
    cache.second = now.tv_sec;
  }
  return LocalTime{cache.local.tm_mon + 1,  cache.local.tm_mday, cache.local.tm_hour,
                   cache.local.tm_min,      cache.local.tm_sec,
                   static_cast<int>(now.tv_nsec / 1000000)};
}

int64_t os_counter_frequency() { return kNanosPerSecond; }

int64_t os_counter() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * kNanosPerSecond + now.tv_nsec;
}

bool os_local_tm(int64_t seconds, std::tm* out) {
  const time_t t = static_cast<time_t>(seconds);
  return localtime_r(&t, out) != nullptr;
}

}  // namespace hxcore::detail
