// The clock on Windows: the performance counter and the local time, as the
// system itself reports them around each call.
#include <gtest/gtest.h>
#include <windows.h>

#include <ctime>
#include <thread>
#include <tuple>
#include <vector>

#include "HXClock.h"
#include "detail/os_time.h"

namespace {

using hxcore::detail::LocalTime;

int64_t performance_counter() {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return counter.QuadPart;
}

int64_t performance_frequency() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}

TEST(WindowsClock, CounterIsThePerformanceCounter) {
  EXPECT_EQ(hxcore::detail::os_counter_frequency(), performance_frequency());
  const int64_t before = performance_counter();
  const int64_t during = hxcore::detail::os_counter();
  const int64_t after = performance_counter();
  EXPECT_LE(before, during);
  EXPECT_LE(during, after);
}

TEST(WindowsClock, MillisecondsAndSecondsLieBetweenCounterReadsAround) {
  const double frequency = static_cast<double>(performance_frequency());
  const double before = static_cast<double>(performance_counter());
  const long long ms = get_time();
  const long long s = get_time_sec();
  const double after = static_cast<double>(performance_counter());
  EXPECT_GE(ms, static_cast<long long>(before / frequency * 1000.0));
  EXPECT_LE(ms, static_cast<long long>(after / frequency * 1000.0));
  EXPECT_GE(s, static_cast<long long>(before / frequency));
  EXPECT_LE(s, static_cast<long long>(after / frequency));
}

TEST(WindowsClock, NeverGoesBackwardsOnAnyThread) {
  std::vector<std::thread> threads;
  std::vector<int> backwards(4, 0);
  for (int& count : backwards) {
    threads.emplace_back([&count] {
      long long last = get_time();
      for (int i = 0; i < 200000; ++i) {
        const long long now = get_time();
        count += now < last;
        last = now;
      }
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(backwards, std::vector<int>(4, 0));
}

// Hours, minutes, seconds and milliseconds, comparable as one value.
std::tuple<int, int, int, int> time_of_day(const SYSTEMTIME& t) {
  return {t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}
std::tuple<int, int, int, int> time_of_day(const LocalTime& t) {
  return {t.hour, t.minute, t.second, t.milliseconds};
}

TEST(WindowsClock, LocalTimeIsTheSystemsLocalTime) {
  SYSTEMTIME before;
  SYSTEMTIME after;
  LocalTime during;
  // Read again should midnight fall between the reads.
  do {
    GetLocalTime(&before);
    during = hxcore::detail::os_local_time();
    GetLocalTime(&after);
  } while (before.wDay != after.wDay);
  EXPECT_EQ(during.month, before.wMonth);
  EXPECT_EQ(during.day, before.wDay);
  EXPECT_LE(time_of_day(before), time_of_day(during));
  EXPECT_LE(time_of_day(during), time_of_day(after));
}

TEST(WindowsClock, LocalTimeConversionIsSixtyFourBit) {
  // 2100-01-01 00:00:00 UTC does not fit a 32-bit time_t (and `long` is
  // 32-bit on Windows); whatever the zone, the local year is 2099 or 2100.
  std::tm local{};
  ASSERT_TRUE(hxcore::detail::os_local_tm(4102444800LL, &local));
  EXPECT_GE(local.tm_year + 1900, 2099);
  EXPECT_LE(local.tm_year + 1900, 2100);
}

}  // namespace
