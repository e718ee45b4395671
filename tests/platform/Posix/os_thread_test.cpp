#include <errno.h>
#include <gtest/gtest.h>

#include "COSThread.h"
#include "signal.h"

namespace {

unsigned long notify(void* argument) {
  static_cast<hxtest::Signal*>(argument)->notify();
  return 0;
}

unsigned long wait_then_notify(void* argument) {
  auto* signals = static_cast<hxtest::Signal*>(argument);
  signals[0].wait();
  signals[1].notify();
  return 0;
}

TEST(PosixThreadCreate, FlagsThatCannotBeHonouredFailWithEinval) {
  constexpr unsigned long kCreateSuspended = 0x4;
  hxtest::Signal ran;
  COSThread thread;
  unsigned long id = 0;
  errno = 0;
  EXPECT_EQ(CreateThreadEx(thread, 0, notify, &ran, kCreateSuspended, &id), -1);
  EXPECT_EQ(errno, EINVAL);
  EXPECT_EQ(WaitForSingleObjectEx(thread, 0), 0xFFFFFFFFul);
  EXPECT_EQ(ran.count(), 0);
  EXPECT_EQ(CreateThreadEx(thread, 0, notify, &ran, 0x10000 | 0x8, &id), -1);
}

TEST(PosixThreadCreate, HugeStackSizeFailsWithTheSystemsError) {
  hxtest::Signal ran;
  COSThread thread;
  errno = 0;
  EXPECT_EQ(CreateThreadEx(thread, ~0ul, notify, &ran, 0, nullptr), -1);
  EXPECT_NE(errno, 0);
  EXPECT_EQ(ran.count(), 0);
}

// unsigned long is 64 bits here: any value from 0xFFFFFFFF up waits forever.
TEST(PosixThreadWait, MillisecondsBeyondThirtyTwoBitsWaitWithoutLimit) {
  hxtest::Signal signals[2];
  COSThread thread;
  ASSERT_EQ(CreateThreadEx(thread, 0, wait_then_notify, signals, 0, nullptr), 0);
  EXPECT_EQ(WaitForSingleObjectEx(thread, 0), 0x102ul);
  signals[0].notify();
  EXPECT_EQ(WaitForSingleObjectEx(thread, 0x100000000ul), 0ul);
  EXPECT_EQ(signals[1].count(), 1);
}

// Handles closed before and after the thread ends, in both orders, with
// copies: under the leak checker every record must be gone.
TEST(PosixThreadLifetime, ManyHandlesInAnyOrderLeaveNothingBehind) {
  for (int i = 0; i < 200; ++i) {
    hxtest::Signal signals[2];
    COSThread thread;
    ASSERT_EQ(CreateThreadEx(thread, 0, wait_then_notify, signals, 0, nullptr), 0);
    COSThread copy(thread);
    if (i % 2 == 0) CloseThreadEx(thread);
    signals[0].notify();
    ASSERT_TRUE(signals[1].wait());
    ASSERT_EQ(WaitForSingleObjectEx(copy, 0xFFFFFFFF), 0ul);
  }
}

}  // namespace
