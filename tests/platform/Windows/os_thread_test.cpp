// COSThread over CreateThread and WaitForSingleObject: real system threads,
// real time-outs, flags and ids passed through to Windows unchanged.
#include <gtest/gtest.h>
#include <windows.h>

#include "COSThread.h"

namespace {

// A manual-reset event the started threads wait on; set before it is closed,
// so a test that stops early leaves no thread waiting.
class WindowsThreadHandle : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(release_, nullptr); }
  void TearDown() override {
    SetEvent(release_);
    CloseHandle(release_);
  }
  HANDLE release_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
};

// Waits for the event in `argument`, then ends with the exit code 42.
unsigned long wait_for_release(void* argument) {
  WaitForSingleObject(static_cast<HANDLE>(argument), INFINITE);
  return 42;
}

// Stores the id Windows gives the running thread into `argument`.
unsigned long store_own_id(void* argument) {
  *static_cast<unsigned long*>(argument) = GetCurrentThreadId();
  return 0;
}

TEST_F(WindowsThreadHandle, WaitTimesOutWhileTheThreadRunsThenSeesItEnd) {
  COSThread thread;
  unsigned long id = 0;
  ASSERT_EQ(CreateThreadEx(thread, 0, &wait_for_release, release_, 0, &id), 0);
  EXPECT_NE(id, 0u);
  EXPECT_EQ(WaitForSingleObjectEx(thread, 0), static_cast<unsigned long>(WAIT_TIMEOUT));
  EXPECT_EQ(WaitForSingleObjectEx(thread, 30), static_cast<unsigned long>(WAIT_TIMEOUT));
  SetEvent(release_);
  EXPECT_EQ(WaitForSingleObjectEx(thread, INFINITE), static_cast<unsigned long>(WAIT_OBJECT_0));
  EXPECT_EQ(WaitForSingleObjectEx(thread, 0), static_cast<unsigned long>(WAIT_OBJECT_0));
  CloseThreadEx(thread);
}

TEST_F(WindowsThreadHandle, IdIsTheSystemsIdAndTheResultIsTheExitCode) {
  COSThread thread;
  unsigned long reported = 0;
  unsigned long seen_inside = 0;
  ASSERT_EQ(CreateThreadEx(thread, 0, &store_own_id, &seen_inside, 0, &reported), 0);
  ASSERT_EQ(WaitForSingleObjectEx(thread, INFINITE), static_cast<unsigned long>(WAIT_OBJECT_0));
  EXPECT_EQ(reported, seen_inside);

  COSThread waiting;
  unsigned long id = 0;
  ASSERT_EQ(CreateThreadEx(waiting, 0, &wait_for_release, release_, 0, &id), 0);
  // The object's handle keeps the thread object, so its id stays valid.
  HANDLE query = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, id);
  ASSERT_NE(query, nullptr);
  SetEvent(release_);
  ASSERT_EQ(WaitForSingleObjectEx(waiting, INFINITE), static_cast<unsigned long>(WAIT_OBJECT_0));
  DWORD exit_code = 0;
  EXPECT_TRUE(GetExitCodeThread(query, &exit_code));
  EXPECT_EQ(exit_code, 42u);
  CloseHandle(query);
}

TEST_F(WindowsThreadHandle, CreatedSuspendedRunsOnlyOnceResumed) {
  COSThread thread;
  unsigned long id = 0;
  unsigned long seen_inside = 0;
  ASSERT_EQ(CreateThreadEx(thread, 0, &store_own_id, &seen_inside, CREATE_SUSPENDED, &id), 0);
  EXPECT_EQ(WaitForSingleObjectEx(thread, 30), static_cast<unsigned long>(WAIT_TIMEOUT));
  EXPECT_EQ(seen_inside, 0u);
  HANDLE resume = OpenThread(THREAD_SUSPEND_RESUME, FALSE, id);
  ASSERT_NE(resume, nullptr);
  EXPECT_EQ(ResumeThread(resume), 1u);
  CloseHandle(resume);
  ASSERT_EQ(WaitForSingleObjectEx(thread, INFINITE), static_cast<unsigned long>(WAIT_OBJECT_0));
  EXPECT_EQ(seen_inside, id);
}

TEST_F(WindowsThreadHandle, ClosingLetsTheThreadRunOnAndEmptiesTheObject) {
  COSThread thread;
  unsigned long id = 0;
  ASSERT_EQ(CreateThreadEx(thread, 0, &wait_for_release, release_, 0, &id), 0);
  HANDLE watch = OpenThread(SYNCHRONIZE, FALSE, id);
  ASSERT_NE(watch, nullptr);
  CloseThreadEx(thread);
  EXPECT_EQ(WaitForSingleObjectEx(thread, 0), static_cast<unsigned long>(WAIT_FAILED));
  EXPECT_EQ(WaitForSingleObject(watch, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  SetEvent(release_);
  EXPECT_EQ(WaitForSingleObject(watch, INFINITE), static_cast<DWORD>(WAIT_OBJECT_0));
  CloseHandle(watch);
}

}  // namespace
