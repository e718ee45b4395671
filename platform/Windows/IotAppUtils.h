// SPDX-License-Identifier: Apache-2.0
// IotAppUtils.h - the process's host probes: system version name, network type,
// executable name, the user's language and region, and the time locale.
//
// One object per process, made by `instance()` on first use and never
// destroyed. The version name and the executable name are worked out once and
// kept; language and region are asked afresh on each call. The OS questions go
// through detail::HostProbes (Windows calls on Windows, the environment and
// /proc elsewhere, where the version name is "Unknown"). No lock: the cached
// names are filled on first use without one, so callers serialise that use.
// A failed locale query logs one error record and answers "zh" / "CN".
// Example:
//   IotAppUtils& probes = *IotAppUtils::instance();
//   std::string os = probes.getOsVersionName();   // "Win8/+" on Windows 10
#pragma once

#include <string>

#include "detail/host_probes.h"

class IotAppUtils {
 public:
  // The process-wide object; never null, never destroyed.
  static IotAppUtils* instance();

  // An object of its own over the given probes (tests give stand-ins).
  explicit IotAppUtils(const hxcore::detail::HostProbes& probes = hxcore::detail::os_host_probes());

  // The first name of the version table whose test holds, from "Win8/+"
  // (at least 6.2) down to "Xp", then "WinServer", else "Unknown".
  std::string getOsVersionName();
  // "WIFI", whatever the connection.
  std::string getNetworkType();
  // Stored only; nothing reads it.
  void setHostString(std::string value);
  // "client.exe"; "" (and asked again next time) when the system cannot tell.
  std::string getExecutableName();
  // The first two characters of the locale name ("en" of "en-US"); "zh" and
  // one error record when the query fails.
  std::string getLanguageCode();
  // The two characters at index 3 ("US" of "en-US", "Ha" of "zh-Hans-CN");
  // "CN" and one error record when the query fails; "CN" without a record when
  // the name is shorter than three characters (a language alone).
  std::string getLocale();
  // setlocale(LC_TIME, value); the result is not examined.
  void setTimeLocale(std::string value);

 private:
  std::string osVersionName;
  std::string hostString;
  std::string executableName;
  hxcore::detail::HostProbes probes;
};
