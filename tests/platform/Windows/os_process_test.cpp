// SPDX-License-Identifier: Apache-2.0
// Records carry the ids Windows gives the process and the calling thread.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "HXLog.h"
#include "log_capture.h"

namespace {

std::string ids_of_calling_thread() {
  return " [" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetCurrentThreadId()) +
         "]\t";
}

// Logs twice; `argument` is a std::string that receives the thread's ids.
DWORD WINAPI log_from_thread(void* argument) {
  *static_cast<std::string*>(argument) = ids_of_calling_thread();
  for (int line : {1, 2}) MirvLog(2, "T", "f", line, "f", "from a system thread");
  return 0;
}

TEST(WindowsRecordIds, ShowTheProcessAndThreadIdsOfTheCallerOnEveryThread) {
  hxtest::LogCapture log;
  MirvLog(2, "T", "f", 1, "f", "from the test thread");
  std::string thread_ids;
  HANDLE thread = CreateThread(nullptr, 0, &log_from_thread, &thread_ids, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  ASSERT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
  CloseHandle(thread);
  ASSERT_NE(thread_ids, ids_of_calling_thread());
  EXPECT_EQ(log.count(2, thread_ids), 2u);
  EXPECT_EQ(log.count(2, ids_of_calling_thread()), 1u);
}

}  // namespace
