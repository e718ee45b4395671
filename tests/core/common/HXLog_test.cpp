#include "HXLog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "detail/os_process.h"
#include "log_capture.h"

namespace {

using hxtest::LogCapture;
constexpr auto npos = std::string::npos;

std::string only_record(const LogCapture& log) {
  const auto records = log.records();
  EXPECT_EQ(records.size(), 1u);
  return records.empty() ? std::string() : records.front().text;
}

TEST(LogFilter, DeliversFromTheThresholdUpComparingSigned) {
  EXPECT_EQ(GetHXLogLevel(), 2);  // info until someone changes it
  struct Row {
    int threshold, level;
    bool delivered;
  };
  constexpr Row kRows[] = {{2, 1, false},  {2, 2, true}, {5, 4, false},  {5, 5, true},
                           {0, -1, false}, {0, 0, true}, {-5, -1, true}, {-5, -6, false}};
  LogCapture log;
  for (const Row& row : kRows) {
    SetHXLogLevel(row.threshold);
    log.clear();
    MirvLog(row.level, "T", "f", 1, "f", "m");
    const auto records = log.records();
    EXPECT_EQ(records.size(), row.delivered ? 1u : 0u) << row.threshold << " " << row.level;
    for (const auto& record : records) EXPECT_EQ(record.level, row.level);
  }
  EXPECT_EQ(GetHXLogLevel(), -5);
}

// The file shown is what follows its last '/', else its last '\\', at most 31 characters.
TEST(LogRecord, HasEveryFieldTheLevelsLetterAndTheFilesBaseName) {
  const std::string n31(31, 'n');
  const struct {
    int level;
    std::string file, fields;
  } kRows[] = {{1, "/src/dir/file.cpp", "[D|TAG]\t[file.cpp:-42](A::b): m=7"},
               {2, "C:\\a\\b/c\\d.cpp", "[I|TAG]\t[c\\d.cpp:-42](A::b): m=7"},
               {3, "C:\\a\\b\\e.cpp", "[W|TAG]\t[e.cpp:-42](A::b): m=7"},
               {4, "plain.cpp", "[E|TAG]\t[plain.cpp:-42](A::b): m=7"},
               {0, "dir/", "[?|TAG]\t[:-42](A::b): m=7"},
               {5, "/x/" + n31, "[?|TAG]\t[" + n31 + ":-42](A::b): m=7"},
               {-1, "/x/" + n31 + "n", "[?|TAG]\t[" + n31 + ":-42](A::b): m=7"}};
  const std::regex header(R"(\d\d-\d\d \d\d:\d\d:\d\d\.\d\d\d \[\d+-\d+\]\t)");
  LogCapture log(-10);
  for (const auto& row : kRows) {
    log.clear();
    MirvLog(row.level, "TAG", row.file.c_str(), -42, "A::b", "%s=%d", "m", 7);
    const std::string text = only_record(log);
    const size_t fields = text.size() - std::min(text.size(), row.fields.size());
    EXPECT_TRUE(std::regex_match(text.substr(0, fields), header)) << text;
    EXPECT_EQ(text.substr(fields), row.fields);
  }
}

TEST(LogRecord, IsCutAt5117CharactersWhateverPartIsLong) {
  LogCapture log;
  MirvLog(2, "T", "f", 1, "f", "m");
  const size_t room = 5117 - (only_record(log).size() - 1);  // the message that just fits
  const std::string huge(8000, 'x');
  for (size_t size : {room, room + 1, huge.size()})
    MirvLog(2, "T", "f", 1, "f", "%s!", huge.substr(0, size - 1).c_str());
  MirvLog(2, huge.c_str(), "f", 1, huge.c_str(), "never shown");
  const auto records = log.records();
  ASSERT_EQ(records.size(), 5u);
  for (size_t i = 1; i < 5; ++i) EXPECT_EQ(records[i].text.size(), 5117u) << i;
  EXPECT_EQ(records[1].text.back(), '!');
  EXPECT_EQ(records[2].text.back(), 'x');
  EXPECT_EQ(records[4].text.find("never shown"), npos);
}

// Two sinks whose callbacks check they are handed their own sink (a record that
// saw a half-replaced pair would not be) and the logging thread's ids; they share
// a flag that catches two calls at once and a count per message (read to the NUL).
std::atomic<int> g_received[2], g_overlaps{0}, g_misdirected{0}, g_late_calls{0};
std::atomic<bool> g_inside{false}, g_cleared{false};
std::map<std::string, int> g_per_message;  // touched only inside a callback

template <int N>
void receive(int, const char* text, uint64_t, void* user) {
  g_overlaps += g_inside.exchange(true);
  const std::string ids = "[" + std::to_string(hxcore::detail::os_process_id()) + "-" +
                          std::to_string(hxcore::detail::os_thread_id()) + "]";
  g_misdirected += user != &g_received[N] || std::string(text).find(ids) == npos;
  g_late_calls += g_cleared;
  g_per_message[LogCapture::message(text)]++;
  g_received[N]++;
  g_inside = false;
}

TEST(LogThreads, CallbacksNeverOverlapLoseOrMisdirectARecordWhileReplacedOrCleared) {
  constexpr int kThreads = 4, kRecords = 2000;
  SetHXLogCallback(&receive<0>, &g_received[0]);
  std::atomic<int> finished{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &finished] {
      for (int i = 0; i < kRecords; ++i) MirvLog(2, "T", "f", i, "f", "thread %d", t);
      for (finished++; !g_cleared;) MirvLog(2, "T", "f", 0, "f", "until cleared");
    });
  }
  // Keep switching until both callbacks have served plenty of records.
  for (int i = 1; finished < kThreads || g_received[0] < 500 || g_received[1] < 500; ++i)
    SetHXLogCallback(i % 2 ? &receive<1> : &receive<0>, &g_received[i % 2]);
  SetHXLogCallback(nullptr, nullptr);  // once this returns, no callback runs again
  g_cleared = true;
  SetHXLogLevel(100);  // the threads' last records are filtered, not printed
  for (auto& thread : threads) thread.join();
  SetHXLogLevel(2);
  EXPECT_EQ(g_overlaps + g_misdirected + g_late_calls, 0)
      << g_overlaps << " overlapping, " << g_misdirected << " misdirected, " << g_late_calls
      << " late";
  for (int t = 0; t < kThreads; ++t)
    EXPECT_EQ(g_per_message["thread " + std::to_string(t)], kRecords);
}

}  // namespace
