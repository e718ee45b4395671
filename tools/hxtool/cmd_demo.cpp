// hxtool demo: walks the client's typical request as far as the library goes.
#include <cjson/cJSON.h>

#include <cstdio>
#include <string>

#include "HXClock.h"
#include "HXLog.h"
#include "IIotPlatformImpl.h"
#include "IotZoRiskControlInfo.h"
#include "commands.h"
#include "secret_encryption.h"

namespace hxtool {

namespace {

constexpr char kHelp[] =
    "usage: hxtool demo\n"
    "Sets the log level and a callback that prints records, fills a device-context\n"
    "record and prints its two JSON forms, then continues as a client does: obtains\n"
    "the platform object, gives it an application key and a development secret\n"
    "encrypted under the library's public key, prints the record the platform\n"
    "fills, and signs a request string in Base64 and in hexadecimal.\n";

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

int demo_platform() {
  IIotPlatformImpl* platform = getSharedPlatformImpl();
  platform->setAppKey("demo-app-key");
  std::string encryptedSecret;
  std::string error;
  if (!encrypt_secret(kBuildPublicKeyPem, "development secret, not for release", encryptedSecret,
                      error)) {
    std::fprintf(stderr, "hxtool demo: %s\n", error.c_str());
    return 1;
  }
  platform->setEncryptedAppSecret(encryptedSecret);
  std::printf("encrypted secret: %s\n", encryptedSecret.c_str());

  IotZoRiskControlInfo& info = platform->getRiskControlInfo();
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
  return base64.empty() || hex.empty() ? 1 : 0;
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
  if (status == 0) status = demo_platform();

  SetHXLogCallback(nullptr, nullptr);
  return status;
}

}  // namespace hxtool
