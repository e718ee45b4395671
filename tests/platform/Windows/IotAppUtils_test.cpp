// SPDX-License-Identifier: Apache-2.0
#include "IotAppUtils.h"

#include <gtest/gtest.h>

#include <tuple>

#include "log_capture.h"

namespace {

// Stand-in answers, reset per test.
struct Host {
  std::tuple<unsigned, unsigned, unsigned> version;  // major, minor, service pack
  bool server = false;
  int localeResult = 0;
  std::string localeName, executable;
} host;

const hxcore::detail::HostProbes kStandIns{
    [](unsigned major, unsigned minor, unsigned sp) {
      return host.version >= std::tie(major, minor, sp);
    },
    [] { return host.server; },
    [](std::string& name) { return name = host.localeName, host.localeResult; },
    [] { return host.executable; }};

class AppUtilsTest : public ::testing::Test {
 protected:
  void SetUp() override { host = Host(); }
  IotAppUtils probes{kStandIns};
};

TEST_F(AppUtilsTest, NamesTheVersionByTheFirstTestThatHoldsAndKeepsItAndTheExecutableName) {
  const std::tuple<unsigned, unsigned, unsigned, bool, const char*> rows[] = {
      {10, 0, 0, false, "Win8/+"},  {6, 2, 0, false, "Win8/+"},   {6, 1, 1, false, "Win7.1"},
      {6, 1, 0, false, "Win7"},     {6, 0, 2, false, "VistaSp2"}, {6, 0, 1, false, "VistaSp1"},
      {6, 0, 0, false, "Vista"},    {5, 1, 3, false, "XpSp3"},    {5, 1, 2, false, "XpSp2"},
      {5, 1, 1, false, "XpSp1"},    {5, 1, 0, false, "Xp"},       {6, 1, 0, true, "Win7"},
      {5, 0, 4, true, "WinServer"}, {5, 0, 4, false, "Unknown"}};
  for (const auto& [major, minor, servicePack, server, name] : rows) {
    host.version = {major, minor, servicePack};
    host.server = server;
    IotAppUtils fresh(kStandIns);
    EXPECT_EQ(fresh.getOsVersionName(), name) << major << '.' << minor;
    host.version = {10, 0, 0};  // asked once, even when unknown
    EXPECT_EQ(fresh.getOsVersionName(), name);
  }
  EXPECT_EQ(probes.getExecutableName(), "");  // unknown: asked again next time
  host.executable = "client.exe";
  EXPECT_EQ(probes.getExecutableName(), "client.exe");
  host.executable = "other.exe";
  EXPECT_EQ(probes.getExecutableName(), "client.exe");
}

TEST_F(AppUtilsTest, SplitsTheLocaleNameAtIndex3OrAnswersChineseAndLogsEachFailure) {
  const std::tuple<const char*, int, const char*, const char*> rows[] = {
      {"en-US", 6, "en", "US"},  {"zh-Hans-CN", 11, "zh", "Ha"},
      {"de", 3, "de", "CN"},     {"x", 2, "x", "CN"},
      {"haw-US", 7, "ha", "-U"}, {"fr-", 4, "fr", ""},
      {"en-US", 0, "zh", "CN"},  {"", -5, "zh", "CN"}};
  hxtest::LogCapture log;
  for (const auto& [name, result, language, region] : rows) {
    host.localeName = name;
    host.localeResult = result;
    EXPECT_EQ(probes.getLanguageCode(), language) << name << result;
    EXPECT_EQ(probes.getLocale(), region) << name << result;
  }
  const std::string failed = "): GetUserDefaultLocaleName failed: ";
  EXPECT_EQ(hxtest::errors(log),
            (std::vector<std::string>{"(IotAppUtils::getLanguageCode" + failed + "0",
                                      "(IotAppUtils::getLocale" + failed + "0",
                                      "(IotAppUtils::getLanguageCode" + failed + "-5",
                                      "(IotAppUtils::getLocale" + failed + "-5"}));
  EXPECT_EQ(log.count(4, "\t[IotAppUtils.cpp:"), 4u);
}

}  // namespace
