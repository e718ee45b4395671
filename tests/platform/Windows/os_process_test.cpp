// Records carry the ids Windows gives the process and the calling thread.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "HXLog.h"
#include "log_capture.h"

namespace {

std::string ids_of_calling_thread() {
  return "[" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetCurrentThreadId()) + "]";
}

// Logs twice; `argument` is a std::string that receives the thread's ids.
DWORD WINAPI log_from_thread(void* argument) {
  *static_cast<std::string*>(argument) = ids_of_calling_thread();
  MirvLog(2, "T", "f", 1, "f", "from a system thread");
  MirvLog(2, "T", "f", 2, "f", "again");
  return 0;
}

TEST(WindowsRecordIds, ShowTheProcessAndThreadIdsOfTheCaller) {
  hxtest::LogCapture log;
  MirvLog(2, "T", "f", 1, "f", "from the test thread");
  ASSERT_EQ(log.records().size(), 1u);
  EXPECT_NE(log.records()[0].text.find(" " + ids_of_calling_thread() + "\t"), std::string::npos)
      << log.records()[0].text;
}

TEST(WindowsRecordIds, AThreadOfCreateThreadShowsItsOwnIdInEveryRecord) {
  hxtest::LogCapture log;
  MirvLog(2, "T", "f", 1, "f", "from the test thread first");
  std::string thread_ids;
  HANDLE thread = CreateThread(nullptr, 0, &log_from_thread, &thread_ids, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  ASSERT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
  CloseHandle(thread);

  ASSERT_NE(thread_ids, ids_of_calling_thread());
  EXPECT_EQ(log.count(2, " " + thread_ids + "\t"), 2u);
  EXPECT_EQ(log.count(2, " " + ids_of_calling_thread() + "\t"), 1u);
}

}  // namespace
