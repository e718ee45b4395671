// SPDX-License-Identifier: Apache-2.0
#include "HXClock.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace {

// The date counts from the epoch by the counter, which starts about at boot.
TEST(Clock, NeverGoesBackwardsAndAgreesWithItsSecondsAndItsDate) {
  long long previous = get_time();
  for (int i = 0; i < 100000; ++i) {
    const long long now = get_time();
    ASSERT_GE(now, previous);
    previous = now;
  }
  const long long seconds = get_time_sec();
  EXPECT_LE(seconds, get_time() / 1000);
  const std::string year = seconds > 300LL * 24 * 3600 ? R"(\d{4})" : "(1970|1969)";
  const std::string date = now_date();
  EXPECT_TRUE(std::regex_match(date, std::regex(year + R"(:\d\d:\d\d \d\d:\d\d:\d\d\.000)")))
      << date;
}

}  // namespace
