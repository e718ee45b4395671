#include "HXLog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <map>
#include <mutex>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "detail/os_process.h"
#include "log_capture.h"

namespace {

using hxtest::LogCapture;

std::string only_record(const LogCapture& log) {
  const auto records = log.records();
  EXPECT_EQ(records.size(), 1u);
  return records.empty() ? std::string() : records.front().text;
}

TEST(LogFilter, StartsAtInfoAndDeliversFromTheThresholdUp) {
  EXPECT_EQ(GetHXLogLevel(), 2);
  LogCapture log(2);
  MirvLog(1, "T", "f.cpp", 1, "A::b", "hidden");
  MirvLog(2, "T", "f.cpp", 2, "A::b", "at threshold");
  MirvLog(3, "T", "f.cpp", 3, "A::b", "above");
  const auto records = log.records();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(LogCapture::message(records[0].text), "at threshold");
  EXPECT_EQ(records[0].level, 2);
  EXPECT_EQ(records[1].level, 3);
}

TEST(LogFilter, ThresholdEdgesAreSignedComparisons) {
  LogCapture log(5);
  MirvLog(4, "T", "f", 1, "f", "suppressed");
  EXPECT_TRUE(log.records().empty());
  SetHXLogLevel(0);
  EXPECT_EQ(GetHXLogLevel(), 0);
  MirvLog(-1, "T", "f", 1, "f", "below zero");
  MirvLog(0, "T", "f", 1, "f", "zero");
  EXPECT_EQ(log.records().size(), 1u);
  SetHXLogLevel(-5);
  MirvLog(-1, "T", "f", 1, "f", "negative passes");
  EXPECT_EQ(log.records().size(), 2u);
}

TEST(LogRecord, HeaderHasEveryFieldInOrder) {
  LogCapture log;
  MirvLog(3, "TAG", "/src/dir/file.cpp", 42, "Klass::method", "value=%d %s", 7, "x");
  const std::string text = only_record(log);
  const std::string ids = "[" + std::to_string(hxcore::detail::os_process_id()) + "-" +
                          std::to_string(hxcore::detail::os_thread_id()) + "]";
  const std::regex shape(
      R"(\d\d-\d\d \d\d:\d\d:\d\d\.\d\d\d \[\d+-\d+\]\t\[W\|TAG\]\t\[file\.cpp:42\]\(Klass::method\): value=7 x)");
  EXPECT_TRUE(std::regex_match(text, shape)) << text;
  EXPECT_NE(text.find(ids), std::string::npos) << text;
}

TEST(LogRecord, LetterForEveryLevel) {
  LogCapture log(-10);
  for (int level : {1, 2, 3, 4, 0, 5, -1}) MirvLog(level, "T", "f", 1, "f", "m");
  std::string letters;
  for (const auto& r : log.records()) letters += r.text.substr(r.text.find("\t[") + 2, 1);
  EXPECT_EQ(letters, "DIWE???");
}

TEST(LogRecord, BaseNameTakesTheLastSlashFirst) {
  LogCapture log;
  MirvLog(2, "T", "C:\\a\\b/c\\d.cpp", 1, "f", "m");
  MirvLog(2, "T", "C:\\a\\b\\e.cpp", 2, "f", "m");
  MirvLog(2, "T", "plain.cpp", 3, "f", "m");
  MirvLog(2, "T", "dir/", 4, "f", "m");
  const auto records = log.records();
  ASSERT_EQ(records.size(), 4u);
  EXPECT_NE(records[0].text.find("\t[c\\d.cpp:1]"), std::string::npos) << records[0].text;
  EXPECT_NE(records[1].text.find("\t[e.cpp:2]"), std::string::npos) << records[1].text;
  EXPECT_NE(records[2].text.find("\t[plain.cpp:3]"), std::string::npos) << records[2].text;
  EXPECT_NE(records[3].text.find("\t[:4]"), std::string::npos) << records[3].text;
}

TEST(LogRecord, BaseNameKeepsItsFirst31Characters) {
  LogCapture log;
  const std::string name(40, 'n');
  MirvLog(2, "T", ("/x/" + name).c_str(), 9, "f", "m");
  EXPECT_NE(only_record(log).find("\t[" + std::string(31, 'n') + ":9]"), std::string::npos);
}

TEST(LogRecord, NegativeLineIsPrintedSigned) {
  LogCapture log;
  MirvLog(2, "T", "f", -12, "f", "m");
  EXPECT_NE(only_record(log).find("[f:-12](f): m"), std::string::npos);
}

TEST(LogRecord, LongMessageIsCutTo5117Characters) {
  LogCapture log;
  const std::string body(10000, 'b');
  MirvLog(2, "T", "f", 1, "f", "%s", body.c_str());
  const std::string text = only_record(log);
  EXPECT_EQ(text.size(), 5117u);
  EXPECT_EQ(text.back(), 'b');
}

TEST(LogRecord, LongTagOrFunctionIsCutNotOverflowed) {
  LogCapture log;
  const std::string huge(8000, 'f');
  MirvLog(2, huge.c_str(), "f", 1, huge.c_str(), "never shown");
  const std::string text = only_record(log);
  EXPECT_EQ(text.size(), 5117u);
  EXPECT_EQ(text.find("never shown"), std::string::npos);
}

TEST(LogRecord, LengthEqualsTextLengthWithoutNewline) {
  struct Seen {
    std::string text;
    uint64_t length = 0;
  } seen;
  SetHXLogCallback(
      [](int, const char* text, uint64_t length, void* user) {
        auto* s = static_cast<Seen*>(user);
        s->text = text;
        s->length = length;
      },
      &seen);
  MirvLog(4, "T", "f", 1, "f", "abc");
  SetHXLogCallback(nullptr, nullptr);
  EXPECT_EQ(seen.length, std::strlen(seen.text.c_str()));
  EXPECT_EQ(seen.text.back(), 'c');
}

TEST(LogThreads, EachThreadShowsItsOwnIdEveryTime) {
  LogCapture log;
  uint32_t worker_id = 0;
  std::thread worker([&] {
    worker_id = hxcore::detail::os_thread_id();
    MirvLog(2, "T", "f", 1, "f", "one");
    MirvLog(2, "T", "f", 2, "f", "two");
  });
  worker.join();
  MirvLog(2, "T", "f", 3, "f", "main");
  const auto records = log.records();
  ASSERT_EQ(records.size(), 3u);
  const std::string worker_ids = "-" + std::to_string(worker_id) + "]";
  EXPECT_NE(records[0].text.find(worker_ids), std::string::npos);
  EXPECT_NE(records[1].text.find(worker_ids), std::string::npos);
  EXPECT_EQ(records[2].text.find(worker_ids), std::string::npos);
}

// Counts records per message and fails when two callback calls overlap.
struct SerialSink {
  std::atomic<bool> inside{false};
  std::atomic<int> overlaps{0};
  std::map<std::string, int> per_message;  // touched only inside the callback

  static void receive(int, const char* text, uint64_t, void* user) {
    auto* self = static_cast<SerialSink*>(user);
    if (self->inside.exchange(true)) self->overlaps++;
    self->per_message[LogCapture::message(text)]++;
    self->inside.store(false);
  }
};

TEST(LogThreads, CallbackCallsNeverOverlapAndNoRecordIsLost) {
  constexpr int kThreads = 4;
  constexpr int kRecords = 2000;
  SerialSink sink;
  SetHXLogCallback(&SerialSink::receive, &sink);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < kRecords; ++i) MirvLog(2, "T", "f", i, "f", "thread %d", t);
    });
  }
  for (auto& thread : threads) thread.join();
  SetHXLogCallback(nullptr, nullptr);
  EXPECT_EQ(sink.overlaps.load(), 0);
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(sink.per_message["thread " + std::to_string(t)], kRecords);
}

// Two sinks, each with its own callback that checks it is handed its own
// user pointer: a record that saw a half-replaced pair would mismatch.
struct PairedSink {
  std::atomic<int> received{0};
  std::atomic<int> mismatched{0};
};
PairedSink g_first;
PairedSink g_second;

template <PairedSink* Self>
void receive_paired(int, const char*, uint64_t, void* user) {
  if (user != Self) Self->mismatched++;
  Self->received++;
}

std::atomic<bool> g_cleared{false};
std::atomic<int> g_late_calls{0};

TEST(LogThreads, ReplacingTheCallbackWhileLoggingKeepsPairsConsistent) {
  std::atomic<bool> stop{false};
  std::vector<std::thread> loggers;
  SetHXLogCallback(&receive_paired<&g_first>, &g_first);
  for (int t = 0; t < 3; ++t) {
    loggers.emplace_back([&stop] {
      while (!stop.load()) MirvLog(2, "T", "f", 1, "f", "m");
    });
  }
  // Keep switching until both callbacks have served plenty of records.
  for (int i = 0; i < 2000 || g_first.received < 500 || g_second.received < 500; ++i) {
    if (i % 2 == 0) {
      SetHXLogCallback(&receive_paired<&g_second>, &g_second);
    } else {
      SetHXLogCallback(&receive_paired<&g_first>, &g_first);
    }
  }
  // Once clearing returns, the old callback is never called again.
  SetHXLogCallback([](int, const char*, uint64_t, void*) { g_late_calls += g_cleared.load(); }, nullptr);
  SetHXLogCallback(nullptr, nullptr);
  g_cleared = true;
  SetHXLogLevel(100);  // the loggers' remaining records are filtered, not printed
  stop = true;
  for (auto& logger : loggers) logger.join();
  SetHXLogLevel(2);
  EXPECT_EQ(g_first.mismatched.load(), 0);
  EXPECT_EQ(g_second.mismatched.load(), 0);
  EXPECT_EQ(g_late_calls.load(), 0);
}

}  // namespace
