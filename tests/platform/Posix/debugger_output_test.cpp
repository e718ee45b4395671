// Without a callback, records go to the debugger output, which on POSIX is
// standard error: the record in one write, then "\n" in a second.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "HXLog.h"
#include "log_capture.h"

namespace {

// Points standard error at a temporary file for the life of the object.
class StderrCapture {
 public:
  StderrCapture() : file_(std::tmpfile()), saved_(dup(STDERR_FILENO)) {
    std::fflush(stderr);
    dup2(fileno(file_), STDERR_FILENO);
  }
  ~StderrCapture() {
    restore();
    std::fclose(file_);
  }
  std::string text() {
    restore();
    std::string out;
    std::rewind(file_);
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file_)) > 0) out.append(chunk, n);
    return out;
  }

 private:
  void restore() {
    if (saved_ < 0) return;
    dup2(saved_, STDERR_FILENO);
    close(saved_);
    saved_ = -1;
  }
  FILE* file_;
  int saved_;
};

TEST(DebuggerOutput, RecordGoesToStandardErrorWithANewline) {
  StderrCapture capture;
  MirvLog(4, "T", "dir/f.cpp", 5, "A::b", "to the debugger");
  const std::string text = capture.text();
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back(), '\n');
  EXPECT_NE(text.find("\t[E|T]\t[f.cpp:5](A::b): to the debugger\n"), std::string::npos) << text;
}

TEST(DebuggerOutput, NothingReachesItWhileACallbackIsRegistered) {
  StderrCapture capture;
  {
    hxtest::LogCapture log;
    MirvLog(4, "T", "f", 1, "f", "to the callback");
    EXPECT_EQ(log.records().size(), 1u);
  }
  MirvLog(4, "T", "f", 2, "f", "after clearing");
  const std::string text = capture.text();
  EXPECT_EQ(text.find("to the callback"), std::string::npos);
  EXPECT_NE(text.find("after clearing\n"), std::string::npos) << text;
}

}  // namespace
