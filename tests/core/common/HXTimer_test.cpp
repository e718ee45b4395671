#include "HXTimer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "event_count.h"
#include "log_capture.h"

namespace {

using hxtest::EventCount;
using hxtest::LogCapture;

constexpr int kAnHour = 3600000;

size_t joined(const LogCapture& log, const std::string& counts) {
  return log.count(1, "(HXTimer::stopAll): joined " + counts);
}

// Runs stopAll on a helper thread, calls `meanwhile`, and tells whether stopAll
// returned within the hang bound. On a hang the timer is leaked and the helper
// detached, so the test fails instead of hanging the suite.
bool stop_returns(
    std::unique_ptr<HXTimer>& timer, const std::function<void()>& meanwhile = [] {}) {
  std::packaged_task<void()> stop([&timer] { timer->stopAll(); });
  std::future<void> done = stop.get_future();
  std::thread stopper(std::move(stop));
  meanwhile();
  if (done.wait_for(hxtest::kHangBound) == std::future_status::ready) return stopper.join(), true;
  stopper.detach();
  (void)timer.release();
  return false;
}

TEST(TimerTimeout, DelayOfZeroOrLessRunsOnceOnANewThread) {
  LogCapture log;
  EventCount ran;
  std::thread::id runners[2];
  HXTimer timer;
  timer.setTimeout([&] { runners[0] = std::this_thread::get_id(), ran.notify(); }, 0);
  timer.setTimeout([&] { runners[1] = std::this_thread::get_id(), ran.notify(); }, -1000);
  ASSERT_TRUE(ran.wait(2));
  timer.stopAll();  // both threads had ended; they still count
  EXPECT_EQ(ran.count(), 2);
  EXPECT_NE(runners[0], std::this_thread::get_id());
  EXPECT_NE(runners[0], runners[1]);
  EXPECT_EQ(joined(log, "2 0"), 1u);
}

TEST(TimerTimeout, StopAllCancelsPendingAndOverlongTimeouts) {
  LogCapture log;
  auto timer = std::make_unique<HXTimer>();
  auto ran = std::make_shared<std::atomic<int>>(0);
  for (int delay : {kAnHour, HXTimer::kLongestWaitMs + 1})
    timer->setTimeout([ran] { ++*ran; }, delay);
  ASSERT_TRUE(stop_returns(timer));
  EXPECT_EQ(*ran, 0);
  EXPECT_EQ(joined(log, "2 0"), 1u);
}

// A timeout thread still queued on the timer's mutex when stopAll broadcasts
// must not then wait out its delay. The first callback holds the mutex while
// the second timeout starts and stopAll begins; whichever of the two gets the
// mutex next, stopAll returns without ten days passing.
TEST(TimerTimeout, StopAllDoesNotWaitForATimeoutThatMissedItsBroadcast) {
  for (int round = 0; round < 20; ++round) {
    auto timer = std::make_unique<HXTimer>();
    auto release = std::make_shared<EventCount>();
    EventCount holding;
    timer->setTimeout([&holding, release] { holding.notify(), release->wait(); }, 0);
    ASSERT_TRUE(holding.wait());
    timer->setTimeout([] { ADD_FAILURE() << "fired after stopAll"; }, HXTimer::kLongestWaitMs);
    ASSERT_TRUE(stop_returns(timer, [release] { release->notify(); })) << "round " << round;
  }
}

TEST(TimerTimeout, CallbacksOfOneTimerNeverOverlap) {
  constexpr int kTimeouts = 6;
  std::atomic<int> inside{0}, overlaps{0};
  EventCount done;
  HXTimer timer;
  for (int n = 0; n < kTimeouts; ++n) {
    timer.setTimeout(
        [&] {
          overlaps += ++inside > 1;
          for (int i = 0; i < 100; ++i) std::this_thread::yield();
          --inside, done.notify();
        },
        1);
  }
  ASSERT_TRUE(done.wait(kTimeouts));
  EXPECT_EQ(overlaps, 0);
}

TEST(TimerInterval, ZeroOrMoreCallsAgainAtOnceNegativePausesOnePeriod) {
  using Clock = std::chrono::steady_clock;
  LogCapture log;
  std::vector<Clock::time_point> times;  // only the "paused" thread writes before the join
  EventCount spun, paused, unpaused;
  HXTimer timer;
  timer.setInterval(
      "spin", [&] { return spun.notify(), 0; }, kAnHour);
  timer.setInterval(
      nullptr, [&] { return times.push_back(Clock::now()), paused.notify(), -1; }, 15);
  timer.setInterval(
      "none", [&] { return unpaused.notify(), -1; }, -kAnHour);
  ASSERT_TRUE(spun.wait(50) && paused.wait(3) && unpaused.wait(50));
  timer.stopAll();
  EXPECT_EQ(joined(log, "0 3"), 1u);
  for (size_t i = 1; i < times.size(); ++i)
    EXPECT_GE(times[i] - times[i - 1], std::chrono::milliseconds(15));
}

TEST(TimerStop, CountsTimeoutsAndIntervalsAndStartsAgain) {
  LogCapture log;
  EventCount ran;
  HXTimer timer;
  timer.setTimeout([] {}, 0);
  timer.setTimeout([] {}, kAnHour);
  timer.setInterval(
      "tick", [] { return -1; }, 1);
  timer.stopAll();
  timer.stopAll();
  EXPECT_EQ(joined(log, "2 1"), 1u);
  EXPECT_EQ(joined(log, "0 0"), 1u);
  timer.setTimeout([&] { ran.notify(); }, 0);
  EXPECT_TRUE(ran.wait());
}

TEST(TimerStop, DestructorLogsAndCancelsLikeStopAll) {
  LogCapture log;
  { HXTimer unused; }
  ASSERT_EQ(log.records().size(), 1u);
  EXPECT_NE(log.records()[0].text.find("[HXTimer.cpp:"), std::string::npos);
  EXPECT_EQ(LogCapture::message(log.records()[0].text), "joined 0 0");
  {
    HXTimer timer;
    timer.setTimeout([] { ADD_FAILURE() << "fired after the destructor"; }, 60000);
  }
  EXPECT_EQ(joined(log, "1 0"), 1u);
}

TEST(TimerSchedule, EmptyCallbacksAreRefusedAndNothingStarts) {
  LogCapture log;
  HXTimer timer;
  timer.setTimeout(std::function<void()>(), 0);
  timer.setInterval("empty", std::function<int()>(), 0);
  EXPECT_EQ(log.count(4, "(HXTimer::setTimeout): empty callback refused"), 1u);
  EXPECT_EQ(log.count(4, "(HXTimer::setInterval): empty callback refused"), 1u);
  timer.stopAll();
  EXPECT_EQ(joined(log, "0 0"), 1u);
}

}  // namespace
