#include "IotAppUtils.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <tuple>
#include <vector>

#include "platform_test_support.h"

namespace {

// Stand-in answers, reset per test.
struct Host {
  unsigned major = 0, minor = 0, servicePack = 0;
  bool server = false;
  int localeResult = 0;
  std::string localeName, executable;
  int versionQuestions = 0, executableQuestions = 0;
} host;

bool versionAtLeast(unsigned major, unsigned minor, unsigned servicePack) {
  ++host.versionQuestions;
  return std::tie(host.major, host.minor, host.servicePack) >= std::tie(major, minor, servicePack);
}

int userLocaleName(std::string& name) {
  name = host.localeName;
  return host.localeResult;
}

std::string executableFileName() {
  ++host.executableQuestions;
  return host.executable;
}

const hxcore::detail::HostProbes kStandIns{versionAtLeast, [] { return host.server; },
                                           userLocaleName, executableFileName};

class AppUtilsTest : public ::testing::Test {
 protected:
  void SetUp() override { host = Host(); }
  IotAppUtils probes{kStandIns};
};

TEST_F(AppUtilsTest, NamesTheVersionByTheFirstTestThatHolds) {
  const std::tuple<unsigned, unsigned, unsigned, bool, const char*> rows[] = {
      {10, 0, 0, false, "Win8/+"},  {6, 2, 0, false, "Win8/+"},   {6, 1, 1, false, "Win7.1"},
      {6, 1, 0, false, "Win7"},     {6, 0, 2, false, "VistaSp2"}, {6, 0, 1, false, "VistaSp1"},
      {6, 0, 0, false, "Vista"},    {5, 1, 3, false, "XpSp3"},    {5, 1, 2, false, "XpSp2"},
      {5, 1, 1, false, "XpSp1"},    {5, 1, 0, false, "Xp"},       {6, 1, 0, true, "Win7"},
      {5, 0, 4, true, "WinServer"}, {5, 0, 4, false, "Unknown"}};
  for (const auto& [major, minor, servicePack, server, name] : rows) {
    std::tie(host.major, host.minor, host.servicePack, host.server) =
        std::tie(major, minor, servicePack, server);
    EXPECT_EQ(IotAppUtils(kStandIns).getOsVersionName(), name) << major << '.' << minor;
  }
}

TEST_F(AppUtilsTest, CachesTheVersionAlwaysAndTheExecutableNameOnceKnown) {
  EXPECT_EQ(probes.getOsVersionName(), "Unknown");
  const int asked = host.versionQuestions;
  host.major = 10;
  EXPECT_EQ(probes.getOsVersionName(), "Unknown");
  EXPECT_EQ(host.versionQuestions, asked);
  EXPECT_EQ(probes.getExecutableName(), "");  // unknown: asked again next time
  host.executable = "client.exe";
  EXPECT_EQ(probes.getExecutableName(), "client.exe");
  host.executable = "other.exe";
  EXPECT_EQ(probes.getExecutableName(), "client.exe");
  EXPECT_EQ(host.executableQuestions, 2);
}

TEST_F(AppUtilsTest, SplitsTheLocaleNameIntoLanguageAndRegionAtIndex3) {
  const char* const rows[][3] = {
      {"en-US", "en", "US"}, {"zh-CN", "zh", "CN"},  {"zh-Hans-CN", "zh", "Ha"}, {"de", "de", "CN"},
      {"x", "x", "CN"},      {"haw-US", "ha", "-U"}, {"fr-", "fr", ""}};
  hxtest::LogCapture log;
  for (const auto& [name, language, region] : rows) {
    host.localeName = name;
    host.localeResult = static_cast<int>(host.localeName.size()) + 1;
    EXPECT_EQ(probes.getLanguageCode(), language) << name;
    EXPECT_EQ(probes.getLocale(), region) << name;
  }
  EXPECT_EQ(log.count(4, ""), 0u);
}

TEST_F(AppUtilsTest, FailedLocaleQueryAnswersChineseAndLogsEachTime) {
  hxtest::LogCapture log;
  EXPECT_EQ(probes.getLanguageCode(), "zh");
  EXPECT_EQ(probes.getLocale(), "CN");
  host.localeResult = -5;
  EXPECT_EQ(probes.getLocale(), "CN");
  EXPECT_EQ(hxtest::errors(log),
            (std::vector<std::string>{
                "(IotAppUtils::getLanguageCode): GetUserDefaultLocaleName failed: 0",
                "(IotAppUtils::getLocale): GetUserDefaultLocaleName failed: 0",
                "(IotAppUtils::getLocale): GetUserDefaultLocaleName failed: -5"}));
  EXPECT_EQ(log.count(4, "\t[IotAppUtils.cpp:"), 3u);
}

TEST_F(AppUtilsTest, NetworkIsAlwaysWifiAndTheHostStringChangesNothing) {
  host.executable = "a.exe";
  probes.setHostString("example.org");
  EXPECT_EQ(probes.getNetworkType(), "WIFI");
  EXPECT_EQ(probes.getExecutableName(), "a.exe");
}

TEST(AppUtilsInstance, IsOneObjectThatSetsOnlyTheTimeLocale) {
  IotAppUtils* utils = IotAppUtils::instance();
  ASSERT_NE(utils, nullptr);
  EXPECT_EQ(IotAppUtils::instance(), utils);
  const std::string before = std::setlocale(LC_CTYPE, nullptr);
  utils->setTimeLocale("C");
  EXPECT_STREQ(std::setlocale(LC_TIME, nullptr), "C");
  utils->setTimeLocale("no_SUCH.locale");  // refused: unchanged
  EXPECT_STREQ(std::setlocale(LC_TIME, nullptr), "C");
  EXPECT_EQ(std::setlocale(LC_CTYPE, nullptr), before);
}

}  // namespace
