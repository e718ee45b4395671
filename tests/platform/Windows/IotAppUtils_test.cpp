#include "IotAppUtils.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "log_capture.h"

namespace {

using hxcore::detail::HostProbes;
using hxtest::LogCapture;

// Stand-in answers, set per test.
struct Host {
  unsigned major = 0, minor = 0, servicePack = 0;
  bool server = false;
  int localeResult = 0;
  std::string localeName;
  std::string executable;
  int versionQuestions = 0;
  int executableQuestions = 0;
};
Host host;

HostProbes standIns() {
  return {[](unsigned major, unsigned minor, unsigned sp) {
            ++host.versionQuestions;
            if (host.major != major) return host.major > major;
            if (host.minor != minor) return host.minor > minor;
            return host.servicePack >= sp;
          },
          [] { return host.server; },
          [](std::string& name) {
            name = host.localeName;
            return host.localeResult;
          },
          [] {
            ++host.executableQuestions;
            return host.executable;
          }};
}

class AppUtilsTest : public ::testing::Test {
 protected:
  void SetUp() override { host = Host(); }
  std::string versionName(unsigned major, unsigned minor, unsigned sp, bool server = false) {
    host.major = major;
    host.minor = minor;
    host.servicePack = sp;
    host.server = server;
    return IotAppUtils(standIns()).getOsVersionName();
  }
};

TEST_F(AppUtilsTest, NamesTheVersionByTheFirstTestThatHolds) {
  EXPECT_EQ(versionName(10, 0, 0), "Win8/+");
  EXPECT_EQ(versionName(6, 2, 0), "Win8/+");
  EXPECT_EQ(versionName(6, 1, 1), "Win7.1");
  EXPECT_EQ(versionName(6, 1, 0), "Win7");
  EXPECT_EQ(versionName(6, 0, 2), "VistaSp2");
  EXPECT_EQ(versionName(6, 0, 1), "VistaSp1");
  EXPECT_EQ(versionName(6, 0, 0), "Vista");
  EXPECT_EQ(versionName(5, 1, 3), "XpSp3");
  EXPECT_EQ(versionName(5, 1, 2), "XpSp2");
  EXPECT_EQ(versionName(5, 1, 1), "XpSp1");
  EXPECT_EQ(versionName(5, 1, 0), "Xp");
  EXPECT_EQ(versionName(6, 1, 0, true), "Win7");  // a version test comes first
  EXPECT_EQ(versionName(5, 0, 4, true), "WinServer");
  EXPECT_EQ(versionName(5, 0, 4), "Unknown");
}

TEST_F(AppUtilsTest, AsksForTheVersionOnceEvenWhenUnknown) {
  IotAppUtils probes(standIns());
  EXPECT_EQ(probes.getOsVersionName(), "Unknown");
  const int asked = host.versionQuestions;
  host.major = 10;
  EXPECT_EQ(probes.getOsVersionName(), "Unknown");
  EXPECT_EQ(host.versionQuestions, asked);
}

TEST_F(AppUtilsTest, KeepsTheExecutableNameOnceKnown) {
  IotAppUtils probes(standIns());
  EXPECT_EQ(probes.getExecutableName(), "");  // unknown: asked again next time
  host.executable = "client.exe";
  EXPECT_EQ(probes.getExecutableName(), "client.exe");
  host.executable = "other.exe";
  EXPECT_EQ(probes.getExecutableName(), "client.exe");
  EXPECT_EQ(host.executableQuestions, 2);
}

TEST_F(AppUtilsTest, SplitsTheLocaleNameIntoLanguageAndRegion) {
  IotAppUtils probes(standIns());
  const struct {
    const char* name;
    const char* language;
    const char* region;
  } rows[] = {{"en-US", "en", "US"},      {"zh-CN", "zh", "CN"},
              {"zh-Hans-CN", "zh", "Ha"}, {"de", "de", "CN"},
              {"x", "x", "CN"},           {"haw-US", "ha", "-U"} /* always index 3 */,
              {"fr-", "fr", ""}};
  LogCapture log;
  for (const auto& row : rows) {
    host.localeName = row.name;
    host.localeResult = static_cast<int>(host.localeName.size()) + 1;
    EXPECT_EQ(probes.getLanguageCode(), row.language) << row.name;
    EXPECT_EQ(probes.getLocale(), row.region) << row.name;
  }
  EXPECT_EQ(log.count(4, ""), 0u);
}

TEST_F(AppUtilsTest, FailedLocaleQueryAnswersChineseAndLogsEachTime) {
  IotAppUtils probes(standIns());
  host.localeResult = 0;
  LogCapture log;
  EXPECT_EQ(probes.getLanguageCode(), "zh");
  EXPECT_EQ(probes.getLocale(), "CN");
  host.localeResult = -5;
  EXPECT_EQ(probes.getLocale(), "CN");
  const auto records = log.records();
  ASSERT_EQ(records.size(), 3u);
  EXPECT_NE(
      records[0].text.find("(IotAppUtils::getLanguageCode): GetUserDefaultLocaleName failed: 0"),
      std::string::npos);
  EXPECT_NE(records[1].text.find("(IotAppUtils::getLocale): GetUserDefaultLocaleName failed: 0"),
            std::string::npos);
  EXPECT_NE(records[2].text.find("(IotAppUtils::getLocale): GetUserDefaultLocaleName failed: -5"),
            std::string::npos);
  EXPECT_NE(records[0].text.find("\t[IotAppUtils.cpp:"), std::string::npos);
  EXPECT_EQ(records[0].level, 4);
}

TEST_F(AppUtilsTest, NetworkIsAlwaysWifiAndTheHostStringChangesNothing) {
  IotAppUtils probes(standIns());
  host.executable = "a.exe";
  probes.setHostString("example.org");
  EXPECT_EQ(probes.getNetworkType(), "WIFI");
  EXPECT_EQ(probes.getExecutableName(), "a.exe");
}

TEST(AppUtilsTimeLocale, SetsOnlyTheTimeCategory) {
  const std::string before = std::setlocale(LC_CTYPE, nullptr);
  IotAppUtils::instance()->setTimeLocale("C");
  EXPECT_STREQ(std::setlocale(LC_TIME, nullptr), "C");
  IotAppUtils::instance()->setTimeLocale("no_SUCH.locale");  // refused: unchanged
  EXPECT_STREQ(std::setlocale(LC_TIME, nullptr), "C");
  EXPECT_EQ(std::setlocale(LC_CTYPE, nullptr), before);
}

TEST(AppUtilsInstance, IsOneObjectForTheProcess) {
  EXPECT_EQ(IotAppUtils::instance(), IotAppUtils::instance());
  EXPECT_NE(IotAppUtils::instance(), nullptr);
}

}  // namespace
