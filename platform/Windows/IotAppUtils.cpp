// SPDX-License-Identifier: Apache-2.0
// The host probes behind the platform object.
#include "IotAppUtils.h"

#include <clocale>

#include "detail/log.h"

namespace {

struct VersionTest {
  unsigned major;
  unsigned minor;
  unsigned servicePack;
  const char* name;
};

constexpr VersionTest kVersionTable[] = {
    {6, 2, 0, "Win8/+"},   {6, 1, 1, "Win7.1"}, {6, 1, 0, "Win7"},  {6, 0, 2, "VistaSp2"},
    {6, 0, 1, "VistaSp1"}, {6, 0, 0, "Vista"},  {5, 1, 3, "XpSp3"}, {5, 1, 2, "XpSp2"},
    {5, 1, 1, "XpSp1"},    {5, 1, 0, "Xp"},
};

constexpr char kLocaleFailed[] = "GetUserDefaultLocaleName failed: %d";
constexpr char kFallbackLanguage[] = "zh";
constexpr char kFallbackRegion[] = "CN";

}  // namespace

IotAppUtils* IotAppUtils::instance() {
  static IotAppUtils* const object = new IotAppUtils();
  return object;
}

IotAppUtils::IotAppUtils(const hxcore::detail::HostProbes& probes) : probes(probes) {}

std::string IotAppUtils::getOsVersionName() {
  if (osVersionName.empty()) {
    const char* name = probes.isServerProduct() ? "WinServer" : "Unknown";
    for (const VersionTest& test : kVersionTable) {
      if (probes.versionAtLeast(test.major, test.minor, test.servicePack)) {
        name = test.name;
        break;
      }
    }
    osVersionName = name;
  }
  return osVersionName;
}

std::string IotAppUtils::getNetworkType() { return "WIFI"; }

void IotAppUtils::setHostString(std::string value) { hostString = std::move(value); }

std::string IotAppUtils::getExecutableName() {
  if (executableName.empty()) executableName = probes.executableFileName();
  return executableName;
}

std::string IotAppUtils::getLanguageCode() {
  std::string name;
  const int result = probes.userLocaleName(name);
  if (result < 1)
    return HX_FAIL(std::string(kFallbackLanguage), "IotAppUtils::getLanguageCode", kLocaleFailed,
                   result);
  return name.substr(0, 2);
}

std::string IotAppUtils::getLocale() {
  std::string name;
  const int result = probes.userLocaleName(name);
  if (result < 1)
    return HX_FAIL(std::string(kFallbackRegion), "IotAppUtils::getLocale", kLocaleFailed, result);
  // A name without a region ("de") has no index 3: the region is unknown and
  // takes the same answer as a failed query, without an error.
  if (name.size() < 3) return kFallbackRegion;
  return name.substr(3, 2);
}

void IotAppUtils::setTimeLocale(std::string value) { std::setlocale(LC_TIME, value.c_str()); }
