// SPDX-License-Identifier: Apache-2.0
// The cost of a record: hxcore's MirvLog, filtered and delivered to a no-op
// callback, beside spdlog formatting the same record with an equivalent
// pattern into a sink that applies the pattern and drops the bytes; and the
// clock beside std::chrono::steady_clock.
#include <benchmark/benchmark.h>
#include <hxcore/HXClock.h>
#include <hxcore/HXLog.h>
#include <spdlog/sinks/base_sink.h>
#include <spdlog/spdlog.h>

#include <chrono>
#include <memory>
#include <mutex>

namespace {

void discard(int, const char* text, uint64_t length, void*) {
  benchmark::DoNotOptimize(text);
  benchmark::DoNotOptimize(length);
}

void BM_MirvLog_Filtered(benchmark::State& state) {
  SetHXLogLevel(2);
  for (auto _ : state) MirvLog(1, "HX", __FILE__, __LINE__, "Bench::filtered", "request %d took %d ms", 42, 17);
}
BENCHMARK(BM_MirvLog_Filtered);

void BM_MirvLog_Delivered(benchmark::State& state) {
  SetHXLogLevel(2);
  SetHXLogCallback(discard, nullptr);
  for (auto _ : state) MirvLog(2, "HX", __FILE__, __LINE__, "Bench::delivered", "request %d took %d ms", 42, 17);
  SetHXLogCallback(nullptr, nullptr);
}
BENCHMARK(BM_MirvLog_Delivered);

// A sink that formats every record with the logger's pattern, as a real
// sink must, then throws the bytes away. spdlog's null sink skips the
// formatting and would measure nothing comparable.
class FormattingNullSink : public spdlog::sinks::base_sink<std::mutex> {
 protected:
  void sink_it_(const spdlog::details::log_msg& msg) override {
    spdlog::memory_buf_t formatted;
    formatter_->format(msg, formatted);
    benchmark::DoNotOptimize(formatted.data());
  }
  void flush_() override {}
};

void run_spdlog(benchmark::State& state, const char* pattern) {
  auto logger = std::make_shared<spdlog::logger>("HX", std::make_shared<FormattingNullSink>());
  logger->set_pattern(pattern);
  const spdlog::source_loc where{__FILE__, __LINE__, "Bench::spdlog"};
  for (auto _ : state) logger->log(where, spdlog::level::info, "request {} took {} ms", 42, 17);
}

// Date and time with milliseconds, pid, tid, level, tag, file:line, function.
void BM_Spdlog_WithPid(benchmark::State& state) {
  run_spdlog(state, "%m-%d %H:%M:%S.%e [%P-%t]\t[%L|%n]\t[%s:%#](%!): %v");
}
BENCHMARK(BM_Spdlog_WithPid);

void BM_Spdlog_WithoutPid(benchmark::State& state) {
  run_spdlog(state, "%m-%d %H:%M:%S.%e [%t]\t[%L|%n]\t[%s:%#](%!): %v");
}
BENCHMARK(BM_Spdlog_WithoutPid);

void BM_GetTime(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(get_time());
}
BENCHMARK(BM_GetTime);

void BM_SteadyClockNow(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(std::chrono::steady_clock::now());
}
BENCHMARK(BM_SteadyClockNow);

}  // namespace

BENCHMARK_MAIN();
