// SPDX-License-Identifier: Apache-2.0
/// @file
/// The device-context record IotZoRiskControlInfo and the list of its properties.

/// @class IotZoRiskControlInfo IotZoRiskControlInfo.h <hxcore/IotZoRiskControlInfo.h>
/// The device-context record and its two JSON forms.
///
/// Twenty-five text properties, all empty after construction, copied deeply,
/// never validated or converted (numbers, coordinates and flags are text too).
/// `buildContext` adds ten string members to a cJSON object and
/// `buildRiskControl` twenty-four, in fixed orders; an empty property is written
/// as "", never skipped. The builders neither create, clear nor delete the
/// object; a null object gets nothing. A member cJSON cannot allocate throws
/// std::bad_alloc; the members added before it stay, and the client still
/// deletes the object. Not thread-safe: one writer at a time,
/// and no reader while it writes. Example:
/// @code
///   IotZoRiskControlInfo info; info.setDeviceId("cam-1");
///   cJSON* o = cJSON_CreateObject(); info.buildContext(o); /* print */ cJSON_Delete(o);
/// @endcode
#pragma once

#include <string>

#include "hxcore_export.h"

struct cJSON;

/// The properties in declaration order: member, accessor suffix.
#define HXCORE_RISK_CONTROL_PROPERTIES(X) \
  X(appKey, AppKey)                       \
  X(altitude, Altitude)                   \
  X(appVersion, AppVersion)               \
  X(qamid, Qamid)                         \
  X(netType, NetType)                     \
  X(latitude, Latitude)                   \
  X(fepoToken, FepoToken)                 \
  X(locale, Locale)                       \
  X(cellId, CellId)                       \
  X(appVersionName, AppVersionName)       \
  X(deviceId, DeviceId)                   \
  X(routerMac, RouterMac)                 \
  X(scene, Scene)                         \
  X(platformVersion, PlatformVersion)     \
  X(appAuthToken, AppAuthToken)           \
  X(appId, AppId)                         \
  X(signType, SignType)                   \
  X(sdkVersion, SdkVersion)               \
  X(model, Model)                         \
  X(useH5Gk, UseH5Gk)                     \
  X(platformName, PlatformName)           \
  X(brand, Brand)                         \
  X(pelixId, PelixId)                     \
  X(longitude, Longitude)                 \
  X(useZoPwdEncrypt, UseZoPwdEncrypt)

class HXCORE_API IotZoRiskControlInfo {
 public:
  /// Every property empty.
  IotZoRiskControlInfo();
  /// A deep copy of every property.
  IotZoRiskControlInfo(const IotZoRiskControlInfo& other);
  /// Copies every property; assigning a record to itself changes nothing.
  IotZoRiskControlInfo& operator=(const IotZoRiskControlInfo& other);
  virtual ~IotZoRiskControlInfo();

#define HXCORE_RISK_CONTROL_ACCESSORS(member, Name)                  \
  const std::string& get##Name() const { return member##_; }        \
  void set##Name(const std::string& value) { member##_ = value; }
  ///@{
  /// A getter and a setter per property. Each getter returns a reference that
  /// stays valid until the property is set again or the record is destroyed;
  /// each setter copies its argument (setting a property from its own getter
  /// leaves it unchanged).
  HXCORE_RISK_CONTROL_PROPERTIES(HXCORE_RISK_CONTROL_ACCESSORS)
  ///@}
#undef HXCORE_RISK_CONTROL_ACCESSORS

  /// Adds "appAuthToken", "appID", "appKey", "appVersion", "deviceId",
  /// "netType", "platformName", "sdkVersion", "securityToken" (the fepoToken)
  /// and "qamId", in that order. Twice on one object adds every key twice.
  void buildContext(cJSON* object) const;

  /// Adds the twenty-four risk-control members (all but appKey), from
  /// "altitude" to "longitude", with "USE_ZO_PWD_ENCRYPT", "cellID", "appID"
  /// and "USE_H5_GK" spelled so.
  void buildRiskControl(cJSON* object) const;

 private:
#define HXCORE_RISK_CONTROL_MEMBER(member, Name) std::string member##_;
  HXCORE_RISK_CONTROL_PROPERTIES(HXCORE_RISK_CONTROL_MEMBER)
#undef HXCORE_RISK_CONTROL_MEMBER
};

#undef HXCORE_RISK_CONTROL_PROPERTIES
