// Without a callback, records go to the debugger output through
// OutputDebugStringA: the record in one call, then "\n" in a second. Each call
// raises a debug-print exception that a debugger would catch; a vectored
// exception handler sees it first, so the test stands in for the debugger.
#include <gtest/gtest.h>
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "HXLog.h"
#include "log_capture.h"

namespace {

// Collects the text of every OutputDebugStringA call of the process, one
// string per call, while it lives.
class DebuggerOutputCapture {
 public:
  DebuggerOutputCapture() {
    active_ = this;
    handler_ = AddVectoredExceptionHandler(1, &DebuggerOutputCapture::receive);
  }
  ~DebuggerOutputCapture() {
    RemoveVectoredExceptionHandler(handler_);
    active_ = nullptr;
  }
  DebuggerOutputCapture(const DebuggerOutputCapture&) = delete;
  DebuggerOutputCapture& operator=(const DebuggerOutputCapture&) = delete;

  std::vector<std::string> calls() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
  }

 private:
  // The 8-bit text travels with its length, terminator counted: parameters 0
  // and 1 of DBG_PRINTEXCEPTION_C, 2 and 3 of the wide form that newer
  // Windows raises first.
  static LONG CALLBACK receive(EXCEPTION_POINTERS* exception) {
    const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
    size_t first;
    if (record.ExceptionCode == DBG_PRINTEXCEPTION_C && record.NumberParameters >= 2) {
      first = 0;
    } else if (record.ExceptionCode == DBG_PRINTEXCEPTION_WIDE_C && record.NumberParameters >= 4) {
      first = 2;
    } else {
      return EXCEPTION_CONTINUE_SEARCH;
    }
    const size_t length = record.ExceptionInformation[first];
    const char* text = reinterpret_cast<const char*>(record.ExceptionInformation[first + 1]);
    std::lock_guard<std::mutex> lock(active_->mutex_);
    active_->calls_.emplace_back(text, length > 0 ? length - 1 : 0);
    return EXCEPTION_CONTINUE_EXECUTION;
  }

  static DebuggerOutputCapture* active_;
  void* handler_;
  mutable std::mutex mutex_;
  std::vector<std::string> calls_;
};

DebuggerOutputCapture* DebuggerOutputCapture::active_ = nullptr;

TEST(WindowsDebuggerOutput, RecordThenNewlineInTwoCalls) {
  DebuggerOutputCapture debugger;
  MirvLog(4, "T", "C:\\src\\core\\f.cpp", 5, "A::b", "to the debugger %d", 7);
  const std::vector<std::string> calls = debugger.calls();
  ASSERT_EQ(calls.size(), 2u);
  const std::string tail = "\t[E|T]\t[f.cpp:5](A::b): to the debugger 7";
  ASSERT_GE(calls[0].size(), tail.size());
  EXPECT_EQ(calls[0].substr(calls[0].size() - tail.size()), tail);
  EXPECT_EQ(calls[1], "\n");
}

TEST(WindowsDebuggerOutput, LongestRecordGoesInOneCall) {
  DebuggerOutputCapture debugger;
  const std::string body(6000, 'x');
  MirvLog(4, "T", "f.cpp", 1, "f", "%s", body.c_str());
  const std::vector<std::string> calls = debugger.calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].size(), 5117u);
}

TEST(WindowsDebuggerOutput, SilentWhileACallbackIsRegisteredAndBelowTheThreshold) {
  DebuggerOutputCapture debugger;
  {
    hxtest::LogCapture log(3);
    MirvLog(4, "T", "f", 1, "f", "to the callback");
    MirvLog(2, "T", "f", 2, "f", "below the threshold");
    EXPECT_EQ(log.records().size(), 1u);
  }
  EXPECT_TRUE(debugger.calls().empty());
  MirvLog(4, "T", "f", 3, "f", "after clearing");
  const std::vector<std::string> calls = debugger.calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_NE(calls[0].find("after clearing"), std::string::npos) << calls[0];
}

}  // namespace
