// hxtool demo: walks the client's typical request as far as the library goes.
#include <cjson/cJSON.h>

#include <cstdio>

#include "HXClock.h"
#include "HXLog.h"
#include "IotZoRiskControlInfo.h"
#include "MMD5.h"
#include "MStr.h"
#include "commands.h"

namespace hxtool {

namespace {

constexpr char kHelp[] =
    "usage: hxtool demo\n"
    "Sets the log level and a callback that prints records, fills a device-context\n"
    "record and prints its two JSON forms, then builds a query text and prints its\n"
    "MD5 digest.\n";

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

// Builds a query text with the string class and prints its MD5 digest.
int demo_text() {
  mvc::MStr query = mvc::MStr::trim("  device=camera-0001 \r\n", 23);
  query.appendfmt("&ts=%lld", get_time_sec());
  mvc::MStr digest;
  mvc::MMD5::Digest(query.c_str(), query.length(), &digest);
  std::printf("query: %s\nmd5: %s\n", query.c_str(), digest.c_str());
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
  if (status == 0) status = demo_text();

  SetHXLogCallback(nullptr, nullptr);
  return status;
}

}  // namespace hxtool
