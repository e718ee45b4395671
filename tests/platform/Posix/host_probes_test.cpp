#include "detail/host_probes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

using hxcore::detail::osHostProbes;

// Sets LC_ALL, LC_MESSAGES and LANG for one test and restores them after it.
class LocaleEnvironment : public ::testing::Test {
 protected:
  static constexpr const char* kVariables[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
  void SetUp() override {
    for (int i = 0; i < 3; ++i) {
      const char* value = std::getenv(kVariables[i]);
      saved_[i] =
          value ? std::make_pair(true, std::string(value)) : std::make_pair(false, std::string());
      unsetenv(kVariables[i]);
    }
  }
  void TearDown() override {
    for (int i = 0; i < 3; ++i) {
      if (saved_[i].first) {
        setenv(kVariables[i], saved_[i].second.c_str(), 1);
      } else {
        unsetenv(kVariables[i]);
      }
    }
  }
  static std::pair<int, std::string> query() {
    std::string name = "untouched";
    const int result = osHostProbes().userLocaleName(name);
    return {result, name};
  }
  std::pair<bool, std::string> saved_[3];
};

TEST_F(LocaleEnvironment, TurnsAnEnvironmentLocaleIntoLanguageHyphenRegion) {
  setenv("LANG", "en_US.UTF-8", 1);
  EXPECT_EQ(query(), std::make_pair(6, std::string("en-US")));
  setenv("LANG", "sr_RS@latin", 1);
  EXPECT_EQ(query().second, "sr-RS");
  setenv("LANG", "de", 1);
  EXPECT_EQ(query(), std::make_pair(3, std::string("de")));
}

TEST_F(LocaleEnvironment, PrefersLcAllThenLcMessagesThenLang) {
  setenv("LANG", "fr_FR.UTF-8", 1);
  setenv("LC_MESSAGES", "de_DE.UTF-8", 1);
  EXPECT_EQ(query().second, "de-DE");
  setenv("LC_ALL", "ja_JP.UTF-8", 1);
  EXPECT_EQ(query().second, "ja-JP");
  setenv("LC_ALL", "", 1);  // empty counts as unset
  EXPECT_EQ(query().second, "de-DE");
}

TEST_F(LocaleEnvironment, HasNoUsableLocaleWithoutALanguage) {
  EXPECT_EQ(query(), std::make_pair(0, std::string("untouched")));
  for (const char* value : {"C", "POSIX", "C.UTF-8", "12_34", "english_US", "en_", "en_U S", "e"}) {
    setenv("LANG", value, 1);
    EXPECT_LT(query().first, 1) << value;
  }
}

TEST(HostProbesPosix, NameTheRunningExecutable) {
  EXPECT_EQ(osHostProbes().executableFileName(), "hxcore_host_test");
}

TEST(HostProbesPosix, HoldNoWindowsVersionTest) {
  EXPECT_FALSE(osHostProbes().versionAtLeast(5, 1, 0));
  EXPECT_FALSE(osHostProbes().versionAtLeast(0, 0, 0));
  EXPECT_FALSE(osHostProbes().isServerProduct());
}

}  // namespace
