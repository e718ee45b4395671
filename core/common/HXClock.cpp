// SPDX-License-Identifier: Apache-2.0
// The monotonic clock and the date text over the system's counter.
#include "HXClock.h"

#include <cstdio>
#include <ctime>

#include "detail/os_time.h"

namespace {

constexpr size_t kDateBufferSize = 26;

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
