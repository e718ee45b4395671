// The host probes on Windows: the version table through VerifyVersionInfoW,
// the executable's name through GetModuleFileNameA, and the language and
// region through GetUserDefaultLocaleName, checked against what the system
// reports by other means.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "IotAppUtils.h"

namespace {

IotAppUtils& probes() { return IotAppUtils::instance(); }

// The running version as the kernel reports it, which no compatibility
// setting of the program changes.
OSVERSIONINFOEXW kernel_version() {
  OSVERSIONINFOEXW version{};
  version.dwOSVersionInfoSize = sizeof version;
  using RtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOEXW*);
  const auto get = reinterpret_cast<RtlGetVersion>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetVersion")));
  if (get != nullptr) get(&version);
  return version;
}

// Windows 8 and later programs without a manifest are told 6.2, which still
// reads "Win8/+"; below that the kernel's answer and the table agree.
std::string expected_name(const OSVERSIONINFOEXW& v) {
  const unsigned version = v.dwMajorVersion * 100 + v.dwMinorVersion;
  const unsigned sp = v.wServicePackMajor;
  if (version >= 602) return "Win8/+";
  if (version == 601) return sp >= 1 ? "Win7.1" : "Win7";
  if (version == 600) return sp >= 2 ? "VistaSp2" : sp == 1 ? "VistaSp1" : "Vista";
  if (version >= 501) return sp >= 3 ? "XpSp3" : sp == 2 ? "XpSp2" : sp == 1 ? "XpSp1" : "Xp";
  return v.wProductType != VER_NT_WORKSTATION ? "WinServer" : "Unknown";
}

TEST(WindowsHostProbes, OsVersionNameIsTheRunningVersionsRowOfTheTable) {
  const OSVERSIONINFOEXW version = kernel_version();
  ASSERT_NE(version.dwMajorVersion, 0u);
  EXPECT_EQ(probes().getOsVersionName(), expected_name(version))
      << version.dwMajorVersion << "." << version.dwMinorVersion << " SP" << version.wServicePackMajor;
  EXPECT_EQ(probes().getOsVersionName(), probes().getOsVersionName());
}

TEST(WindowsHostProbes, ExecutableNameIsThisProgramsFileName) {
  EXPECT_EQ(probes().getExecutableName(), "hxcore_windows_test.exe");
}

TEST(WindowsHostProbes, LanguageAndRegionAreTheUserLocalesParts) {
  wchar_t wide[LOCALE_NAME_MAX_LENGTH];
  ASSERT_GT(GetUserDefaultLocaleName(wide, LOCALE_NAME_MAX_LENGTH), 0);
  // Language, hyphen, region: "en-US" and the like, in ASCII.
  const std::wstring name(wide);
  ASSERT_GE(name.size(), 5u);
  const std::string language(name.begin(), name.begin() + 2);
  const std::string region(name.begin() + 3, name.begin() + 5);
  EXPECT_EQ(probes().getLanguageCode(), language);
  EXPECT_EQ(probes().getLocale(), region);
}

}  // namespace
