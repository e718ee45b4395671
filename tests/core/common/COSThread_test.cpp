#include "COSThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "HXLog.h"
#include "log_capture.h"
#include "signal.h"

namespace {

using hxtest::Signal;

constexpr unsigned long kEnded = 0;
constexpr unsigned long kTimedOut = 0x102;
constexpr unsigned long kFailed = 0xFFFFFFFF;
constexpr unsigned long kForever = 0xFFFFFFFF;

// What a started thread does: waits for `go` (if asked to), counts its run,
// and tells `finished`.
struct Job {
  bool hold = false;
  Signal go;
  Signal finished;
  std::atomic<int> runs{0};
};

unsigned long run_job(void* argument) {
  auto* job = static_cast<Job*>(argument);
  if (job->hold) job->go.wait();
  ++job->runs;
  job->finished.notify();
  return 7;
}

int start(COSThread& thread, Job& job, unsigned long* id = nullptr) {
  return CreateThreadEx(thread, 0, run_job, &job, 0, id);
}

TEST(ThreadWait, EmptyObjectFailsWithoutWaiting) {
  COSThread thread;
  EXPECT_EQ(WaitForSingleObjectEx(thread, kForever), kFailed);
  EXPECT_EQ(WaitForSingleObjectEx(thread, 0), kFailed);
}

TEST(ThreadWait, ReportsTheEndAnyNumberOfTimes) {
  Job job;
  COSThread thread;
  ASSERT_EQ(start(thread, job), 0);
  EXPECT_EQ(WaitForSingleObjectEx(thread, kForever), kEnded);
  EXPECT_EQ(job.runs, 1);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(WaitForSingleObjectEx(thread, 0), kEnded);
  EXPECT_EQ(WaitForSingleObjectEx(thread, 1000), kEnded);
}

TEST(ThreadWait, TimesOutWhileTheThreadRuns) {
  Job job;
  job.hold = true;
  COSThread thread;
  ASSERT_EQ(start(thread, job), 0);
  EXPECT_EQ(WaitForSingleObjectEx(thread, 0), kTimedOut);
  EXPECT_EQ(WaitForSingleObjectEx(thread, 5), kTimedOut);
  EXPECT_EQ(job.runs, 0);
  job.go.notify();
  EXPECT_EQ(WaitForSingleObjectEx(thread, kForever), kEnded);
  EXPECT_EQ(job.runs, 1);
}

unsigned long log_from_thread(void*) {
  MirvLog(2, "T", "thread.cpp", 1, "Test::thread", "inside");
  return 0;
}

TEST(ThreadCreate, WritesTheIdTheThreadsLogRecordsShow) {
  hxtest::LogCapture log;
  COSThread thread;
  unsigned long id = 0;
  ASSERT_EQ(CreateThreadEx(thread, 0, log_from_thread, nullptr, 0, &id), 0);
  EXPECT_NE(id, 0u);  // written before the create returned
  ASSERT_EQ(WaitForSingleObjectEx(thread, kForever), kEnded);
  ASSERT_EQ(log.records().size(), 1u);
  const std::string text = log.records()[0].text;
  const size_t dash = text.find('-', text.find('['));
  ASSERT_NE(dash, std::string::npos);
  EXPECT_EQ(text.substr(dash + 1, text.find(']', dash) - dash - 1), std::to_string(id));
}

TEST(ThreadCreate, NullIdPointerIsAllowed) {
  Job job;
  COSThread thread;
  ASSERT_EQ(start(thread, job, nullptr), 0);
  EXPECT_EQ(WaitForSingleObjectEx(thread, kForever), kEnded);
}

TEST(ThreadCreate, TinyAndExplicitStackSizesWork) {
  constexpr unsigned long kStackIsReservation = 0x10000;
  for (unsigned long size : {1ul, 4096ul, 1ul << 20}) {
    for (unsigned long flags : {0ul, kStackIsReservation}) {
      Job job;
      COSThread thread;
      ASSERT_EQ(CreateThreadEx(thread, size, run_job, &job, flags, nullptr), 0) << size;
      EXPECT_EQ(WaitForSingleObjectEx(thread, kForever), kEnded);
      EXPECT_EQ(job.runs, 1);
    }
  }
}

TEST(ThreadCreate, NullStartRoutineFailsAndLeavesTheObjectEmpty) {
  COSThread thread;
  unsigned long id = 12345;
  EXPECT_EQ(CreateThreadEx(thread, 0, nullptr, nullptr, 0, &id), -1);
  EXPECT_EQ(WaitForSingleObjectEx(thread, kForever), kFailed);
  CloseThreadEx(thread);
  EXPECT_EQ(WaitForSingleObjectEx(thread, 0), kFailed);
}

TEST(ThreadCreate, CreatingAgainReleasesTheOldHandleNotTheThread) {
  Job first;
  first.hold = true;
  Job second;
  COSThread thread;
  ASSERT_EQ(start(thread, first), 0);
  ASSERT_EQ(start(thread, second), 0);
  EXPECT_EQ(WaitForSingleObjectEx(thread, kForever), kEnded);
  EXPECT_EQ(second.runs, 1);
  first.go.notify();
  EXPECT_TRUE(first.finished.wait());
}

TEST(ThreadClose, NeitherStopsNorWaitsForTheThread) {
  Job job;
  job.hold = true;
  {
    COSThread thread;
    ASSERT_EQ(start(thread, job), 0);
    CloseThreadEx(thread);  // returns although the thread cannot end yet
    EXPECT_EQ(WaitForSingleObjectEx(thread, kForever), kFailed);
  }
  EXPECT_EQ(job.runs, 0);
  job.go.notify();
  EXPECT_TRUE(job.finished.wait());
  EXPECT_EQ(job.runs, 1);
}

TEST(ThreadClose, SecondCloseDoesNothing) {
  Job job;
  COSThread thread;
  ASSERT_EQ(start(thread, job), 0);
  ASSERT_EQ(WaitForSingleObjectEx(thread, kForever), kEnded);
  CloseThreadEx(thread);
  CloseThreadEx(thread);
  EXPECT_EQ(WaitForSingleObjectEx(thread, 0), kFailed);
}

TEST(ThreadClose, DestructorLeavesARunningThreadRunning) {
  Job job;
  job.hold = true;
  { COSThread thread; ASSERT_EQ(start(thread, job), 0); }
  job.go.notify();
  EXPECT_TRUE(job.finished.wait());
}

TEST(ThreadCopy, CopyWaitsOnItsOwnHandleAfterTheOriginalCloses) {
  Job job;
  job.hold = true;
  COSThread original;
  ASSERT_EQ(start(original, job), 0);
  COSThread copy(original);
  CloseThreadEx(original);
  EXPECT_EQ(WaitForSingleObjectEx(copy, 0), kTimedOut);
  job.go.notify();
  EXPECT_EQ(WaitForSingleObjectEx(copy, kForever), kEnded);
  EXPECT_EQ(WaitForSingleObjectEx(original, 0), kFailed);
}

TEST(ThreadCopy, CopyOfAnEmptyObjectIsEmpty) {
  COSThread empty;
  COSThread copy(empty);
  EXPECT_EQ(WaitForSingleObjectEx(copy, 0), kFailed);
}

TEST(ThreadCopy, AssignmentReleasesTheOldHandleAndSharesTheThread) {
  Job first;
  Job second;
  second.hold = true;
  COSThread a;
  COSThread b;
  ASSERT_EQ(start(a, first), 0);
  ASSERT_EQ(start(b, second), 0);
  a = b;
  EXPECT_EQ(WaitForSingleObjectEx(a, 0), kTimedOut) << "a now waits on the second thread";
  a = a;
  CloseThreadEx(b);
  second.go.notify();
  EXPECT_EQ(WaitForSingleObjectEx(a, kForever), kEnded);
  EXPECT_TRUE(first.finished.wait());
  COSThread empty;
  a = empty;
  EXPECT_EQ(WaitForSingleObjectEx(a, 0), kFailed);
}

TEST(ThreadExamples, HeaderExample) {
  Job job;
  COSThread t;
  unsigned long id = 0;
  if (CreateThreadEx(t, 0, run_job, &job, 0, &id) == 0) WaitForSingleObjectEx(t, 0xFFFFFFFF);
  EXPECT_EQ(job.runs, 1);
}

}  // namespace
