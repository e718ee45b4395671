// SPDX-License-Identifier: Apache-2.0
// hxtool config get KEY | config set KEY VALUE | config path: the settings file.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#include "HXLog.h"
#include "IIotPlatformImpl.h"
#include "commands.h"

namespace hxtool {

namespace {

constexpr char kUsage[] =
    "hxtool config get KEY | hxtool config set KEY VALUE | hxtool config path";
constexpr char kHelp[] =
    "usage: hxtool config get KEY\n"
    "       hxtool config set KEY VALUE\n"
    "       hxtool config path\n"
    "Reads or writes one top-level key of .iot_smart_config.ini in the\n"
    "application's directory (hxtool has no Qt application object, so that is\n"
    "the current directory). A key never written reads as an empty line. A\n"
    "settings file that cannot be written is refused (exit 1). `path` prints\n"
    "the settings file's absolute path as the library resolves it.\n";

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

// The library names the settings file in the debug record it writes when it
// creates the platform object: "ini path=PATH W", W being 1 when writable.
std::string settings_path;

void keep_settings_path(int /*level*/, const char* text, uint64_t length, void* /*user*/) {
  constexpr std::string_view kMarker = "(IotPlatformImpl::IotPlatformImpl): ini path=";
  const std::string_view record(text, static_cast<size_t>(length));
  const size_t start = record.find(kMarker);
  const size_t end = record.rfind(' ');
  if (start == std::string_view::npos || end < start + kMarker.size()) return;
  settings_path = record.substr(start + kMarker.size(), end - start - kMarker.size());
}

int print_settings_path() {
  const int level = GetHXLogLevel();
  SetHXLogLevel(1);
  SetHXLogCallback(keep_settings_path, nullptr);
  getSharedPlatformImpl();
  SetHXLogLevel(level);
  if (settings_path.empty()) return refusal("config", "the library did not name its settings file");
  std::printf("%s\n", std::filesystem::absolute(settings_path).lexically_normal().string().c_str());
  return 0;
}

}  // namespace

int run_config(int argc, char** argv) {
  if (wants_help(argc, argv, kHelp)) return 0;
  if (argc == 3 && std::strcmp(argv[1], "get") == 0) {
    std::printf("%s\n", getSharedPlatformImpl()->getConfigValue(argv[2]).c_str());
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "path") == 0) return print_settings_path();
  if (argc == 4 && std::strcmp(argv[1], "set") == 0) {
    const std::string problem = settings_write_problem();
    if (!problem.empty()) {
      return refusal("config", std::string("cannot write the settings file ") + kSettingsFile +
                                   ": " + problem);
    }
    getSharedPlatformImpl()->setConfigValue(argv[2], argv[3]);
    return 0;
  }
  return usage_error("config", "expected get KEY, set KEY VALUE or path", kUsage);
}

}  // namespace hxtool
