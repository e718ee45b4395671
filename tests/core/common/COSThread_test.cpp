#include "COSThread.h"

#include <gtest/gtest.h>

#include <string>

#include "HXLog.h"
#include "event_count.h"
#include "log_capture.h"

namespace {

constexpr unsigned long kEnded = 0;
constexpr unsigned long kTimedOut = 0x102;
constexpr unsigned long kFailed = 0xFFFFFFFF;
constexpr unsigned long kForever = 0xFFFFFFFF;

// What a started thread does: waits for `go` when held, then tells `finished`.
struct Job {
  bool held = false;
  hxtest::EventCount go;
  hxtest::EventCount finished;
};

unsigned long run_job(void* argument) {
  auto* job = static_cast<Job*>(argument);
  if (job->held) job->go.wait();
  job->finished.notify();
  return 7;
}

int start(COSThread& thread, Job& job) {
  return CreateThreadEx(thread, 0, run_job, &job, 0, nullptr);
}

TEST(ThreadWait, EmptyObjectFailsWithoutWaiting) {
  COSThread thread;
  EXPECT_EQ(WaitForSingleObjectEx(thread, kForever), kFailed);
}

TEST(ThreadWait, TimesOutWhileTheThreadRunsThenReportsTheEndAgainAndAgain) {
  Job job;
  job.held = true;
  COSThread thread;
  ASSERT_EQ(start(thread, job), 0);
  EXPECT_EQ(WaitForSingleObjectEx(thread, 0), kTimedOut);
  EXPECT_EQ(WaitForSingleObjectEx(thread, 5), kTimedOut);
  job.go.notify();
  EXPECT_EQ(WaitForSingleObjectEx(thread, kForever), kEnded);
  EXPECT_EQ(job.finished.count(), 1);
  for (unsigned long ms : {0ul, 0ul, 1000ul, kForever})
    EXPECT_EQ(WaitForSingleObjectEx(thread, ms), kEnded);
}

TEST(ThreadCreate, WritesTheIdTheThreadsLogRecordsShow) {
  hxtest::LogCapture log;
  COSThread thread;
  unsigned long id = 0;
  auto log_inside = [](void*) -> unsigned long {
    return MirvLog(2, "T", "t.cpp", 1, "T::run", "in"), 0;
  };
  ASSERT_EQ(CreateThreadEx(thread, 0, log_inside, nullptr, 0, &id), 0);
  EXPECT_NE(id, 0u);  // written before the create returned
  ASSERT_EQ(WaitForSingleObjectEx(thread, kForever), kEnded);
  ASSERT_EQ(log.records().size(), 1u);
  const std::string text = log.records()[0].text;
  const size_t dash = text.find('-', text.find('['));
  EXPECT_EQ(text.substr(dash + 1, text.find(']', dash) - dash - 1), std::to_string(id));
}

TEST(ThreadCreate, AnyStackSizeWorksAndANullStartFails) {
  for (unsigned long size : {1ul, 1ul << 20}) {
    Job job;
    COSThread thread;
    ASSERT_EQ(CreateThreadEx(thread, size, run_job, &job, 0x10000, nullptr), 0) << size;
    EXPECT_EQ(WaitForSingleObjectEx(thread, kForever), kEnded);
  }
  COSThread thread;
  EXPECT_EQ(CreateThreadEx(thread, 0, nullptr, nullptr, 0, nullptr), -1);
  EXPECT_EQ(WaitForSingleObjectEx(thread, kForever), kFailed);
  CloseThreadEx(thread);
}

TEST(ThreadCreate, CreatingAgainReleasesTheOldHandleNotTheThread) {
  Job first, second;
  first.held = true;
  COSThread thread;
  ASSERT_EQ(start(thread, first), 0);
  ASSERT_EQ(start(thread, second), 0);
  EXPECT_EQ(WaitForSingleObjectEx(thread, kForever), kEnded);
  first.go.notify();
  EXPECT_TRUE(first.finished.wait());
}

TEST(ThreadClose, NeitherStopsNorWaitsAndTheSecondCloseDoesNothing) {
  Job job, destroyed;
  job.held = destroyed.held = true;
  {
    COSThread thread, other;
    ASSERT_EQ(start(thread, job), 0);
    ASSERT_EQ(start(other, destroyed), 0);
    CloseThreadEx(thread);  // returns although the thread cannot end yet
    CloseThreadEx(thread);
    EXPECT_EQ(WaitForSingleObjectEx(thread, kForever), kFailed);
  }  // so does the destructor
  EXPECT_EQ(job.finished.count() + destroyed.finished.count(), 0);
  job.go.notify();
  destroyed.go.notify();
  EXPECT_TRUE(job.finished.wait() && destroyed.finished.wait());
}

TEST(ThreadCopy, CopiesAndAssignmentsEachOwnAHandleOfTheirOwn) {
  Job first, second;
  second.held = true;
  COSThread a, b, empty;
  ASSERT_EQ(start(a, first), 0);
  ASSERT_EQ(start(b, second), 0);
  COSThread copy(b), copy_of_empty(empty);
  a = b;  // releases the first thread's handle
  a = a;
  CloseThreadEx(b);
  EXPECT_EQ(WaitForSingleObjectEx(a, 0), kTimedOut);
  EXPECT_EQ(WaitForSingleObjectEx(copy, 0), kTimedOut);
  second.go.notify();
  EXPECT_EQ(WaitForSingleObjectEx(a, kForever), kEnded);
  EXPECT_EQ(WaitForSingleObjectEx(copy, kForever), kEnded);
  EXPECT_EQ(WaitForSingleObjectEx(copy_of_empty, 0), kFailed);
  a = empty;
  EXPECT_EQ(WaitForSingleObjectEx(a, 0), kFailed);
  EXPECT_TRUE(first.finished.wait());
}

}  // namespace
