// SPDX-License-Identifier: Apache-2.0
// A client built against the installed package: headers and library of one version, a log
// callback, and a record written with the cJSON API hxcore brings.
#include <hxcore/hxcore.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string g_last_record;

void keep_record(int, const char* text, uint64_t length, void*) { g_last_record.assign(text, length); }

}  // namespace

int main() {
  if (std::strcmp(hxcore_version(), HXCORE_VERSION_STRING) != 0) {
    std::fprintf(stderr, "consumer: headers %s, library %s\n", HXCORE_VERSION_STRING, hxcore_version());
    return 1;
  }
  SetHXLogCallback(keep_record, nullptr);
  MirvLog(4, "APP", __FILE__, __LINE__, "consumer::main", "clock at %lld ms", get_time());
  SetHXLogCallback(nullptr, nullptr);
  if (g_last_record.find("[E|APP]") == std::string::npos) {
    std::fprintf(stderr, "consumer: no record reached the callback\n");
    return 1;
  }

  IotZoRiskControlInfo info;
  info.setDeviceId("consumer");
  cJSON* object = cJSON_CreateObject();
  info.buildContext(object);
  char* json = cJSON_PrintUnformatted(object);
  const bool ok = json != nullptr && std::strstr(json, "\"deviceId\":\"consumer\"") != nullptr;
  std::printf("consumer: %s\n", ok ? json : "record missing");
  cJSON_free(json);
  cJSON_Delete(object);
  return ok ? 0 : 1;
}
