// The host probes' Windows calls: VerifyVersionInfoW, GetUserDefaultLocaleName
// and GetModuleFileNameA, checked against what the system reports by other
// means.
#include "detail/host_probes.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <tuple>

namespace {

using hxcore::detail::HostProbes;
using hxcore::detail::osHostProbes;

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

using Version = std::tuple<unsigned, unsigned, unsigned>;  // major, minor, service pack

// What version tests may see: a program without a manifest is told 6.2 on
// Windows 8 and later.
Version visible_version() {
  const OSVERSIONINFOEXW v = kernel_version();
  const Version kernel{v.dwMajorVersion, v.dwMinorVersion, v.wServicePackMajor};
  return std::min(kernel, Version{6, 2, 0});
}

TEST(WindowsHostProbes, VersionTestsCompareMajorMinorAndServicePackInOrder) {
  const Version visible = visible_version();
  ASSERT_GE(std::get<0>(visible), 5u);
  const HostProbes probes = osHostProbes();
  // Every row of the version table, and the neighbours of the running version.
  const auto [major, minor, sp] = visible;
  const Version asked[] = {{6, 2, 0},         {6, 1, 1},         {6, 1, 0},     {6, 0, 2},     {6, 0, 1},
                           {6, 0, 0},         {5, 1, 3},         {5, 1, 2},     {5, 1, 1},     {5, 1, 0},
                           {major, minor, sp}, {major, minor, sp + 1}, {major, minor + 1, 0}, {major + 1, 0, 0}};
  for (const Version& v : asked) {
    EXPECT_EQ(probes.versionAtLeast(std::get<0>(v), std::get<1>(v), std::get<2>(v)), v <= visible)
        << std::get<0>(v) << "." << std::get<1>(v) << " SP" << std::get<2>(v);
  }
}

TEST(WindowsHostProbes, ServerProductIsNotAWorkstation) {
  EXPECT_EQ(osHostProbes().isServerProduct(), kernel_version().wProductType != VER_NT_WORKSTATION);
}

TEST(WindowsHostProbes, LocaleNameIsTheUsersDefaultInUtf8) {
  wchar_t wide[LOCALE_NAME_MAX_LENGTH];
  const int expected = GetUserDefaultLocaleName(wide, LOCALE_NAME_MAX_LENGTH);
  ASSERT_GT(expected, 0);
  std::string name;
  EXPECT_EQ(osHostProbes().userLocaleName(name), expected);
  // Locale names are ASCII: each wide character is one byte of UTF-8.
  EXPECT_EQ(name, std::string(wide, wide + expected - 1));
}

TEST(WindowsHostProbes, ExecutableFileNameIsThisProgramsName) {
  EXPECT_EQ(osHostProbes().executableFileName(), "hxcore_windows_test.exe");
}

}  // namespace
