// SPDX-License-Identifier: Apache-2.0
// A Qt 5 client's typical request: log records to a callback, the platform
// object, a setting, the device-context record as JSON, a request signature.
//   typical_request ENCRYPTED_SECRET   (Base64 of the RSA-encrypted app secret,
//                                       e.g. from `hxtool encrypt-secret --public-key - SECRET`)
#include <hxcore/hxcore.h>

#include <QCoreApplication>
#include <cstdio>
#include <string>

namespace {

void print_record(int level, const char* text, uint64_t, void*) {
  std::fprintf(level >= 4 ? stderr : stdout, "%s\n", text);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);  // the settings file lives beside the program
  if (argc != 2) {
    std::fprintf(stderr, "usage: typical_request ENCRYPTED_SECRET\n");
    return 2;
  }
  SetHXLogLevel(2);
  SetHXLogCallback(print_record, nullptr);
  std::printf("headers %s, library %s\n", HXCORE_VERSION_STRING, hxcore_version());

  IIotPlatformImpl* platform = getSharedPlatformImpl();  // owned by the library
  platform->setAppKey("example-app");
  platform->setEncryptedAppSecret(argv[1]);
  platform->setConfigValue("last_user", "alice");
  std::printf("setting last_user = %s\n", platform->getConfigValue("last_user").c_str());

  IotZoRiskControlInfo& info = platform->getRiskControlInfo();
  info.setDeviceId("camera-0001");
  cJSON* body = cJSON_CreateObject();
  info.buildContext(body);
  char* json = cJSON_PrintUnformatted(body);
  std::printf("context %s\n", json);
  cJSON_free(json);
  cJSON_Delete(body);

  const std::string signature = platform->signString("appKey=example-app&ts=1700000000", true);
  std::printf("signature %s\n", signature.c_str());
  SetHXLogCallback(nullptr, nullptr);
  return signature.empty() ? 1 : 0;  // "" means failure, and an error record said why
}
