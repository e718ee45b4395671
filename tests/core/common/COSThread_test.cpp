// SPDX-License-Identifier: Apache-2.0
#include "COSThread.h"

#include <gtest/gtest.h>

#include <string>

#include "HXLog.h"
#include "event_count.h"
#include "log_capture.h"

namespace {

constexpr unsigned long kEnded = 0, kTimedOut = 0x102, kFailed = 0xFFFFFFFF, kForever = 0xFFFFFFFF;

// What a started thread does: writes a debug record, waits for `go` when held, tells `finished`.
struct Job {
  bool held = false;
  hxtest::EventCount go, finished;
};

unsigned long run_job(void* argument) {
  Job& job = *static_cast<Job*>(argument);
  MirvLog(1, "T", "t.cpp", 1, "T::run", "in");
  if (job.held) job.go.wait();
  return job.finished.notify(), 7;
}

int start(COSThread& thread, Job& job) {
  return CreateThreadEx(thread, 0, run_job, &job, 0, nullptr);
}

TEST(ThreadWait, TimesOutWhileTheThreadRunsThenReportsTheEndAgainAndAgain) {
  hxtest::LogCapture log;
  Job job;
  job.held = true;
  COSThread thread;
  unsigned long id = 0;
  ASSERT_EQ(CreateThreadEx(thread, 1 << 20, run_job, &job, 0x10000, &id), 0);
  EXPECT_NE(id, 0u);  // written before the create returned
  for (unsigned long ms : {0ul, 5ul}) EXPECT_EQ(WaitForSingleObjectEx(thread, ms), kTimedOut);
  job.go.notify();
  for (unsigned long ms : {kForever, 0ul, 0ul, 1000ul, kForever})
    EXPECT_EQ(WaitForSingleObjectEx(thread, ms), kEnded);
  // The thread's own record names it as "[<process id>-<thread id>]".
  ASSERT_EQ(log.records().size(), 1u);
  const std::string text = log.records()[0].text;
  const size_t dash = text.find('-', text.find('['));
  EXPECT_EQ(text.substr(dash + 1, text.find(']', dash) - dash - 1), std::to_string(id));
}

// Each copy owns its handle, released once; none of the releases stops or waits for the thread.
TEST(ThreadHandle, CopiesCloseAndCreateAgainReleaseTheirOwnHandleAndNeverStopOrWait) {
  Job replaced, shared, first, destroyed;
  replaced.held = shared.held = destroyed.held = true;
  COSThread a, b, empty;
  EXPECT_EQ(CreateThreadEx(empty, 0, nullptr, nullptr, 0, nullptr), -1);  // no start routine
  ASSERT_EQ(start(a, replaced), 0);
  ASSERT_EQ(CreateThreadEx(a, 1, run_job, &first, 0, nullptr), 0);  // rounded up to the least
  EXPECT_EQ(WaitForSingleObjectEx(a, kForever), kEnded);  // follows `first`, not `replaced`
  ASSERT_EQ(start(b, shared), 0);
  {
    COSThread local;
    ASSERT_EQ(start(local, destroyed), 0);
  }
  COSThread copy(b), copy_of_empty(empty);
  a = b;
  a = a;
  CloseThreadEx(b);
  CloseThreadEx(b);
  for (COSThread* handle : {&a, &copy}) EXPECT_EQ(WaitForSingleObjectEx(*handle, 0), kTimedOut);
  shared.go.notify();
  for (COSThread* handle : {&a, &copy}) EXPECT_EQ(WaitForSingleObjectEx(*handle, kForever), kEnded);
  for (COSThread* handle : {&b, &empty, &copy_of_empty, &(a = empty)})
    EXPECT_EQ(WaitForSingleObjectEx(*handle, kForever), kFailed);
  for (Job* job : {&replaced, &destroyed}) {
    EXPECT_EQ(job->finished.count(), 0);
    job->go.notify();
    EXPECT_TRUE(job->finished.wait());
  }
}

}  // namespace
