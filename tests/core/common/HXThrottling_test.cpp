#include "HXThrottling.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "detail/gate_clock.h"

namespace {

std::atomic<long long> fake_now{0};

// One check at a moment of the fake clock: armed or not, and whether it passes.
struct Check {
  long long at_ms;
  bool armed;
  bool passes;
};

// A gate's constructor arguments and the checks it then sees, in order.
struct Scenario {
  const char* behaviour;
  int window_sec, slots, forbid_sec;
  std::vector<Check> checks;
};

constexpr long long T = 100000;           // well past the clock's first minute
constexpr long long kLater = 4000000000;  // past a 3,000,000 s forbidden start
constexpr bool A = true;                  // armed by markAllow
constexpr bool U = false;                 // unarmed

// Checks in a row, one scenario a line or three.
// clang-format off
const Scenario kScenarios[] = {
    {"passes N - 1 armed checks per window, then shuts for the forbidden period", 10, 4, 60,
     {{T, A, true}, {T + 3000, A, true}, {T + 6000, A, true}, {T + 9000, A, false},
      {T + 30000, U, false}, {T + 69001, U, true}}},
    {"does not count unarmed checks", 10, 2, 60,
     {{T, U, true}, {T + 1, U, true}, {T + 2, U, true}, {T + 3, A, true}, {T + 4, A, false}}},
    {"with one slot shuts at the first armed check, last forbidden millisecond included", 10, 1,
     60, {{T, U, true}, {T, A, false}, {T + 60000, U, false}, {T + 60001, U, true}}},
    {"expires a record exactly one window later", 10, 2, 0,
     {{T, A, true}, {T + 10000, A, true}, {T + 19999, A, false}}},
    {"consumes the mark on a refused armed check and records nothing", 10, 3, 0,
     {{T, A, true}, {T + 1, A, true}, {T + 2, A, false}, {T + 3, U, true}, {T + 4, A, false}}},
    {"keeps a mark set while shut for the first check after, which shuts it again", 10, 2, 5,
     {{T, A, true}, {T + 1, A, false}, {T + 2, A, false}, {T + 3, U, false}, {T + 5002, U, false},
      {T + 10003, U, true}}},
    {"keeps records past the forbidden period until they expire, wrapping the ring", 100, 3, 10,
     {{T, A, true}, {T, A, true}, {T, A, false}, {T + 10001, A, false}, {T + 110002, A, true},
      {T + 160002, A, true}, {T + 210002, A, true}, {T + 260002, A, true}, {T + 310002, A, true}}},
    {"is shut during the clock's first forbid seconds", 10, 4, 60,
     {{0, U, false}, {60000, U, false}, {60001, U, true}}},
    {"does not wrap seconds past 32-bit milliseconds", 3000000, 2, 3000000,
     {{kLater, A, true}, {kLater + 2999999999, A, false}, {kLater + 5999999999, U, false},
      {kLater + 6000000000, A, true}}},
};
// clang-format on

// Puts the gate on the fake clock for the length of one test.
class ThrottlingGate : public ::testing::Test {
 protected:
  void SetUp() override {
    hxcore::detail::set_gate_clock([] { return fake_now.load(); });
  }
  void TearDown() override { hxcore::detail::set_gate_clock(nullptr); }

  static bool check(HXThrottling& gate, long long at_ms, bool armed) {
    fake_now = at_ms;
    if (armed) gate.markAllow();
    return gate.checkAndUpdate();
  }
};

TEST_F(ThrottlingGate, FollowsEveryScenario) {
  for (const Scenario& scenario : kScenarios) {
    SCOPED_TRACE(scenario.behaviour);
    HXThrottling gate(scenario.window_sec, scenario.slots, scenario.forbid_sec);
    for (const Check& c : scenario.checks) {
      EXPECT_EQ(check(gate, c.at_ms, c.armed), c.passes)
          << "at " << c.at_ms << (c.armed ? " armed" : "");
      // A refusal either finds the gate shut or shuts it: shut now either way.
      EXPECT_EQ(gate.isForbidden(), !c.passes) << "at " << c.at_ms;
    }
  }
}

TEST_F(ThrottlingGate, ConcurrentChecksKeepTheRingConsistent) {
  constexpr int kHeld = 100;
  HXThrottling gate(1000, kHeld + 1, 0);
  fake_now = T;
  std::atomic<int> passed{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 500; ++i)
        gate.markAllow(), passed += gate.checkAndUpdate(), (void)gate.isForbidden();
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_GE(passed, kHeld);
  EXPECT_FALSE(check(gate, T + 1, true)) << "exactly " << kHeld << " records fill the ring";
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

}  // namespace
