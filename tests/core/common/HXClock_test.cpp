#include "HXClock.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace {

// The date counts from the epoch by the counter, which runs from about the
// machine's start: early 1970 (or, far west of UTC, late 1969) unless the
// machine has been up for most of a year.
TEST(Clock, NeverGoesBackwardsAndAgreesWithItselfInSecondsAndAsADate) {
  long long previous = get_time();
  for (int i = 0; i < 100000; ++i) {
    const long long now = get_time();
    ASSERT_GE(now, previous);
    previous = now;
  }
  const long long seconds = get_time_sec(), millis = get_time(), seconds_after = get_time_sec();
  EXPECT_LE(seconds, millis / 1000);
  EXPECT_GE(seconds_after, millis / 1000);
  const std::string year = seconds > 300LL * 24 * 3600 ? R"(\d{4})" : "(1970|1969)";
  const std::string date = now_date();
  EXPECT_TRUE(std::regex_match(date, std::regex(year + R"(:\d\d:\d\d \d\d:\d\d:\d\d\.000)")))
      << date;
}

}  // namespace
