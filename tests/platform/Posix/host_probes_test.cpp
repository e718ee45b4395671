#include "detail/host_probes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace {

using hxcore::detail::osHostProbes;

constexpr const char* kVariables[] = {"LC_ALL", "LC_MESSAGES", "LANG"};

// Sets LC_ALL, LC_MESSAGES and LANG (null: unset) and restores them after the test.
class LocaleEnvironment : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 3; ++i) {
      if (const char* value = std::getenv(kVariables[i])) saved_[i] = value;
    }
  }
  void TearDown() override {
    for (int i = 0; i < 3; ++i) set(i, saved_[i] ? saved_[i]->c_str() : nullptr);
  }
  static void set(int i, const char* value) {
    value ? setenv(kVariables[i], value, 1) : unsetenv(kVariables[i]);
  }
  static void set(const char* all, const char* messages, const char* lang) {
    set(0, all), set(1, messages), set(2, lang);
  }
  static std::pair<int, std::string> query() {
    std::string name = "untouched";
    const int result = osHostProbes().userLocaleName(name);
    return {result, name};
  }
  std::optional<std::string> saved_[3];
};

TEST_F(LocaleEnvironment, TurnsTheFirstSetVariableIntoLanguageHyphenRegion) {
  const char* const rows[][4] = {
      // LC_ALL, LC_MESSAGES, LANG (null: unset), name
      {nullptr, nullptr, "en_US.UTF-8", "en-US"},
      {nullptr, nullptr, "sr_RS@latin", "sr-RS"},
      {nullptr, nullptr, "de", "de"},
      {nullptr, "de_DE.UTF-8", "fr_FR.UTF-8", "de-DE"},
      {"ja_JP.UTF-8", "de_DE.UTF-8", "fr_FR.UTF-8", "ja-JP"},
      {"", "de_DE.UTF-8", "fr_FR.UTF-8", "de-DE"}};  // empty counts as unset
  for (const auto& [all, messages, lang, name] : rows) {
    set(all, messages, lang);
    EXPECT_EQ(query(), std::make_pair(static_cast<int>(std::strlen(name)) + 1, std::string(name)));
  }
}

TEST_F(LocaleEnvironment, HasNoUsableLocaleWithoutALanguage) {
  set(nullptr, nullptr, nullptr);
  EXPECT_EQ(query(), std::make_pair(0, std::string("untouched")));
  for (const char* value : {"C", "POSIX", "C.UTF-8", "12_34", "english_US", "en_", "en_U S", "e"}) {
    set(nullptr, nullptr, value);
    EXPECT_LT(query().first, 1) << value;
  }
}

TEST(HostProbesPosix, NameTheRunningExecutableAndHoldNoWindowsVersionTest) {
  EXPECT_EQ(osHostProbes().executableFileName(), "hxcore_platform_test");
  EXPECT_FALSE(osHostProbes().versionAtLeast(5, 1, 0));
  EXPECT_FALSE(osHostProbes().versionAtLeast(0, 0, 0));
  EXPECT_FALSE(osHostProbes().isServerProduct());
}

}  // namespace
