// SPDX-License-Identifier: Apache-2.0
// Host probes on POSIX: no Windows version test holds, the locale comes from
// the environment the way setlocale would read LC_MESSAGES, and the executable
// is what /proc/self/exe names.
#include "detail/host_probes.h"

#include <limits.h>
#include <unistd.h>

#include <cstdlib>

#include "detail/ascii.h"

namespace hxcore::detail {

namespace {

bool versionAtLeast(unsigned /*major*/, unsigned /*minor*/, unsigned /*servicePack*/) {
  return false;
}

bool isServerProduct() { return false; }

// The first of LC_ALL, LC_MESSAGES and LANG that is set and not empty.
const char* localeVariable() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return value;
  }
  return nullptr;
}

// "en_US.UTF-8" or "sr_RS@latin" gives "en-US" and "sr-RS", "de" gives "de";
// "C", "POSIX" and anything not shaped language[_region] give no name.
int userLocaleName(std::string& name) {
  const char* value = localeVariable();
  if (value == nullptr) return 0;
  std::string locale(value);
  locale = locale.substr(0, locale.find_first_of(".@"));
  const size_t separator = locale.find('_');
  const std::string language = locale.substr(0, separator);
  const std::string region =
      separator == std::string::npos ? std::string() : locale.substr(separator + 1);
  const bool languageOk = language.size() >= 2 && language.size() <= 3 &&
                          ascii_isalpha(language[0]) && ascii_isalpha(language[1]) &&
                          (language.size() == 2 || ascii_isalpha(language[2]));
  bool regionOk = separator == std::string::npos || !region.empty();
  for (const char c : region) regionOk = regionOk && (ascii_isalpha(c) || ascii_isdigit(c));
  if (!languageOk || !regionOk) return 0;
  name = region.empty() ? language : language + "-" + region;
  return static_cast<int>(name.size()) + 1;
}

std::string executableFileName() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof(path));
  if (length <= 0 || static_cast<size_t>(length) >= sizeof(path)) return std::string();
  const std::string full(path, static_cast<size_t>(length));
  return full.substr(full.rfind('/') + 1);
}

}  // namespace

HostProbes os_host_probes() {
  return {versionAtLeast, isServerProduct, userLocaleName, executableFileName};
}

}  // namespace hxcore::detail
