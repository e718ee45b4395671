#include "HXLog.h"

#include <gtest/gtest.h>

#include "log_capture.h"

namespace {

TEST(LogFilter, DeliversAtOrAboveThreshold) {
  hxtest::LogCapture log(2);
  MirvLog(1, "T", "f.cpp", 1, "A::b", "hidden");
  MirvLog(2, "T", "f.cpp", 2, "A::b", "shown");
  ASSERT_EQ(log.records().size(), 1u);
  EXPECT_EQ(hxtest::LogCapture::message(log.records()[0].text), "shown");
}

}  // namespace
