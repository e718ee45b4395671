// Without a callback, records go to the debugger output, which on POSIX is
// standard error: the record, then "\n".
#include <gtest/gtest.h>

#include <string>

#include "HXLog.h"
#include "log_capture.h"

namespace {

TEST(DebuggerOutput, GetsEachRecordAndANewlineOnlyWhileNoCallbackIsSet) {
  testing::internal::CaptureStderr();
  MirvLog(4, "T", "dir/f.cpp", 5, "A::b", "to the debugger");
  {
    hxtest::LogCapture log;
    MirvLog(4, "T", "f", 1, "f", "to the callback");
  }
  MirvLog(4, "T", "f", 2, "f", "after clearing");
  const std::string text = testing::internal::GetCapturedStderr();
  EXPECT_NE(text.find("\t[E|T]\t[f.cpp:5](A::b): to the debugger\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("to the callback"), std::string::npos) << text;
  EXPECT_EQ(text.substr(text.size() - 15), "after clearing\n") << text;
}

}  // namespace
