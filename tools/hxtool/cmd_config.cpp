// SPDX-License-Identifier: Apache-2.0
// hxtool config get KEY | config set KEY VALUE: the settings file.
#include <hxcore/IIotPlatformImpl.h>

#include <cerrno>
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
    "settings file that cannot be written is refused (exit 1).\n";

constexpr char kSettingsFile[] = ".iot_smart_config.ini";
constexpr char kProbeFile[] = ".iot_smart_config.ini.hxtool-probe";

// The library reports every write as done. Its settings object replaces the
// file with a new one written beside it, and only when the old file is
// writable: "" when both are possible, else the system's reason.
std::string settings_write_problem() {
  if (FILE* settings = std::fopen(kSettingsFile, "r+b")) {
    std::fclose(settings);
  } else if (errno != ENOENT) {
    return std::strerror(errno);
  }
  FILE* probe = std::fopen(kProbeFile, "wb");
  if (probe == nullptr) return std::strerror(errno);
  std::fclose(probe);
  std::remove(kProbeFile);
  return "";
}

}  // namespace

int run_config(int argc, char** argv) {
  if (wants_help(argc, argv, kHelp)) return 0;
  if (argc == 3 && std::strcmp(argv[1], "get") == 0) {
    std::printf("%s\n", getSharedPlatformImpl()->getConfigValue(argv[2]).c_str());
    return 0;
  }
  if (argc == 4 && std::strcmp(argv[1], "set") == 0) {
    const std::string problem = settings_write_problem();
    if (!problem.empty()) {
      return refusal("config", std::string("cannot write the settings file ") + kSettingsFile +
                                   ": " + problem);
    }
    getSharedPlatformImpl()->setConfigValue(argv[2], argv[3]);
    return 0;
  }
  return usage_error("config", "expected get KEY or set KEY VALUE", kUsage);
}

}  // namespace hxtool
