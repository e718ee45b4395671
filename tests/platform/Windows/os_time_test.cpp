// SPDX-License-Identifier: Apache-2.0
// The local time on Windows, as the system itself reports it around each call (the
// counter is checked on every system by the log test).
#include "detail/os_time.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <ctime>
#include <tuple>

namespace {

using hxcore::detail::LocalTime;

// Month to millisecond, comparable as one value.
using Moment = std::tuple<int, int, int, int, int, int>;
Moment moment(const SYSTEMTIME& t) {
  return {t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}
Moment moment(const LocalTime& t) {
  return {t.month, t.day, t.hour, t.minute, t.second, t.milliseconds};
}

TEST(WindowsClock, LocalTimeIsTheSystemsLocalTimeInSixtyFourBits) {
  SYSTEMTIME before, after;
  LocalTime during;
  do {  // read again should midnight fall between the reads
    GetLocalTime(&before);
    during = hxcore::detail::os_local_time();
    GetLocalTime(&after);
  } while (before.wDay != after.wDay);
  EXPECT_LE(moment(before), moment(during));
  EXPECT_LE(moment(during), moment(after));
  // 2100-01-01 00:00:00 UTC does not fit a 32-bit time_t (nor a Windows `long`);
  // whatever the zone, the local year is 2099 or 2100.
  std::tm local{};
  ASSERT_TRUE(hxcore::detail::os_local_tm(4102444800LL, &local));
  EXPECT_GE(local.tm_year + 1900, 2099);
  EXPECT_LE(local.tm_year + 1900, 2100);
}

}  // namespace
