// hxtool demo: walks the client's typical request as far as the library goes.
#include <cjson/cJSON.h>

#include <condition_variable>
#include <cstdio>
#include <mutex>

#include "HXClock.h"
#include "HXLog.h"
#include "HXThrottling.h"
#include "HXTimer.h"
#include "IotZoRiskControlInfo.h"
#include "commands.h"

namespace hxtool {

namespace {

constexpr char kHelp[] =
    "usage: hxtool demo\n"
    "Sets the log level and a callback that prints records, fills a device-context\n"
    "record and prints its two JSON forms, then fires a timeout, lets an interval\n"
    "tick three times and sends a burst of actions through a throttling gate.\n";

void print_json(const char* title, cJSON* object) {
  char* text = cJSON_Print(object);
  std::printf("%s:\n%s\n", title, text != nullptr ? text : "(null)");
  cJSON_free(text);
}

int demo_record() {
  IotZoRiskControlInfo info;
  info.setAppKey("demo-app-key");
  info.setAppVersion("1.0.0");
  info.setDeviceId("camera-0001");
  info.setNetType("wifi");
  info.setPlatformName("linux");
  info.setUseH5Gk("true");
  info.setFepoToken("token-42");

  cJSON* context = cJSON_CreateObject();
  info.buildContext(context);
  print_json("context", context);
  cJSON_Delete(context);

  cJSON* risk = cJSON_CreateObject();
  info.buildRiskControl(risk);
  print_json("risk control", risk);
  cJSON_Delete(risk);
  return 0;
}

// Counts events from timer threads; the demo's thread waits for a number.
class Countdown {
 public:
  void count() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++counted_;
    changed_.notify_all();
  }
  void wait_for(int n) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return counted_ >= n; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int counted_ = 0;
};

int demo_threads() {
  constexpr int kTicks = 3;
  HXTimer timer;
  Countdown fired;
  const long long scheduled = get_time();
  timer.setTimeout(
      [&] {
        std::printf("timeout: fired %lld ms after it was set for 50 ms\n", get_time() - scheduled);
        fired.count();
      },
      50);
  fired.wait_for(1);

  Countdown ticked;
  int ticks = 0;  // only the interval's thread touches it
  timer.setInterval(
      "demo",
      [&] {
        if (ticks < kTicks) {
          std::printf("interval: tick %d at +%lld ms\n", ++ticks, get_time() - scheduled);
          ticked.count();
        }
        return -1;  // pause one period before the next call
      },
      20);
  ticked.wait_for(kTicks);
  timer.stopAll();

  // Three armed actions per ten seconds; the fourth shuts the gate for a minute.
  HXThrottling gate(10, 4, 60);
  for (int action = 1; action <= 5; ++action) {
    gate.markAllow();
    const bool allowed = gate.checkAndUpdate();
    std::printf("throttling: action %d %s%s\n", action, allowed ? "allowed" : "refused",
                gate.isForbidden() ? " (gate shut)" : "");
  }
  return 0;
}

}  // namespace

int run_demo(int argc, char** argv) {
  if (wants_help(argc, argv, kHelp)) return 0;
  if (argc != 1) return usage_error("demo", "takes no arguments", "hxtool demo");

  SetHXLogLevel(1);
  SetHXLogCallback(print_record, nullptr);
  MirvLog(2, "HX", __FILE__, __LINE__, "hxtool::demo", "demo starts at %s (clock %lld ms)",
          now_date().c_str(), get_time());

  int status = demo_record();
  if (status == 0) status = demo_threads();

  SetHXLogCallback(nullptr, nullptr);
  return status;
}

}  // namespace hxtool
