// SPDX-License-Identifier: Apache-2.0
// Host probes on Windows: version tests, the user's locale name, and the
// executable's file name.
#include "detail/host_probes.h"

#include <shlwapi.h>
#include <windows.h>

#include <stdexcept>

namespace hxcore::detail {

namespace {

constexpr int kLocaleNameCapacity = 85;  // LOCALE_NAME_MAX_LENGTH
constexpr DWORD kPathCapacity = 260;     // MAX_PATH

bool versionAtLeast(unsigned major, unsigned minor, unsigned servicePack) {
  OSVERSIONINFOEXW info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  info.dwMajorVersion = major;
  info.dwMinorVersion = minor;
  info.wServicePackMajor = static_cast<WORD>(servicePack);
  DWORDLONG mask = 0;
  mask = VerSetConditionMask(mask, VER_MAJORVERSION, VER_GREATER_EQUAL);
  mask = VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
  mask = VerSetConditionMask(mask, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
  return VerifyVersionInfoW(&info, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR,
                            mask) != FALSE;
}

bool isServerProduct() {
  OSVERSIONINFOEXW info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  info.wProductType = VER_NT_WORKSTATION;
  const DWORDLONG mask = VerSetConditionMask(0, VER_PRODUCT_TYPE, VER_EQUAL);
  return VerifyVersionInfoW(&info, VER_PRODUCT_TYPE, mask) == FALSE;
}

int userLocaleName(std::string& name) {
  wchar_t wide[kLocaleNameCapacity] = {};
  const int result = GetUserDefaultLocaleName(wide, kLocaleNameCapacity);
  if (result < 1) return result;
  const int bytes =
      WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide, -1, nullptr, 0, nullptr, nullptr);
  if (bytes < 1) throw std::range_error("bad conversion");
  std::string converted(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide, -1, &converted[0], bytes, nullptr,
                      nullptr);
  converted.resize(static_cast<size_t>(bytes) - 1);  // the terminator
  name = converted;
  return result;
}

std::string executableFileName() {
  char path[kPathCapacity] = {};
  GetModuleFileNameA(nullptr, path, kPathCapacity);
  return PathFindFileNameA(path);
}

}  // namespace

HostProbes os_host_probes() {
  return {versionAtLeast, isServerProduct, userLocaleName, executableFileName};
}

}  // namespace hxcore::detail
