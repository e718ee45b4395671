// SPDX-License-Identifier: Apache-2.0
// Threads benchmarks: the throttling gate's check beside a bare lock and clock
// read, a zero-delay timeout beside a plain thread start, and how late a 10 ms
// timeout fires beside a bare condition-variable wait.
#include <benchmark/benchmark.h>
#include <hxcore/HXClock.h>
#include <hxcore/HXThrottling.h>
#include <hxcore/HXTimer.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// A window of 0 expires every record, so armed checks never shut the gate; a
// forbid of 0 keeps it open once the clock is past its first millisecond.
HXThrottling& shared_gate() {
  static HXThrottling gate(0, 2, 0);
  return gate;
}

void BM_GateCheckUnarmed(benchmark::State& state) {
  HXThrottling& gate = shared_gate();
  for (auto _ : state) benchmark::DoNotOptimize(gate.checkAndUpdate());
}
BENCHMARK(BM_GateCheckUnarmed);
BENCHMARK(BM_GateCheckUnarmed)->Threads(2)->UseRealTime();

void BM_GateCheckArmed(benchmark::State& state) {
  HXThrottling& gate = shared_gate();
  for (auto _ : state) {
    gate.markAllow();
    benchmark::DoNotOptimize(gate.checkAndUpdate());
  }
}
BENCHMARK(BM_GateCheckArmed);
BENCHMARK(BM_GateCheckArmed)->Threads(2)->UseRealTime();

// The floor under any locked check: a mutex and one clock read.
void BM_PeerLockAndClockRead(benchmark::State& state) {
  static std::mutex mutex;
  for (auto _ : state) {
    std::lock_guard<std::mutex> lock(mutex);
    benchmark::DoNotOptimize(get_time());
  }
}
BENCHMARK(BM_PeerLockAndClockRead);
BENCHMARK(BM_PeerLockAndClockRead)->Threads(2)->UseRealTime();

// One event from another thread, with the moment it happened.
class Arrival {
 public:
  void arrive() {
    const Clock::time_point at = Clock::now();
    std::lock_guard<std::mutex> lock(mutex_);
    at_ = at;
    arrived_ = true;
    changed_.notify_one();
  }
  Clock::time_point wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return arrived_; });
    arrived_ = false;
    return at_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  Clock::time_point at_;
  bool arrived_ = false;
};

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

void BM_TimeoutZeroCallToCallback(benchmark::State& state) {
  HXTimer timer;
  Arrival arrival;
  for (auto _ : state) {
    const Clock::time_point called = Clock::now();
    timer.setTimeout([&] { arrival.arrive(); }, 0);
    state.SetIterationTime(seconds(arrival.wait() - called));
    timer.stopAll();
  }
}
BENCHMARK(BM_TimeoutZeroCallToCallback)->UseManualTime();

void BM_PeerThreadStartToBody(benchmark::State& state) {
  Arrival arrival;
  for (auto _ : state) {
    const Clock::time_point called = Clock::now();
    std::thread thread([&] { arrival.arrive(); });
    state.SetIterationTime(seconds(arrival.wait() - called));
    thread.join();
  }
}
BENCHMARK(BM_PeerThreadStartToBody)->UseManualTime();

constexpr std::chrono::milliseconds kDelay{10};
constexpr int kLatenessSamples = 100;

void report_lateness(benchmark::State& state, std::vector<double>& late_us) {
  std::sort(late_us.begin(), late_us.end());
  state.counters["median_late_us"] = late_us[late_us.size() / 2];
  state.counters["p99_late_us"] = late_us[(late_us.size() * 99) / 100];
}

void BM_TimeoutTenMsLateness(benchmark::State& state) {
  HXTimer timer;
  Arrival arrival;
  std::vector<double> late_us;
  for (auto _ : state) {
    const Clock::time_point due = Clock::now() + kDelay;
    timer.setTimeout([&] { arrival.arrive(); }, static_cast<int>(kDelay.count()));
    late_us.push_back(seconds(arrival.wait() - due) * 1e6);
    timer.stopAll();
  }
  report_lateness(state, late_us);
}
BENCHMARK(BM_TimeoutTenMsLateness)->Iterations(kLatenessSamples);

void BM_PeerConditionWaitTenMsLateness(benchmark::State& state) {
  std::mutex mutex;
  std::condition_variable never;
  std::vector<double> late_us;
  for (auto _ : state) {
    const Clock::time_point due = Clock::now() + kDelay;
    std::unique_lock<std::mutex> lock(mutex);
    never.wait_until(lock, due, [] { return false; });
    late_us.push_back(seconds(Clock::now() - due) * 1e6);
  }
  report_lateness(state, late_us);
}
BENCHMARK(BM_PeerConditionWaitTenMsLateness)->Iterations(kLatenessSamples);

}  // namespace

BENCHMARK_MAIN();
