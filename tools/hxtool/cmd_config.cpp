// SPDX-License-Identifier: Apache-2.0
// hxtool config get KEY | config set KEY VALUE | config path: the settings file.
#include <hxcore/HXLog.h>
#include <hxcore/IIotPlatformImpl.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

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
    "write that does not reach the file is refused (exit 1) and the file keeps\n"
    "what it held: a full disk, a read-only file, a symbolic link planted in its\n"
    "place, or its lock (.iot_smart_config.ini.lock) held for more than 2 s.\n"
    "`path` prints the settings file's absolute path as the library resolves it.\n";

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
    if (!getSharedPlatformImpl()->setConfigValue(argv[2], argv[3]))
      return refusal("config", take_library_error());
    return 0;
  }
  return usage_error("config", "expected get KEY, set KEY VALUE or path", kUsage);
}

}  // namespace hxtool
