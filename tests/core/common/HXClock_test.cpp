#include "HXClock.h"

#include <gtest/gtest.h>

namespace {

TEST(Clock, NeverGoesBackwards) {
  long long previous = get_time();
  for (int i = 0; i < 1000; ++i) {
    const long long now = get_time();
    ASSERT_GE(now, previous);
    previous = now;
  }
}

}  // namespace
