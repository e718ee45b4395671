// SPDX-License-Identifier: Apache-2.0
// COSThread over CreateThread and WaitForSingleObject: real system threads,
// real time-outs, flags, ids and the exit code passed through Windows unchanged.
#include <gtest/gtest.h>
#include <windows.h>

#include "COSThread.h"

namespace {

constexpr unsigned long kEnded = WAIT_OBJECT_0, kTimedOut = WAIT_TIMEOUT, kForever = INFINITE;

unsigned long store_id(void* id_inside) {
  *static_cast<unsigned long*>(id_inside) = GetCurrentThreadId();
  return 42;
}

TEST(WindowsThreadHandle, PassesFlagsAndIdsThroughWithRealTimeOutsAndTheExitCode) {
  COSThread thread;
  unsigned long id = 0, id_inside = 0;
  ASSERT_EQ(CreateThreadEx(thread, 0, &store_id, &id_inside, CREATE_SUSPENDED, &id), 0);
  // The object's handle keeps the thread object, so its id stays valid.
  HANDLE opened = OpenThread(THREAD_SUSPEND_RESUME | THREAD_QUERY_LIMITED_INFORMATION, FALSE, id);
  ASSERT_NE(opened, nullptr);
  EXPECT_EQ(WaitForSingleObjectEx(thread, 30), kTimedOut);
  EXPECT_EQ(id_inside, 0u);  // still suspended
  ASSERT_EQ(ResumeThread(opened), 1u);
  for (unsigned long ms : {kForever, 0ul}) EXPECT_EQ(WaitForSingleObjectEx(thread, ms), kEnded);
  EXPECT_EQ(id_inside, id);
  DWORD exit_code = 0;
  EXPECT_TRUE(GetExitCodeThread(opened, &exit_code));
  EXPECT_EQ(exit_code, 42u);
  CloseHandle(opened);
}

}  // namespace
