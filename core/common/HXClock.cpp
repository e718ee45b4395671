// SPDX-License-Identifier: Apache-2.0
// The monotonic clock and the date text over the system's counter, and the
// library's one "now" over them.
#include "HXClock.h"

#include <atomic>
#include <cstdio>
#include <ctime>

#include "detail/clock.h"
#include "detail/os_time.h"

namespace {

constexpr size_t kDateBufferSize = 26;

std::atomic<long long (*)()> g_monotonic_ms{nullptr};
std::atomic<hxcore::detail::LocalTime (*)()> g_local_time{nullptr};

double counter_seconds() {
  const double frequency = static_cast<double>(hxcore::detail::os_counter_frequency());
  return static_cast<double>(hxcore::detail::os_counter()) / frequency;
}

}  // namespace

long long get_time() { return static_cast<long long>(counter_seconds() * 1000.0); }

long long get_time_sec() { return static_cast<long long>(counter_seconds()); }

std::string now_date() {
  std::tm local{};
  char date[kDateBufferSize] = {};
  if (hxcore::detail::os_local_tm(get_time_sec(), &local)) {
    const size_t n = std::strftime(date, sizeof date, "%Y:%m:%d %H:%M:%S", &local);
    std::snprintf(date + n, sizeof date - n, ".%03d", 0);
  }
  return date;
}

namespace hxcore::detail {

long long now_ms() {
  const auto installed = g_monotonic_ms.load(std::memory_order_relaxed);
  return installed != nullptr ? installed() : get_time();
}

LocalTime local_now() {
  const auto installed = g_local_time.load(std::memory_order_relaxed);
  return installed != nullptr ? installed() : os_local_time();
}

Clock set_clock(Clock clock) {
  return {g_monotonic_ms.exchange(clock.monotonic_ms), g_local_time.exchange(clock.local_time)};
}

}  // namespace hxcore::detail
