#include <errno.h>
#include <gtest/gtest.h>

#include "COSThread.h"
#include "event_count.h"

namespace {

// Waits for events[0], then notifies events[1].
unsigned long wait_then_notify(void* argument) {
  auto* events = static_cast<hxtest::EventCount*>(argument);
  events[0].wait();
  events[1].notify();
  return 0;
}

TEST(PosixThreadCreate, WhatCannotBeHonouredFailsWithTheSystemsError) {
  constexpr unsigned long kCreateSuspended = 0x4;
  hxtest::EventCount events[2];
  COSThread thread;
  for (unsigned long flags : {kCreateSuspended, 0x10000ul | 0x8ul}) {
    errno = 0;
    EXPECT_EQ(CreateThreadEx(thread, 0, wait_then_notify, events, flags, nullptr), -1);
    EXPECT_EQ(errno, EINVAL);
  }
  errno = 0;
  EXPECT_EQ(CreateThreadEx(thread, ~0ul, wait_then_notify, events, 0, nullptr), -1);
  EXPECT_NE(errno, 0);
  EXPECT_EQ(WaitForSingleObjectEx(thread, 0), 0xFFFFFFFFul);
}

// Handles closed before and after the thread ends, copies waiting beyond 32
// bits of milliseconds (without limit): under the leak checker every record
// must be gone.
TEST(PosixThreadLifetime, HandlesClosedInAnyOrderLeaveNothingBehind) {
  for (int i = 0; i < 200; ++i) {
    hxtest::EventCount events[2];
    COSThread thread;
    ASSERT_EQ(CreateThreadEx(thread, 0, wait_then_notify, events, 0, nullptr), 0);
    COSThread copy(thread);
    if (i % 2 == 0) CloseThreadEx(thread);
    events[0].notify();
    ASSERT_TRUE(events[1].wait());
    ASSERT_EQ(WaitForSingleObjectEx(copy, 0x100000000ul), 0ul);
  }
}

}  // namespace
