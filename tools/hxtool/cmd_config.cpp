// SPDX-License-Identifier: Apache-2.0
// hxtool config get KEY | config set KEY VALUE: the settings file.
#include <hxcore/IIotPlatformImpl.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "commands.h"

namespace hxtool {

namespace {

constexpr char kUsage[] = "hxtool config get KEY | hxtool config set KEY VALUE";
constexpr char kHelp[] =
    "usage: hxtool config get KEY\n"
    "       hxtool config set KEY VALUE\n"
    "Reads or writes one top-level key of .iot_smart_config.ini in the\n"
    "application's directory (hxtool has no Qt application object, so that is\n"
    "the current directory). A key never written reads as an empty line. A\n"
    "write that does not reach the file is refused (exit 1) and the file keeps\n"
    "what it held: a full disk, a read-only file, a symbolic link planted in its\n"
    "place, or its lock (.iot_smart_config.ini.lock) held for more than 2 s.\n";

}  // namespace

int run_config(int argc, char** argv) {
  if (wants_help(argc, argv, kHelp)) return 0;
  if (argc == 3 && std::strcmp(argv[1], "get") == 0) {
    std::printf("%s\n", getSharedPlatformImpl()->getConfigValue(argv[2]).c_str());
    return 0;
  }
  if (argc == 4 && std::strcmp(argv[1], "set") == 0) {
    if (!getSharedPlatformImpl()->setConfigValue(argv[2], argv[3]))
      return refusal("config", take_library_error());
    return 0;
  }
  return usage_error("config", "expected get KEY or set KEY VALUE", kUsage);
}

}  // namespace hxtool
