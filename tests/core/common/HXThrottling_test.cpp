// SPDX-License-Identifier: Apache-2.0
#include "HXThrottling.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "detail/clock.h"

namespace {

// The gates read the test's clock; the timer tests beside them, the system's.
std::atomic<long long> fake_now{0};

struct Check {
  long long at_ms;
  bool armed, passes;  // armed: markAllow just before the check
};

struct Scenario {
  const char* behaviour;
  int window_sec, slots, forbid_sec;
  std::vector<Check> checks;
};

constexpr long long T = 100000;                           // well past the clock's first minute
constexpr long long kLater = 4000000000;                  // past a 3,000,000 s forbidden start
constexpr bool A = true, U = false, P = true, R = false;  // armed, unarmed, passes, refused

// clang-format off
const Scenario kScenarios[] = {
    {"passes N - 1 armed checks per window, then shuts for the forbidden period", 10, 4, 60,
     {{T, A, P}, {T + 3000, A, P}, {T + 6000, A, P}, {T + 9000, A, R}, {T + 30000, U, R},
      {T + 69001, U, P}}},
    {"does not count unarmed checks", 10, 2, 60,
     {{T, U, P}, {T + 1, U, P}, {T + 2, U, P}, {T + 3, A, P}, {T + 4, A, R}}},
    {"with one slot shuts at the first armed check, last forbidden millisecond included", 10, 1,
     60, {{T, U, P}, {T, A, R}, {T + 60000, U, R}, {T + 60001, U, P}}},
    {"expires a record exactly one window later", 10, 2, 0,
     {{T, A, P}, {T + 10000, A, P}, {T + 19999, A, R}}},
    {"consumes the mark on a refused armed check and records nothing", 10, 3, 0,
     {{T, A, P}, {T + 1, A, P}, {T + 2, A, R}, {T + 3, U, P}, {T + 4, A, R}}},
    {"keeps a mark set while shut for the first check after, which shuts it again", 10, 2, 5,
     {{T, A, P}, {T + 1, A, R}, {T + 2, A, R}, {T + 3, U, R}, {T + 5002, U, R}, {T + 10003, U, P}}},
    {"keeps records past the forbidden period until they expire, wrapping the ring", 100, 3, 10,
     {{T, A, P}, {T, A, P}, {T, A, R}, {T + 10001, A, R}, {T + 110002, A, P}, {T + 160002, A, P},
      {T + 210002, A, P}, {T + 260002, A, P}, {T + 310002, A, P}}},
    {"is shut during the clock's first forbid seconds", 10, 4, 60,
     {{0, U, R}, {60000, U, R}, {60001, U, P}}},
    {"does not wrap seconds past 32-bit milliseconds", 3000000, 2, 3000000,
     {{kLater, A, P}, {kLater + 2999999999, A, R}, {kLater + 5999999999, U, R},
      {kLater + 6000000000, A, P}}},
};
// clang-format on

bool check(HXThrottling& gate, long long at_ms, bool armed) {
  fake_now = at_ms;
  if (armed) gate.markAllow();
  return gate.checkAndUpdate();
}

TEST(ThrottlingGate, FollowsEveryScenario) {
  const hxcore::detail::ScopedClock clock({[] { return fake_now.load(); }, nullptr});
  for (const Scenario& scenario : kScenarios) {
    SCOPED_TRACE(scenario.behaviour);
    HXThrottling gate(scenario.window_sec, scenario.slots, scenario.forbid_sec);
    for (const Check& c : scenario.checks) {
      EXPECT_EQ(check(gate, c.at_ms, c.armed), c.passes) << "at " << c.at_ms;
      EXPECT_EQ(gate.isForbidden(), !c.passes) << "at " << c.at_ms;  // a refusal shuts the gate
    }
  }
}

TEST(ThrottlingGate, ConcurrentChecksKeepTheRingConsistent) {
  const hxcore::detail::ScopedClock clock({[] { return fake_now.load(); }, nullptr});
  HXThrottling gate(1000, 20001, 0);  // holds 20,000 records
  fake_now = T;
  std::atomic<int> passed{0}, ready{0};
  auto hammer = [&] {
    for (++ready; ready < 3;) std::this_thread::yield();  // all three start together
    for (int i = 0; i < 10000; ++i)
      gate.markAllow(), passed += gate.checkAndUpdate(), (void)gate.isForbidden();
  };
  std::thread first(hammer), second(hammer);
  hammer(), first.join(), second.join();
  EXPECT_GE(passed, 20000);
  EXPECT_FALSE(check(gate, T + 1, true)) << "20,000 records fill the ring";
}

TEST(ThrottlingConstruction, RefusesFewerThanOneSlot) {
  for (int slots : {0, -1, -2147483647 - 1})
    EXPECT_THAT([slots] { HXThrottling(10, slots, 60); },
                ::testing::ThrowsMessage<std::invalid_argument>(
                    "HXThrottling: slots must be at least 1, got " + std::to_string(slots)));
}

}  // namespace
