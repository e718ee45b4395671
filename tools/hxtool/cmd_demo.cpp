// hxtool demo: walks the client's typical request as far as the library goes.
#include <cjson/cJSON.h>

#include <curl/curl.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "HXClock.h"
#include "HXCurl.h"
#include "HXLog.h"
#include "HXRandom.h"
#include "IotZoRiskControlInfo.h"
#include "commands.h"

namespace hxtool {

namespace {

constexpr char kHelp[] =
    "usage: hxtool demo\n"
    "Sets the log level and a callback that prints records, fills a device-context\n"
    "record and prints its two JSON forms, fetches a file:// URL it writes first (no\n"
    "network needed) and prints a random identifier.\n";

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
  if (body == nullptr) return 1;
  std::printf("fetched %d bytes from %s:\n%s", size, url.data(), body);
  HXCurl::free_data(body);

  std::printf("random identifier: %s\n", HXRandom::getRandomGUID(32).c_str());
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
  if (status == 0) status = demo_fetch();

  SetHXLogCallback(nullptr, nullptr);
  return status;
}

}  // namespace hxtool
