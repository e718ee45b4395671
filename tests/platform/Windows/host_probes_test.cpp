// SPDX-License-Identifier: Apache-2.0
// The host probes' Windows calls: VerifyVersionInfoW, GetUserDefaultLocaleName
// and GetModuleFileNameA, checked against what the system reports by other means.
#include "detail/host_probes.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

namespace {

using hxcore::detail::os_host_probes;
using Version = std::tuple<unsigned, unsigned, unsigned>;  // major, minor, service pack

TEST(WindowsHostProbes, VersionTestsCompareMajorMinorAndServicePackInOrder) {
  // The running version as the kernel reports it, which no compatibility setting changes.
  OSVERSIONINFOEXW kernel{};
  kernel.dwOSVersionInfoSize = sizeof kernel;
  const auto get = reinterpret_cast<LONG(WINAPI*)(OSVERSIONINFOEXW*)>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetVersion")));
  ASSERT_NE(get, nullptr);
  get(&kernel);
  ASSERT_GE(kernel.dwMajorVersion, 5u);
  // A program without a manifest is told 6.2 on Windows 8 and later.
  const Version visible =
      std::min(Version{kernel.dwMajorVersion, kernel.dwMinorVersion, kernel.wServicePackMajor},
               Version{6, 2, 0});
  // Every row of the version table, and the neighbours of the running version.
  std::vector<Version> asked = {{6, 2, 0}, {6, 1, 1}, {6, 1, 0}, {6, 0, 2}, {6, 0, 1},
                                {6, 0, 0}, {5, 1, 3}, {5, 1, 2}, {5, 1, 1}, {5, 1, 0}};
  const auto [major, minor, sp] = visible;
  asked.insert(asked.end(),
               {visible, {major, minor, sp + 1}, {major, minor + 1, 0}, {major + 1, 0, 0}});
  for (const Version& v : asked)
    EXPECT_EQ(std::apply(os_host_probes().versionAtLeast, v), v <= visible)
        << testing::PrintToString(v);
  EXPECT_EQ(os_host_probes().isServerProduct(), kernel.wProductType != VER_NT_WORKSTATION);
}

TEST(WindowsHostProbes, LocaleAndExecutableNameAreTheSystemsAnswers) {
  wchar_t wide[LOCALE_NAME_MAX_LENGTH];
  const int expected = GetUserDefaultLocaleName(wide, LOCALE_NAME_MAX_LENGTH);
  ASSERT_GT(expected, 0);
  std::string name;
  EXPECT_EQ(os_host_probes().userLocaleName(name), expected);
  EXPECT_EQ(name, std::string(wide, wide + expected - 1));  // ASCII: one UTF-8 byte per character
  EXPECT_EQ(os_host_probes().executableFileName(), "hxcore_windows_test.exe");
}

}  // namespace
