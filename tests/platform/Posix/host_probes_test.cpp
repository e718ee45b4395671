// SPDX-License-Identifier: Apache-2.0
#include "detail/host_probes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using hxcore::detail::os_host_probes;

// ctest runs each test in a process of its own: the variables set here are not restored.
TEST(HostProbesPosix, LocaleIsTheFirstSetVariableAsLanguageHyphenRegion) {
  const char* const variables[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
  const auto query = [&](const char* all, const char* messages, const char* lang) {
    const char* values[] = {all, messages, lang};
    for (int i = 0; i < 3; ++i)
      values[i] ? setenv(variables[i], values[i], 1) : unsetenv(variables[i]);
    std::string name = "untouched";
    const int result = os_host_probes().userLocaleName(name);
    return std::make_pair(result, name);
  };
  const char* const rows[][4] = {{nullptr, nullptr, "en_US.UTF-8", "en-US"},
                                 {nullptr, nullptr, "sr_RS@latin", "sr-RS"},
                                 {nullptr, nullptr, "de", "de"},
                                 {nullptr, "de_DE.UTF-8", "fr_FR.UTF-8", "de-DE"},
                                 {"ja_JP.UTF-8", "de_DE.UTF-8", "fr_FR.UTF-8", "ja-JP"},
                                 {"", "de_DE.UTF-8", "fr_FR.UTF-8", "de-DE"}};  // "" is unset
  for (const auto& [all, messages, lang, name] : rows) {
    EXPECT_EQ(query(all, messages, lang),
              std::make_pair(static_cast<int>(std::strlen(name)) + 1, std::string(name)));
  }
  EXPECT_EQ(query(nullptr, nullptr, nullptr), std::make_pair(0, std::string("untouched")));
  for (const char* lang : {"C", "POSIX", "C.UTF-8", "12_34", "english_US", "en_", "en_U S", "e"}) {
    EXPECT_LT(query(nullptr, nullptr, lang).first, 1) << lang;
  }
}

}  // namespace
