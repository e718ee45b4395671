// SPDX-License-Identifier: Apache-2.0
#include <errno.h>
#include <gtest/gtest.h>

#include "COSThread.h"
#include "event_count.h"

namespace {

unsigned long notify(void* event) { return static_cast<hxtest::EventCount*>(event)->notify(), 0; }

TEST(PosixThreadCreate, FlagsThatCannotBeHonouredFailWithEinval) {
  constexpr unsigned long kCreateSuspended = 0x4;
  hxtest::EventCount never;
  COSThread thread;
  for (unsigned long flags : {kCreateSuspended, 0x10000ul | 0x8ul}) {
    errno = 0;
    EXPECT_EQ(CreateThreadEx(thread, 0, notify, &never, flags, nullptr), -1);
    EXPECT_EQ(errno, EINVAL);
  }
  EXPECT_EQ(WaitForSingleObjectEx(thread, 0), 0xFFFFFFFFul);
  EXPECT_EQ(never.count(), 0);
}

}  // namespace
