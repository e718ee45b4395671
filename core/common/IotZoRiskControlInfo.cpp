// SPDX-License-Identifier: Apache-2.0
// The record's copies and its two JSON writers.
#include "IotZoRiskControlInfo.h"

#include <cjson/cJSON.h>

#include <new>

IotZoRiskControlInfo::IotZoRiskControlInfo() = default;
IotZoRiskControlInfo::IotZoRiskControlInfo(const IotZoRiskControlInfo& other) = default;
IotZoRiskControlInfo& IotZoRiskControlInfo::operator=(const IotZoRiskControlInfo& other) = default;
IotZoRiskControlInfo::~IotZoRiskControlInfo() = default;

namespace {

// One JSON member: its key and the getter of the property written under it.
struct Member {
  const char* key;
  const std::string& (IotZoRiskControlInfo::*value)() const;
};

using R = IotZoRiskControlInfo;

constexpr Member kContextMembers[] = {
    {"appAuthToken", &R::getAppAuthToken}, {"appID", &R::getAppId},
    {"appKey", &R::getAppKey},             {"appVersion", &R::getAppVersion},
    {"deviceId", &R::getDeviceId},         {"netType", &R::getNetType},
    {"platformName", &R::getPlatformName}, {"sdkVersion", &R::getSdkVersion},
    {"securityToken", &R::getFepoToken},   {"qamId", &R::getQamid},
};

constexpr Member kRiskControlMembers[] = {
    {"altitude", &R::getAltitude},
    {"appVersion", &R::getAppVersion},
    {"USE_ZO_PWD_ENCRYPT", &R::getUseZoPwdEncrypt},
    {"qamid", &R::getQamid},
    {"netType", &R::getNetType},
    {"latitude", &R::getLatitude},
    {"fepoToken", &R::getFepoToken},
    {"locale", &R::getLocale},
    {"cellID", &R::getCellId},
    {"appVersionName", &R::getAppVersionName},
    {"deviceId", &R::getDeviceId},
    {"routerMac", &R::getRouterMac},
    {"scene", &R::getScene},
    {"platformVersion", &R::getPlatformVersion},
    {"appAuthToken", &R::getAppAuthToken},
    {"appID", &R::getAppId},
    {"signType", &R::getSignType},
    {"sdkVersion", &R::getSdkVersion},
    {"model", &R::getModel},
    {"USE_H5_GK", &R::getUseH5Gk},
    {"platformName", &R::getPlatformName},
    {"brand", &R::getBrand},
    {"pelixId", &R::getPelixId},
    {"longitude", &R::getLongitude},
};

// A member that cannot be added (null object, no memory) is left out and the
// next one is tried, so the result of each add is not examined.
template <size_t N>
void add_members(const IotZoRiskControlInfo& info, cJSON* object, const Member (&members)[N]) {
  for (const Member& member : members) {
    // cJSON answers null for a member it could not allocate: thrown, not silently left out.
    if (cJSON_AddStringToObject(object, member.key, (info.*member.value)().c_str()) == nullptr &&
        object != nullptr) {
      throw std::bad_alloc();
    }
  }
}

}  // namespace

void IotZoRiskControlInfo::buildContext(cJSON* object) const {
  add_members(*this, object, kContextMembers);
}

void IotZoRiskControlInfo::buildRiskControl(cJSON* object) const {
  add_members(*this, object, kRiskControlMembers);
}
