// SPDX-License-Identifier: Apache-2.0
#include "HXLog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "HXClock.h"
#include "detail/os_process.h"
#include "log_capture.h"

namespace {

using hxtest::LogCapture;

// The file shown is what follows its last '/', else its last '\\', at most 31 characters.
TEST(LogRecord, IsDeliveredFromTheThresholdUpWithEveryFieldLetterAndBaseName) {
  EXPECT_EQ(GetHXLogLevel(), 2);  // info until someone changes it
  const std::string n31(31, 'n');
  const struct {
    int threshold, level;
    std::string file, letter, base;  // no letter: filtered out
  } kRows[] = {{2, 1, "f", "", ""}, {1, 1, "/src/dir/file.cpp", "D", "file.cpp"},
               {2, 2, "C:\\a\\b/c\\d.cpp", "I", "c\\d.cpp"},
               {2, 3, "C:\\a\\b\\e.cpp", "W", "e.cpp"}, {4, 4, "plain.cpp", "E", "plain.cpp"},
               {0, -1, "f", "", ""}, {0, 0, "dir/", "?", ""}, {5, 5, "/x/" + n31, "?", n31},
               {-5, -1, "/x/" + n31 + "n", "?", n31}, {-5, -6, "f", "", ""}};
  const std::regex header(R"(\d\d-(0[1-9]|[12]\d|3[01]) \d\d:\d\d:\d\d\.\d\d\d \[\d+-\d+\]\t)");
  LogCapture log;
  for (const auto& row : kRows) {
    SetHXLogLevel(row.threshold);
    log.clear();
    MirvLog(row.level, "TAG", row.file.c_str(), -42, "A::b", "%s=%d", "m", 7);
    const auto records = log.records();
    ASSERT_EQ(records.size(), row.letter.empty() ? 0u : 1u) << row.threshold << " " << row.level;
    if (records.empty()) continue;
    const std::string& text = records[0].text;
    const std::string fields = "[" + row.letter + "|TAG]\t[" + row.base + ":-42](A::b): m=7";
    const size_t at = text.size() - std::min(text.size(), fields.size());
    EXPECT_EQ(records[0].level, row.level);
    EXPECT_TRUE(std::regex_match(text.substr(0, at), header)) << text;
    EXPECT_EQ(text.substr(at), fields);
  }
  EXPECT_EQ(GetHXLogLevel(), -5);
}

TEST(LogRecord, IsCutAt5117CharactersWhateverPartIsLong) {
  LogCapture log;
  MirvLog(2, "T", "f", 1, "f", "m");
  const size_t room = 5117 - (log.records().at(0).text.size() - 1);  // the message that just fits
  const std::string huge(8000, 'x');
  for (size_t size : {room, room + 1, huge.size()})
    MirvLog(2, "T", "f", 1, "f", "%s!", huge.substr(0, size - 1).c_str());
  MirvLog(2, huge.c_str(), "f", 1, huge.c_str(), "never shown");
  const auto records = log.records();
  ASSERT_EQ(records.size(), 5u);
  for (size_t i = 1; i < 5; ++i) EXPECT_EQ(records[i].text.size(), 5117u) << i;
  EXPECT_EQ(records[1].text.back(), '!');
  EXPECT_EQ(records[2].text.back(), 'x');
  EXPECT_EQ(records[4].text.find("never shown"), std::string::npos);
}

// Faults: an overlap, a foreign sink, another thread's ids, a call after the clearing.
std::atomic<int> g_received[2], g_faults{0};
std::atomic<bool> g_inside{false}, g_cleared{false};
std::map<std::string, int> g_per_message;  // touched only inside a callback

template <int N>
void receive(int, const char* text, uint64_t, void* user) {
  g_faults += g_inside.exchange(true) + (user != &g_received[N]) + g_cleared;
  const std::string ids = "[" + std::to_string(hxcore::detail::os_process_id()) + "-" +
                          std::to_string(hxcore::detail::os_thread_id()) + "]";
  g_faults += std::string(text).find(ids) == std::string::npos;
  g_per_message[LogCapture::message(text)]++;
  g_received[N]++;
  g_inside = false;
}

TEST(LogThreads, CallbacksNeverOverlapLoseOrMisdirectARecordWhileReplacedOrCleared) {
  constexpr int kThreads = 4, kRecords = 2000;
  SetHXLogCallback(&receive<0>, &g_received[0]);
  std::atomic<int> finished{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([t, &finished] {
      for (int i = 0; i < kRecords; ++i) MirvLog(2, "T", "f", i, "f", "thread %d", t);
      for (finished++; !g_cleared;) MirvLog(2, "T", "f", 0, "f", "until cleared");
    });
  // Keep switching until both callbacks have served plenty of records.
  for (int i = 1; finished < kThreads || g_received[0] < 500 || g_received[1] < 500; ++i)
    SetHXLogCallback(i % 2 ? &receive<1> : &receive<0>, &g_received[i % 2]);
  SetHXLogCallback(nullptr, nullptr);  // once this returns, no callback runs again
  g_cleared = true;
  SetHXLogLevel(100);  // the threads' last records are filtered, not printed
  for (auto& thread : threads) thread.join();
  SetHXLogLevel(2);
  EXPECT_EQ(g_faults, 0) << "overlapping, misdirected or late calls";
  for (int t = 0; t < kThreads; ++t)
    EXPECT_EQ(g_per_message["thread " + std::to_string(t)], kRecords);
}

// The date counts from the epoch by the counter, which starts about at boot. Each thread's
// readings never go back, and the seconds are those of the milliseconds read around them.
TEST(Clock, MovesOnNeverBackwardsOnAnyThreadAndAgreesWithItsSecondsAndItsDate) {
  const long long first = get_time();
  std::atomic<int> faults{0}, moved{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      long long previous = first;
      for (int i = 0; i < 50000 || (previous == first && i < 100000000); ++i) {
        const long long ms = get_time(), s = get_time_sec(), after = get_time();
        faults += ms < previous || s < ms / 1000 || s > after / 1000;
        previous = after;
      }
      moved += previous > first;
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(faults, 0);
  EXPECT_EQ(moved, 4) << "the counter stands still";
  const long long seconds = get_time_sec();
  const std::string year = seconds > 300LL * 24 * 3600 ? R"(\d{4})" : "(1970|1969)";
  const std::string date = now_date();
  EXPECT_TRUE(std::regex_match(date, std::regex(year + R"(:\d\d:\d\d \d\d:\d\d:\d\d\.000)")))
      << date;
}

}  // namespace
