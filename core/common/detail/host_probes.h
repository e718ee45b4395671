// SPDX-License-Identifier: Apache-2.0
// detail/host_probes.h - the operating-system questions behind IotAppUtils.
//
// Implemented once per system: platform/Windows/host_probes.cpp asks Windows
// (VerifyVersionInfoW, GetUserDefaultLocaleName, GetModuleFileNameA,
// PathFindFileNameA); platform/Posix/host_probes.cpp answers from the running
// process and the user's environment, where no Windows version test holds.
// `HostProbes` bundles them so the probe object can be given stand-ins in
// tests. Thread-safe (they read process state only). Example:
//   std::string name;
//   if (os_host_probes().userLocaleName(name) >= 1) { /* name is "en-US" */ }
#pragma once

#include <string>

namespace hxcore::detail {

struct HostProbes {
  // True when the system's version is at least major.minor with a service-pack
  // major of at least `servicePack`.
  bool (*versionAtLeast)(unsigned major, unsigned minor, unsigned servicePack);
  // True when the system is not a workstation product.
  bool (*isServerProduct)();
  // Puts the user's default locale as language-hyphen-region in UTF-8 into
  // `name` and returns the query's own result: the name's length plus one, or
  // a value below 1 when there is no usable locale. A name that cannot be
  // converted to UTF-8 throws std::range_error("bad conversion").
  int (*userLocaleName)(std::string& name);
  // The file-name part of the running executable's path; "" when unknown.
  std::string (*executableFileName)();
};

// The probes of the system the library was built for.
HostProbes os_host_probes();

}  // namespace hxcore::detail
