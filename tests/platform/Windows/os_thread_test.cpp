// SPDX-License-Identifier: Apache-2.0
// COSThread over CreateThread and WaitForSingleObject: real system threads,
// real time-outs, flags and ids passed through to Windows unchanged.
#include <gtest/gtest.h>
#include <windows.h>

#include "COSThread.h"

namespace {

constexpr unsigned long kEnded = WAIT_OBJECT_0, kTimedOut = WAIT_TIMEOUT, kForever = INFINITE;

// What a started thread does: stores the id Windows gives it, waits for
// `release`, ends with the exit code 42.
struct Job {
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);  // manual reset
  unsigned long id_inside = 0;
  // Set before it is closed, so a test that stops early leaves no thread waiting.
  ~Job() {
    SetEvent(release);
    CloseHandle(release);
  }
};

unsigned long run_job(void* argument) {
  Job& job = *static_cast<Job*>(argument);
  job.id_inside = GetCurrentThreadId();
  WaitForSingleObject(job.release, INFINITE);
  return 42;
}

TEST(WindowsThreadHandle, PassesFlagsAndIdsThroughWithRealTimeOutsAndTheExitCode) {
  Job job;
  COSThread thread;
  unsigned long id = 0;
  ASSERT_EQ(CreateThreadEx(thread, 0, &run_job, &job, CREATE_SUSPENDED, &id), 0);
  // The object's handle keeps the thread object, so its id stays valid.
  HANDLE opened = OpenThread(THREAD_SUSPEND_RESUME | THREAD_QUERY_LIMITED_INFORMATION, FALSE, id);
  ASSERT_NE(opened, nullptr);
  EXPECT_EQ(WaitForSingleObjectEx(thread, 30), kTimedOut);
  EXPECT_EQ(job.id_inside, 0u);  // still suspended
  ASSERT_EQ(ResumeThread(opened), 1u);
  for (unsigned long ms : {0ul, 30ul})
    EXPECT_EQ(WaitForSingleObjectEx(thread, ms), kTimedOut) << ms;
  SetEvent(job.release);
  for (unsigned long ms : {kForever, 0ul})
    EXPECT_EQ(WaitForSingleObjectEx(thread, ms), kEnded) << ms;
  EXPECT_EQ(job.id_inside, id);
  DWORD exit_code = 0;
  EXPECT_TRUE(GetExitCodeThread(opened, &exit_code));
  EXPECT_EQ(exit_code, 42u);
  CloseHandle(opened);
}

}  // namespace
