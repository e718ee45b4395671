// SPDX-License-Identifier: Apache-2.0
#include "IotZoRiskControlInfo.h"

#include <cjson/cJSON.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <regex>
#include <string>

namespace {

using Info = IotZoRiskControlInfo;
using Builder = void (Info::*)(cJSON*) const;

// Each property set to its own letter, "a" to "y" in declaration order.
Info filled() {
  void (Info::*const setters[])(const std::string&) = {
      &Info::setAppKey, &Info::setAltitude, &Info::setAppVersion, &Info::setQamid,
      &Info::setNetType, &Info::setLatitude, &Info::setFepoToken, &Info::setLocale,
      &Info::setCellId, &Info::setAppVersionName, &Info::setDeviceId, &Info::setRouterMac,
      &Info::setScene, &Info::setPlatformVersion, &Info::setAppAuthToken, &Info::setAppId,
      &Info::setSignType, &Info::setSdkVersion, &Info::setModel, &Info::setUseH5Gk,
      &Info::setPlatformName, &Info::setBrand, &Info::setPelixId, &Info::setLongitude,
      &Info::setUseZoPwdEncrypt};
  Info info;
  char letter = 'a';
  for (auto set : setters) (info.*set)(std::string(1, letter++));
  return info;
}

// The object after each builder in turn has added its members.
std::string json(const Info& info, std::initializer_list<Builder> builders) {
  cJSON* object = cJSON_CreateObject();
  for (Builder build : builders) (info.*build)(object);
  char* text = cJSON_PrintUnformatted(object);
  const std::string result = text;
  cJSON_free(text);
  cJSON_Delete(object);
  return result;
}

const std::string kContext =
    R"({"appAuthToken":"o","appID":"p","appKey":"a","appVersion":"c","deviceId":"k",)"
    R"("netType":"e","platformName":"u","sdkVersion":"r","securityToken":"g","qamId":"d"})";
const std::string kRiskControl =
    R"({"altitude":"b","appVersion":"c","USE_ZO_PWD_ENCRYPT":"y","qamid":"d","netType":"e",)"
    R"("latitude":"f","fepoToken":"g","locale":"h","cellID":"i","appVersionName":"j",)"
    R"("deviceId":"k","routerMac":"l","scene":"m","platformVersion":"n","appAuthToken":"o",)"
    R"("appID":"p","signType":"q","sdkVersion":"r","model":"s","USE_H5_GK":"t",)"
    R"("platformName":"u","brand":"v","pelixId":"w","longitude":"x"})";

TEST(RiskControlJson, CopiesWriteBothFormsWithEveryPropertyAsTextUnderItsKeyInOrder) {
  Info source = filled();
  Info copy(source);
  Info assigned;
  assigned = source;
  source.setDeviceId("changed");
  for (const Info* info : {&copy, &assigned}) {
    EXPECT_EQ(json(*info, {&Info::buildContext}), kContext);
    EXPECT_EQ(json(*info, {&Info::buildRiskControl}), kRiskControl);
  }
}

TEST(RiskControlJson, EmptyPropertiesAreWrittenAndRepeatedBuildsAddDuplicates) {
  const std::string all =
      json(Info(), {&Info::buildContext, &Info::buildContext, &Info::buildRiskControl});
  // 10 + 10 + 24 members, each with empty text
  EXPECT_EQ(std::regex_replace(all, std::regex(R"("\w+":"")"), ""),
            "{" + std::string(43, ',') + "}");
  filled().buildContext(nullptr);  // a null object gets nothing, and no fault
  filled().buildRiskControl(nullptr);
}

}  // namespace
