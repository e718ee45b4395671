#include "HXThrottling.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

#include "HXClock.h"
#include "detail/gate_clock.h"

namespace {

// Puts the gate on a clock the test sets, for the length of one test.
class ThrottlingGate : public ::testing::Test {
 protected:
  void SetUp() override {
    now_ = 100000;
    hxcore::detail::set_gate_clock(&ThrottlingGate::fake_now);
  }
  void TearDown() override { hxcore::detail::set_gate_clock(nullptr); }

  static void set_now(long long ms) { now_ = ms; }
  static void advance(long long ms) { now_ += ms; }
  static long long now() { return now_; }

  static bool armed_check(HXThrottling& gate) {
    gate.markAllow();
    return gate.checkAndUpdate();
  }

 private:
  static long long fake_now() { return now_; }
  static std::atomic<long long> now_;
};

std::atomic<long long> ThrottlingGate::now_{0};

TEST_F(ThrottlingGate, PassesNMinusOneArmedChecksPerWindowThenShuts) {
  HXThrottling gate(10, 4, 60);
  EXPECT_TRUE(armed_check(gate));
  advance(3000);
  EXPECT_TRUE(armed_check(gate));
  advance(3000);
  EXPECT_TRUE(armed_check(gate));
  advance(3000);
  EXPECT_FALSE(armed_check(gate));
  EXPECT_TRUE(gate.isForbidden());
  advance(30000);
  EXPECT_FALSE(gate.checkAndUpdate()) << "an unarmed check is refused while shut";
  advance(30001);
  EXPECT_FALSE(gate.isForbidden());
  EXPECT_TRUE(gate.checkAndUpdate());
}

TEST_F(ThrottlingGate, UnarmedChecksPassAndAreNotCounted) {
  HXThrottling gate(10, 2, 60);
  for (int i = 0; i < 100; ++i) EXPECT_TRUE(gate.checkAndUpdate());
  EXPECT_TRUE(armed_check(gate)) << "the ring's one place is still free";
}

TEST_F(ThrottlingGate, OneSlotRefusesTheFirstArmedCheck) {
  HXThrottling gate(10, 1, 5);
  EXPECT_TRUE(gate.checkAndUpdate());
  EXPECT_FALSE(armed_check(gate));
  EXPECT_TRUE(gate.isForbidden());
}

TEST_F(ThrottlingGate, ForbiddenPeriodIncludesItsLastMillisecond) {
  HXThrottling gate(10, 1, 60);
  const long long shut_at = now();
  ASSERT_FALSE(armed_check(gate));
  set_now(shut_at + 60000);
  EXPECT_TRUE(gate.isForbidden());
  EXPECT_FALSE(gate.checkAndUpdate());
  set_now(shut_at + 60001);
  EXPECT_FALSE(gate.isForbidden());
  EXPECT_TRUE(gate.checkAndUpdate());
}

TEST_F(ThrottlingGate, RecordedTimeExpiresExactlyOneWindowLater) {
  HXThrottling gate(10, 2, 0);
  const long long recorded = now();
  ASSERT_TRUE(armed_check(gate));
  set_now(recorded + 10000);
  EXPECT_TRUE(armed_check(gate));
}

TEST_F(ThrottlingGate, RecordedTimeStillCountsOneMillisecondBeforeItExpires) {
  HXThrottling gate(10, 2, 0);
  const long long recorded = now();
  ASSERT_TRUE(armed_check(gate));
  set_now(recorded + 9999);
  EXPECT_FALSE(armed_check(gate));
}

TEST_F(ThrottlingGate, RefusedArmedCheckConsumesTheMark) {
  HXThrottling gate(10, 3, 0);
  ASSERT_TRUE(armed_check(gate));
  advance(1);
  ASSERT_TRUE(armed_check(gate));
  advance(1);
  ASSERT_FALSE(armed_check(gate));  // ring full: shuts for this millisecond only
  advance(1);
  EXPECT_TRUE(gate.checkAndUpdate()) << "the refused check used up the mark";
  EXPECT_FALSE(armed_check(gate)) << "and the pass was not recorded";
}

TEST_F(ThrottlingGate, MarkSetWhileShutArmsTheFirstCheckAfter) {
  HXThrottling gate(10, 2, 5);
  ASSERT_TRUE(armed_check(gate));
  advance(1);
  const long long shut_at = now();
  ASSERT_FALSE(armed_check(gate));
  gate.markAllow();
  advance(1);
  EXPECT_FALSE(gate.checkAndUpdate());
  EXPECT_FALSE(gate.checkAndUpdate());
  // Still inside the window of the first record: the kept mark makes this a
  // counted check, which finds the ring full and shuts the gate again.
  set_now(shut_at + 5001);
  EXPECT_FALSE(gate.checkAndUpdate());
  EXPECT_TRUE(gate.isForbidden());
}

TEST_F(ThrottlingGate, RecordsOutliveTheForbiddenPeriodUntilTheyExpire) {
  HXThrottling gate(100, 3, 10);
  const long long first = now();
  ASSERT_TRUE(armed_check(gate));
  ASSERT_TRUE(armed_check(gate));
  ASSERT_FALSE(armed_check(gate));
  set_now(first + 10001);
  EXPECT_FALSE(armed_check(gate)) << "both records are younger than the window";
  set_now(first + 100000 + 10001);
  EXPECT_TRUE(armed_check(gate));
}

TEST_F(ThrottlingGate, NewGateIsShutDuringTheClocksFirstForbidSeconds) {
  set_now(0);
  HXThrottling gate(10, 4, 60);
  EXPECT_FALSE(gate.checkAndUpdate());
  set_now(60000);
  EXPECT_FALSE(gate.checkAndUpdate());
  set_now(60001);
  EXPECT_TRUE(gate.checkAndUpdate());
}

TEST_F(ThrottlingGate, WindowPastThirtyTwoBitMillisecondsDoesNotWrap) {
  HXThrottling gate(3000000, 2, 0);
  const long long recorded = now();
  ASSERT_TRUE(armed_check(gate));
  set_now(recorded + 2999999999LL);
  EXPECT_FALSE(armed_check(gate));
  set_now(recorded + 3000000000LL + 1);
  EXPECT_TRUE(armed_check(gate));
}

TEST_F(ThrottlingGate, RingWrapsAroundManyTimes) {
  HXThrottling gate(1, 3, 0);
  for (int i = 0; i < 50; ++i) {
    EXPECT_TRUE(armed_check(gate)) << i;
    advance(500);
  }
}

TEST_F(ThrottlingGate, ConcurrentChecksKeepTheRingConsistent) {
  constexpr int kHeld = 100;
  HXThrottling gate(1000, kHeld + 1, 0);
  std::atomic<int> passed{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 500; ++i) {
        gate.markAllow();
        passed += gate.checkAndUpdate();
        (void)gate.isForbidden();
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_GE(passed, kHeld);
  advance(1);
  EXPECT_FALSE(armed_check(gate)) << "exactly " << kHeld << " times fill the ring";
}

TEST(ThrottlingConstruction, RefusesFewerThanOneSlot) {
  for (int slots : {0, -1, -2147483647 - 1}) {
    try {
      HXThrottling gate(10, slots, 60);
      ADD_FAILURE() << "accepted " << slots << " slots";
    } catch (const std::invalid_argument& error) {
      EXPECT_EQ(std::string(error.what()),
                "HXThrottling: slots must be at least 1, got " + std::to_string(slots));
    }
  }
}

TEST(ThrottlingClockSeam, DefaultsToTheLibraryClock) {
  EXPECT_EQ(hxcore::detail::set_gate_clock(nullptr), nullptr);
  const long long before = get_time();
  const long long read = hxcore::detail::gate_now();
  EXPECT_GE(read, before);
  EXPECT_LE(read, get_time());
}

TEST_F(ThrottlingGate, HeaderExample) {
  HXThrottling gate(10, 4, 60);
  int sent = 0;
  for (int i = 0; i < 5; ++i) {
    gate.markAllow();
    if (gate.checkAndUpdate()) ++sent;
  }
  EXPECT_EQ(sent, 3);
}

}  // namespace
