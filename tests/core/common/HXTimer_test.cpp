#include "HXTimer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "log_capture.h"
#include "signal.h"

namespace {

using hxtest::LogCapture;
using hxtest::Signal;
using Clock = std::chrono::steady_clock;

constexpr int kAnHour = 3600000;
constexpr int kMoreThanTenDays = 864000001;

int joined_records(const LogCapture& log, const char* counts) {
  return static_cast<int>(log.count(1, std::string("(HXTimer::stopAll): joined ") + counts));
}

// Runs stopAll on a helper thread and reports whether it returned within the
// hang bound. On a hang the timer is leaked and the helper detached, so the
// test fails instead of hanging the whole suite.
bool stop_returns(std::unique_ptr<HXTimer>& timer) {
  std::promise<void> stopped;
  std::future<void> done = stopped.get_future();
  std::thread stopper([&timer, &stopped] {
    timer->stopAll();
    stopped.set_value();
  });
  if (done.wait_for(hxtest::kHangBound) == std::future_status::ready) {
    stopper.join();
    return true;
  }
  stopper.detach();
  (void)timer.release();
  return false;
}

TEST(TimerTimeout, ZeroDelayRunsOnceOnANewThread) {
  LogCapture log;
  HXTimer timer;
  Signal ran;
  std::thread::id runner;
  timer.setTimeout(
      [&] {
        runner = std::this_thread::get_id();
        ran.notify();
      },
      0);
  ASSERT_TRUE(ran.wait());
  timer.stopAll();
  EXPECT_EQ(ran.count(), 1);
  EXPECT_NE(runner, std::this_thread::get_id());
  // The thread had ended before stopAll, and it still counts as joined.
  EXPECT_EQ(joined_records(log, "1 0"), 1);
}

TEST(TimerTimeout, NegativeDelayRunsAtOnce) {
  Signal ran;
  HXTimer timer;  // declared last, so its threads are joined first
  timer.setTimeout([&] { ran.notify(); }, -1000);
  EXPECT_TRUE(ran.wait());
}

TEST(TimerTimeout, ShortDelayFiresNoEarlierThanItsDelay) {
  HXTimer timer;
  Signal ran;
  Clock::time_point fired;
  const Clock::time_point scheduled = Clock::now();
  timer.setTimeout(
      [&] {
        fired = Clock::now();
        ran.notify();
      },
      20);
  ASSERT_TRUE(ran.wait());
  timer.stopAll();
  EXPECT_GE(fired - scheduled, std::chrono::milliseconds(20));
}

TEST(TimerTimeout, StopAllCancelsAPendingTimeout) {
  LogCapture log;
  auto timer = std::make_unique<HXTimer>();
  auto ran = std::make_shared<std::atomic<bool>>(false);
  timer->setTimeout([ran] { *ran = true; }, kAnHour);
  ASSERT_TRUE(stop_returns(timer));
  EXPECT_FALSE(*ran);
  EXPECT_EQ(joined_records(log, "1 0"), 1);
}

TEST(TimerTimeout, DelayAboveTenDaysNeverRuns) {
  auto timer = std::make_unique<HXTimer>();
  auto ran = std::make_shared<std::atomic<bool>>(false);
  timer->setTimeout([ran] { *ran = true; }, kMoreThanTenDays);
  timer->setTimeout([ran] { *ran = true; }, 2147483647);
  ASSERT_TRUE(stop_returns(timer));
  EXPECT_FALSE(*ran);
}

// A timeout thread still queued on the timer's mutex when stopAll broadcasts
// must not then wait out its delay. The first callback holds the mutex while
// the second timeout starts and stopAll is called; whichever of the two gets
// the mutex next, stopAll returns without the ten days passing.
TEST(TimerTimeout, StopAllDoesNotWaitForATimeoutThatMissedItsBroadcast) {
  for (int round = 0; round < 20; ++round) {
    auto timer = std::make_unique<HXTimer>();
    auto late_ran = std::make_shared<std::atomic<bool>>(false);
    auto release = std::make_shared<Signal>();
    Signal holding;
    timer->setTimeout(
        [&holding, release] {
          holding.notify();
          release->wait();
        },
        0);
    ASSERT_TRUE(holding.wait());
    timer->setTimeout([late_ran] { *late_ran = true; }, HXTimer::kLongestWaitMs);

    std::promise<void> stopped;
    std::future<void> done = stopped.get_future();
    std::thread stopper([&] {
      timer->stopAll();
      stopped.set_value();
    });
    release->notify();
    if (done.wait_for(hxtest::kHangBound) != std::future_status::ready) {
      stopper.detach();
      (void)timer.release();
      FAIL() << "stopAll waited for a delay in round " << round;
    }
    stopper.join();
    EXPECT_FALSE(*late_ran);
  }
}

TEST(TimerTimeout, CallbacksOfOneTimerNeverOverlap) {
  HXTimer timer;
  std::mutex order_mutex;
  std::vector<int> order;  // +n on entry, -n on exit
  Signal done;
  constexpr int kTimeouts = 6;
  for (int n = 1; n <= kTimeouts; ++n) {
    timer.setTimeout(
        [&, n] {
          {
            std::lock_guard<std::mutex> lock(order_mutex);
            order.push_back(n);
          }
          for (int i = 0; i < 100; ++i) std::this_thread::yield();
          {
            std::lock_guard<std::mutex> lock(order_mutex);
            order.push_back(-n);
          }
          done.notify();
        },
        1);
  }
  ASSERT_TRUE(done.wait_for_count(kTimeouts));
  timer.stopAll();
  ASSERT_EQ(order.size(), 2u * kTimeouts);
  for (size_t i = 0; i < order.size(); i += 2) {
    EXPECT_GT(order[i], 0);
    EXPECT_EQ(order[i + 1], -order[i]) << "callback " << order[i] << " was overlapped";
  }
}

TEST(TimerTimeout, CallerMayDestroyItsFunctionObjectAtOnce) {
  HXTimer timer;
  auto ran = std::make_shared<Signal>();
  {
    std::function<void()> callback = [ran] { ran->notify(); };
    timer.setTimeout(callback, 1);
  }
  EXPECT_TRUE(ran->wait());
}

TEST(TimerInterval, ReturningZeroCallsAgainAtOnceUntilStopped) {
  LogCapture log;
  HXTimer timer;
  std::atomic<int> calls{0};
  Signal reached;
  timer.setInterval(
      "spin",
      [&] {
        if (++calls == 50) reached.notify();
        return 0;
      },
      kAnHour);
  ASSERT_TRUE(reached.wait());
  timer.stopAll();
  const int after_stop = calls;
  EXPECT_GE(after_stop, 50);
  EXPECT_EQ(joined_records(log, "0 1"), 1);
  // Joined: nothing runs any more.
  EXPECT_EQ(calls, after_stop);
}

TEST(TimerInterval, ReturningNegativePausesOnePeriodBetweenCalls) {
  HXTimer timer;
  std::mutex times_mutex;
  std::vector<Clock::time_point> times;
  Signal called;
  timer.setInterval(
      nullptr,
      [&] {
        {
          std::lock_guard<std::mutex> lock(times_mutex);
          times.push_back(Clock::now());
        }
        called.notify();
        return -1;
      },
      15);
  ASSERT_TRUE(called.wait_for_count(3));
  timer.stopAll();
  std::lock_guard<std::mutex> lock(times_mutex);
  for (size_t i = 1; i < times.size(); ++i) {
    EXPECT_GE(times[i] - times[i - 1], std::chrono::milliseconds(15));
  }
}

TEST(TimerInterval, PeriodOfZeroOrLessDoesNotPause) {
  Signal zero;
  Signal negative;
  HXTimer timer;
  timer.setInterval("zero", [&] { return zero.notify(), -1; }, 0);
  timer.setInterval("negative", [&] { return negative.notify(), -1; }, -kAnHour);
  EXPECT_TRUE(zero.wait_for_count(20));
  EXPECT_TRUE(negative.wait_for_count(20));
}

TEST(TimerStop, CountsTimeoutsAndIntervalsSeparately) {
  LogCapture log;
  HXTimer timer;
  timer.setTimeout([] {}, 0);
  timer.setTimeout([] {}, kAnHour);
  timer.setInterval("tick", [] { return -1; }, 1);
  timer.stopAll();
  EXPECT_EQ(joined_records(log, "2 1"), 1);
  timer.stopAll();
  EXPECT_EQ(joined_records(log, "0 0"), 1);
}

TEST(TimerStop, DestroyingAnUnusedTimerStillLogs) {
  LogCapture log;
  { HXTimer timer; }
  ASSERT_EQ(log.records().size(), 1u);
  EXPECT_EQ(LogCapture::message(log.records()[0].text), "joined 0 0");
  EXPECT_NE(log.records()[0].text.find("[HXTimer.cpp:"), std::string::npos);
}

TEST(TimerStop, DestructorCancelsAndJoins) {
  LogCapture log;
  auto ran = std::make_shared<std::atomic<bool>>(false);
  {
    HXTimer timer;
    timer.setTimeout([ran] { *ran = true; }, kAnHour);
    timer.setInterval("tick", [] { return -1; }, 1);
  }
  EXPECT_FALSE(*ran);
  EXPECT_EQ(joined_records(log, "1 1"), 1);
}

TEST(TimerStop, TimeoutScheduledAfterStopAllFires) {
  Signal ran;
  HXTimer timer;
  timer.setTimeout([] {}, kAnHour);
  timer.stopAll();
  timer.setTimeout([&] { ran.notify(); }, 0);
  EXPECT_TRUE(ran.wait());
}

TEST(TimerSchedule, EmptyCallbacksAreRefusedAndNothingIsStarted) {
  LogCapture log;
  HXTimer timer;
  timer.setTimeout(std::function<void()>(), 0);
  timer.setInterval("empty", std::function<int()>(), 0);
  EXPECT_EQ(log.count(4, "(HXTimer::setTimeout): empty callback refused"), 1u);
  EXPECT_EQ(log.count(4, "(HXTimer::setInterval): empty callback refused"), 1u);
  timer.stopAll();
  EXPECT_EQ(joined_records(log, "0 0"), 1);
}

TEST(TimerExamples, HeaderExample) {
  HXTimer timer;
  auto printed = std::make_shared<std::atomic<bool>>(false);
  timer.setTimeout([printed] { *printed = true; }, 60000);
  timer.stopAll();
  EXPECT_FALSE(*printed);
}

}  // namespace
