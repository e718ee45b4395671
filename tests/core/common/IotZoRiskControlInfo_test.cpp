#include "IotZoRiskControlInfo.h"

#include <cjson/cJSON.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Json = std::unique_ptr<cJSON, decltype(&cJSON_Delete)>;

Json new_object() { return Json(cJSON_CreateObject(), &cJSON_Delete); }

std::vector<std::string> keys(const cJSON* object) {
  std::vector<std::string> out;
  for (const cJSON* item = object->child; item != nullptr; item = item->next) out.push_back(item->string);
  return out;
}

std::string value(const cJSON* object, const char* key) {
  const cJSON* item = cJSON_GetObjectItemCaseSensitive(object, key);
  return cJSON_IsString(item) ? item->valuestring : "<missing or not a string>";
}

TEST(RiskControlJson, EmptyRecordWritesTheContextKeysInOrder) {
  IotZoRiskControlInfo info;
  Json object = new_object();
  info.buildContext(object.get());
  EXPECT_EQ(keys(object.get()),
            (std::vector<std::string>{"appAuthToken", "appID", "appKey", "appVersion", "deviceId",
                                      "netType", "platformName", "sdkVersion", "securityToken", "qamId"}));
  for (const cJSON* item = object->child; item != nullptr; item = item->next) {
    EXPECT_TRUE(cJSON_IsString(item));
    EXPECT_STREQ(item->valuestring, "");
  }
}

TEST(RiskControlJson, EmptyRecordWritesTheRiskControlKeysInOrder) {
  IotZoRiskControlInfo info;
  Json object = new_object();
  info.buildRiskControl(object.get());
  EXPECT_EQ(keys(object.get()),
            (std::vector<std::string>{"altitude", "appVersion", "USE_ZO_PWD_ENCRYPT", "qamid", "netType",
                                      "latitude", "fepoToken", "locale", "cellID", "appVersionName",
                                      "deviceId", "routerMac", "scene", "platformVersion", "appAuthToken",
                                      "appID", "signType", "sdkVersion", "model", "USE_H5_GK",
                                      "platformName", "brand", "pelixId", "longitude"}));
}

TEST(RiskControlJson, EveryPropertyLandsUnderItsKey) {
  IotZoRiskControlInfo info;
  info.setAppKey("k");
  info.setAltitude("12.5");
  info.setAppVersion("1.2");
  info.setQamid("q");
  info.setNetType("wifi");
  info.setLatitude("-3.1");
  info.setFepoToken("fepo");
  info.setLocale("en_US");
  info.setCellId("cell");
  info.setAppVersionName("One");
  info.setDeviceId("dev");
  info.setRouterMac("aa:bb");
  info.setScene("login");
  info.setPlatformVersion("10");
  info.setAppAuthToken("auth");
  info.setAppId("app.exe");
  info.setSignType("sha1");
  info.setSdkVersion("3");
  info.setModel("PC");
  info.setUseH5Gk("true");
  info.setPlatformName("windows");
  info.setBrand("brand");
  info.setPelixId("pelix");
  info.setLongitude("7.7");
  info.setUseZoPwdEncrypt("false");

  Json context = new_object();
  info.buildContext(context.get());
  EXPECT_EQ(value(context.get(), "appKey"), "k");
  EXPECT_EQ(value(context.get(), "securityToken"), "fepo");
  EXPECT_EQ(value(context.get(), "qamId"), "q");
  EXPECT_EQ(value(context.get(), "appID"), "app.exe");
  EXPECT_EQ(cJSON_GetObjectItemCaseSensitive(context.get(), "fepoToken"), nullptr);
  EXPECT_EQ(cJSON_GetObjectItemCaseSensitive(context.get(), "qamid"), nullptr);

  Json risk = new_object();
  info.buildRiskControl(risk.get());
  EXPECT_EQ(cJSON_GetObjectItemCaseSensitive(risk.get(), "appKey"), nullptr);
  const std::pair<const char*, const char*> expected[] = {
      {"altitude", "12.5"},     {"appVersion", "1.2"},         {"USE_ZO_PWD_ENCRYPT", "false"},
      {"qamid", "q"},           {"netType", "wifi"},           {"latitude", "-3.1"},
      {"fepoToken", "fepo"},    {"locale", "en_US"},           {"cellID", "cell"},
      {"appVersionName", "One"}, {"deviceId", "dev"},          {"routerMac", "aa:bb"},
      {"scene", "login"},       {"platformVersion", "10"},     {"appAuthToken", "auth"},
      {"appID", "app.exe"},     {"signType", "sha1"},          {"sdkVersion", "3"},
      {"model", "PC"},          {"USE_H5_GK", "true"},         {"platformName", "windows"},
      {"brand", "brand"},       {"pelixId", "pelix"},          {"longitude", "7.7"}};
  for (const auto& [key, text] : expected) EXPECT_EQ(value(risk.get(), key), text) << key;
  // Flags and numbers stay strings.
  EXPECT_TRUE(cJSON_IsString(cJSON_GetObjectItemCaseSensitive(risk.get(), "USE_H5_GK")));
  EXPECT_TRUE(cJSON_IsString(cJSON_GetObjectItemCaseSensitive(risk.get(), "altitude")));
}

TEST(RiskControlJson, BuildingTwiceOrBothAddsDuplicates) {
  IotZoRiskControlInfo info;
  Json object = new_object();
  info.buildContext(object.get());
  info.buildContext(object.get());
  EXPECT_EQ(cJSON_GetArraySize(object.get()), 20);
  Json both = new_object();
  info.buildContext(both.get());
  info.buildRiskControl(both.get());
  EXPECT_EQ(cJSON_GetArraySize(both.get()), 34);
}

TEST(RiskControlJson, NullObjectGetsNothingAndDoesNotCrash) {
  IotZoRiskControlInfo info;
  info.setDeviceId("d");
  info.buildContext(nullptr);
  info.buildRiskControl(nullptr);
  EXPECT_EQ(info.getDeviceId(), "d");
}

TEST(RiskControlValue, CopiesAreDeepAndIndependent) {
  IotZoRiskControlInfo source;
  source.setDeviceId("one");
  source.setBrand("b");
  IotZoRiskControlInfo copy(source);
  IotZoRiskControlInfo assigned;
  assigned = source;
  source.setDeviceId("two");
  EXPECT_EQ(copy.getDeviceId(), "one");
  EXPECT_EQ(assigned.getDeviceId(), "one");
  EXPECT_EQ(assigned.getBrand(), "b");

  Json a = new_object(), b = new_object();
  copy.buildRiskControl(a.get());
  assigned.buildRiskControl(b.get());
  char* ta = cJSON_PrintUnformatted(a.get());
  char* tb = cJSON_PrintUnformatted(b.get());
  EXPECT_STREQ(ta, tb);
  cJSON_free(ta);
  cJSON_free(tb);
}

TEST(RiskControlValue, SelfAssignmentAndSelfSetKeepTheText) {
  IotZoRiskControlInfo info;
  info.setScene("scene");
  IotZoRiskControlInfo& alias = info;
  info = alias;
  info.setScene(info.getScene());
  EXPECT_EQ(info.getScene(), "scene");
}

}  // namespace
