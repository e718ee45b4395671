// hxtool demo: walks the client's typical request as far as the library goes.
#include <cjson/cJSON.h>

#include <cstdio>

#include "HXClock.h"
#include "HXLog.h"
#include "HXUrl.h"
#include "IotZoRiskControlInfo.h"
#include "commands.h"

namespace hxtool {

namespace {

constexpr char kHelp[] =
    "usage: hxtool demo\n"
    "Sets the log level and a callback that prints records, fills a device-context\n"
    "record and prints its two JSON forms, then assembles a service URL.\n";

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
  SetHXLogCallback(print_record, nullptr);
  MirvLog(2, "HX", __FILE__, __LINE__, "hxtool::demo", "demo starts at %s (clock %lld ms)",
          now_date().c_str(), get_time());

  int status = demo_record();
  if (status == 0) status = demo_url();

  SetHXLogCallback(nullptr, nullptr);
  return status;
}

}  // namespace hxtool
