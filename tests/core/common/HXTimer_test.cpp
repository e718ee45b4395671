// SPDX-License-Identifier: Apache-2.0
#include "HXTimer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "HXClock.h"
#include "event_count.h"
#include "log_capture.h"

namespace {  // a stopAll that waits out a delay hangs its test until ctest's time-out

using hxtest::EventCount;
using hxtest::LogCapture;

constexpr int kAnHour = 3600000;

size_t joined(const LogCapture& log, const std::string& counts) {
  return log.count(1, "(HXTimer::stopAll): joined " + counts);
}

// A timeout thread still queued on the mutex when stopAll broadcasts must not wait out its delay.
TEST(TimerTimeout, StopAllDoesNotWaitForATimeoutThatMissedItsBroadcast) {
  for (int round = 0; round < 20; ++round) {
    EventCount holding, release;
    HXTimer timer;
    timer.setTimeout([&] { holding.notify(), release.wait(); }, 0);
    ASSERT_TRUE(holding.wait());
    timer.setTimeout([] { ADD_FAILURE() << "fired after stopAll"; }, HXTimer::kLongestWaitMs);
    std::thread releaser([&] { release.notify(); });
    timer.stopAll();
    releaser.join();
  }
}

TEST(TimerInterval, ZeroOrMoreCallsAgainAtOnceNegativePausesOnePeriodUntilStopAll) {
  using Clock = std::chrono::steady_clock;
  std::vector<Clock::time_point> times;  // only the pausing thread writes before the join
  EventCount spun, paused, napping;
  HXTimer timer;
  timer.setInterval(
      "spin", [&] { return spun.notify(), HXTimer::kCallAgainAtOnce; }, kAnHour);
  timer.setInterval(
      nullptr, [&] { return times.push_back(Clock::now()), paused.notify(), -1; }, 15);
  timer.setInterval(
      "nap", [&] { return napping.notify(), HXTimer::kPauseOnePeriod; }, 60000);
  ASSERT_TRUE(spun.wait(50) && paused.wait(3) && napping.wait());
  const long long stopping = get_time();
  timer.stopAll();  // cuts the minute's pause short, and calls nothing after it
  EXPECT_LT(get_time() - stopping, 5000) << "stopAll waited out a pause";
  EXPECT_EQ(napping.count(), 1);
  for (size_t i = 1; i < times.size(); ++i)
    EXPECT_GE(times[i] - times[i - 1], std::chrono::milliseconds(15));
}

TEST(TimerStop, CancelsWhatIsPendingCountsWhatStartedOnceAndStartsAgain) {
  LogCapture log;
  EventCount ran;
  std::atomic<int> inside{0}, overlaps{0}, on_caller{0};
  const std::thread::id caller = std::this_thread::get_id();
  auto run = [&] {
    overlaps += ++inside > 1;
    on_caller += std::this_thread::get_id() == caller;
    for (int i = 0; i < 100; ++i) std::this_thread::yield();
    --inside, ran.notify();
  };
  {
    HXTimer timer, destroyed;
    timer.setTimeout(std::function<void()>(), 0);
    timer.setInterval("empty", std::function<int()>(), 0);
    EXPECT_EQ(log.count(4, "(HXTimer::setTimeout): empty callback refused"), 1u);
    EXPECT_EQ(log.count(4, "(HXTimer::setInterval): empty callback refused"), 1u);
    for (HXTimer* each : {&timer, &destroyed}) {
      for (int delay : {kAnHour, HXTimer::kLongestWaitMs + 1})
        each->setTimeout([] { ADD_FAILURE() << "fired after stopAll"; }, delay);
      each->setInterval(
          "tick", [] { return -1; }, 1);
    }
    timer.stopAll();
    timer.stopAll();
    EXPECT_EQ(joined(log, "2 1"), 1u);
    EXPECT_EQ(joined(log, "0 0"), 1u);
    // Delays of zero or less run at once, each on a thread of its own, one at a time.
    for (int delay : {0, -1000, 0, -1000, 0, -1000}) timer.setTimeout(run, delay);
    ASSERT_TRUE(ran.wait(6));
  }  // the destructors stop both timers the same way, counting the ended threads
  EXPECT_EQ(ran.count(), 6);
  EXPECT_EQ(overlaps + on_caller, 0);
  EXPECT_EQ(joined(log, "2 1"), 2u);
  EXPECT_EQ(joined(log, "6 0"), 1u);
}

}  // namespace
