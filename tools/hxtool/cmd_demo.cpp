// SPDX-License-Identifier: Apache-2.0
// hxtool demo: walks the client's typical request as far as the library goes.
#include <cjson/cJSON.h>
#include <curl/curl.h>
#include <hxcore/HXClock.h>
#include <hxcore/HXCurl.h>
#include <hxcore/HXLog.h>
#include <hxcore/HXRandom.h>
#include <hxcore/HXThrottling.h>
#include <hxcore/HXTimer.h>
#include <hxcore/HXUrl.h>
#include <hxcore/IIotPlatformImpl.h>
#include <hxcore/IotZoRiskControlInfo.h>
#include <hxcore/MMD5.h>
#include <hxcore/MStr.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "commands.h"
#include "secret_encryption.h"

namespace hxtool {

namespace {

constexpr char kHelp[] =
    "usage: hxtool demo\n"
    "Walks a client's typical request through the library, step by step:\n"
    "  - sets the log level and a callback that prints records (on standard\n"
    "    output: they are part of what the demo shows);\n"
    "  - fills a device-context record and prints its two JSON forms;\n"
    "  - obtains the platform object, gives it an application key and a\n"
    "    development secret encrypted under the library's public key, prints the\n"
    "    record the platform fills, and signs a request string in Base64 and in\n"
    "    hexadecimal;\n"
    "  - assembles a service URL component by component;\n"
    "  - fetches a file:// URL it writes first (no network needed) and prints a\n"
    "    random identifier;\n"
    "  - fires a timeout, lets an interval tick three times and sends a burst of\n"
    "    actions through a throttling gate;\n"
    "  - builds a query text and prints its MD5 digest.\n";

// Error records the demo has printed, so a step can say what one meant.
std::atomic<int> error_records{0};

void print_demo_record(int level, const char* text, uint64_t length, void* user) {
  if (level >= 4) ++error_records;
  print_record(level, text, length, user);
}

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

// A file:// URL for a local path: "file:///tmp/x" here, "file:///C:/x" on Windows.
std::string file_url(const std::filesystem::path& path) {
  const std::string generic = path.generic_string();
  return generic.front() == '/' ? "file://" + generic : "file:///" + generic;
}

int demo_fetch() {
  const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("hxtool-demo-" + HXRandom::getRandomGUID(12) + ".txt");
  std::ofstream(path, std::ios::binary) << "hello from a local file\n";
  std::vector<char> url;
  const std::string text = file_url(path) + "\r\n";  // the fetch cuts at the carriage return
  url.assign(text.begin(), text.end());
  url.push_back('\0');

  HXCurl::global_init_curl();
  CURL* handle = curl_easy_init();
  int size = 0;
  char* body = HXCurl::get_data_from_url(handle, url.data(), size, 1);
  curl_easy_cleanup(handle);
  HXCurl::global_deinit_curl();
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
  if (body == nullptr) {
    return refusal("demo", "cannot fetch " + file_url(path) + " (the record printed says why)");
  }
  std::printf("fetched %d bytes from %s:\n%s", size, url.data(), body);
  HXCurl::free_data(body);

  std::printf("random identifier: %s\n", HXRandom::getRandomGUID(32).c_str());
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
        return HXTimer::kPauseOnePeriod;
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

// Builds a query text with the string class and prints its MD5 digest.
int demo_text() {
  mvc::MStr query = mvc::MStr::trim("  device=camera-0001 \r\n", 23);
  query.appendfmt("&ts=%lld", get_time_sec());
  mvc::MStr digest;
  mvc::MMD5::Digest(query.c_str(), query.length(), &digest);
  std::printf("query: %s\nmd5: %s\n", query.c_str(), digest.c_str());
  return 0;
}

int demo_platform() {
  IIotPlatformImpl* platform = getSharedPlatformImpl();
  platform->setAppKey("demo-app-key");
  std::string encryptedSecret;
  std::string error;
  if (!encrypt_secret(kBuildPublicKeyPem, "development secret, not for release", encryptedSecret,
                      error)) {
    return refusal("demo", "cannot encrypt the development secret: " + error);
  }
  platform->setEncryptedAppSecret(encryptedSecret);
  std::printf("encrypted secret: %s\n", encryptedSecret.c_str());

  const int errors_before = error_records;
  IotZoRiskControlInfo& info = platform->getRiskControlInfo();
  if (error_records > errors_before) {
    std::printf(
        "note: the error record above is the locale probe's: this machine names no user\n"
        "locale (on Linux: LC_ALL, LC_MESSAGES or LANG, e.g. LANG=en_US.UTF-8), so the\n"
        "record carries the library's fallback region \"%s\". Nothing failed.\n",
        info.getLocale().c_str());
  }
  info.setDeviceId("camera-0001");
  cJSON* risk = cJSON_CreateObject();
  info.buildRiskControl(risk);
  print_json("platform risk control", risk);
  cJSON_Delete(risk);

  const char* request = "appKey=demo-app-key&deviceId=camera-0001&t=1700000000";
  const std::string base64 = platform->signString(request, true);
  const std::string hex = platform->signString(request, false);
  std::printf("string to sign: %s\nsignature (base64): %s\nsignature (hex):    %s\n", request,
              base64.c_str(), hex.c_str());
  if (base64.empty() || hex.empty()) {
    return refusal("demo", "cannot sign (the records printed say why)");
  }
  return 0;
}

// Assembles the service address piece by piece, as a client checks it before
// a fetch, and prints the text it builds.
int demo_url() {
  HXUrl url;
  url.scheme("HTTPS").host("API.Example.com").port(443).path("/v1/./devices/../device");
  url.add_query("id", "camera-0001").add_query("scene", "live view");
  std::printf("url: %s\n", url.str().c_str());
  return 0;
}

}  // namespace

int run_demo(int argc, char** argv) {
  if (wants_help(argc, argv, kHelp)) return 0;
  if (argc != 1) return usage_error("demo", "takes no arguments", "hxtool demo");

  SetHXLogLevel(1);
  SetHXLogCallback(print_demo_record, stdout);
  MirvLog(2, "HX", __FILE__, __LINE__, "hxtool::demo", "demo starts at %s (clock %lld ms)",
          now_date().c_str(), get_time());

  int status = demo_record();
  if (status == 0) status = demo_platform();
  if (status == 0) status = demo_url();
  if (status == 0) status = demo_fetch();
  if (status == 0) status = demo_threads();
  if (status == 0) status = demo_text();

  SetHXLogCallback(nullptr, nullptr);
  return status;
}

}  // namespace hxtool
