// SPDX-License-Identifier: Apache-2.0
// hxtool host: prints every answer of the host probes.
#include <hxcore/IIotPlatformImpl.h>

#include <cstdio>

#include "commands.h"

namespace hxtool {

namespace {

constexpr char kHelp[] =
    "usage: hxtool host\n"
    "Prints what the platform object reports about this host: system version name,\n"
    "network type, executable name, language code and region.\n";

}  // namespace

int run_host(int argc, char** argv) {
  if (wants_help(argc, argv, kHelp)) return 0;
  if (argc != 1) return usage_error("host", "takes no arguments", "hxtool host");
  IIotPlatformImpl* platform = getSharedPlatformImpl();
  std::printf("os version name: %s\n", platform->getOsVersionName().c_str());
  std::printf("network type:    %s\n", platform->getNetworkType().c_str());
  std::printf("executable name: %s\n", platform->getExecutableName().c_str());
  std::printf("language code:   %s\n", platform->getLanguageCode().c_str());
  std::printf("region:          %s\n", platform->getLocale().c_str());
  return 0;
}

}  // namespace hxtool
