// SPDX-License-Identifier: Apache-2.0
// Without a callback, records go to the debugger output through OutputDebugStringA:
// the record in one call, then "\n" in a second. Each call raises a debug-print
// exception; a vectored exception handler sees it before any debugger would.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "HXLog.h"
#include "log_capture.h"

namespace {

std::vector<std::string> g_calls;  // the text of each OutputDebugStringA call, all on one thread

// The 8-bit text travels with its length, terminator counted: parameters 0 and 1
// of DBG_PRINTEXCEPTION_C, 2 and 3 of the wide form that newer Windows raises first.
LONG CALLBACK receive(EXCEPTION_POINTERS* exception) {
  const EXCEPTION_RECORD& r = *exception->ExceptionRecord;
  const bool narrow = r.ExceptionCode == DBG_PRINTEXCEPTION_C && r.NumberParameters >= 2;
  if (!narrow && !(r.ExceptionCode == DBG_PRINTEXCEPTION_WIDE_C && r.NumberParameters >= 4))
    return EXCEPTION_CONTINUE_SEARCH;
  const size_t first = narrow ? 0 : 2, length = r.ExceptionInformation[first];
  g_calls.emplace_back(reinterpret_cast<const char*>(r.ExceptionInformation[first + 1]),
                       length ? length - 1 : 0);
  return EXCEPTION_CONTINUE_EXECUTION;
}

TEST(WindowsDebuggerOutput, GetsEachRecordThenANewlineInTwoCallsOnlyWhileNoCallbackIsSet) {
  void* handler = AddVectoredExceptionHandler(1, &receive);
  ASSERT_NE(handler, nullptr);
  MirvLog(4, "T", "C:\\src\\core\\f.cpp", 5, "A::b", "to the debugger %d", 7);
  MirvLog(4, "T", "f", 1, "f", "%s", std::string(6000, 'x').c_str());  // cut, still one call
  MirvLog(1, "T", "f", 2, "f", "below the threshold");
  {
    hxtest::LogCapture log(3);
    MirvLog(4, "T", "f", 3, "f", "to the callback");
    EXPECT_EQ(log.records().size(), 1u);
  }
  MirvLog(4, "T", "f", 4, "f", "after clearing");
  RemoveVectoredExceptionHandler(handler);
  const std::vector<std::string> calls = std::move(g_calls);
  ASSERT_EQ(calls.size(), 6u);
  EXPECT_THAT(calls[0], testing::EndsWith("\t[E|T]\t[f.cpp:5](A::b): to the debugger 7"));
  EXPECT_EQ(calls[2].size(), 5117u);
  EXPECT_THAT(calls[4], testing::EndsWith("\t[f:4](f): after clearing"));
  for (size_t i = 1; i < 6; i += 2) EXPECT_EQ(calls[i], "\n") << i;
}

}  // namespace
