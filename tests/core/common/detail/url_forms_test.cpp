// SPDX-License-Identifier: Apache-2.0
#include "detail/url_forms.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <iterator>
#include <random>
#include <string>

#ifndef _WIN32
#include <arpa/inet.h>
#endif

#include "HXUrl.h"
#include "detail/url_chars.h"

namespace hxcore::detail {
namespace {

using Pair = std::pair<const char*, const char*>;
using testing::StrEq;
using testing::ThrowsMessage;

// clang-format off
const Pair kIpv6Refused[] = {
    {"1:2:3:", "IPv6 [1:2:3] is invalid"},  // a trailing ':' is set aside
    {"1::2::3", "IPv6 [1::2::3] is invalid"}, {"12345::", "IPv6 [12345:] is invalid"},
    {"1:2:3:4:5:6:7:8:9", "IPv6 [1:2:3:4:5:6:7:8:9] is invalid"},
    {"1.2::3", "IPv6 [1.2::3] is invalid"},   {":", "IPv6 [:] is invalid"},
    {"x::", "IPv6 [x::] is invalid"}};  // the screen quotes it whole

const Pair kPaths[] = {
    {"/a/./b/../c", "/a/c"}, {"/a/b/..", "/a"}, {"/a/b/../", "/a/"}, {"/a/b/.", "/a/b/"},
    {"/", "/"}, {"/..", "/"}, {"/.", "/"}, {"../a", "a"}, {".", ""}, {"..", ""}, {"", ""},
    {"a/", "a/"}, {"//a///b//", "/a/b/"}, {"a/../../b/./c/..", "b"}, {"p:q/../r", "r"},
    {"/a/b/c/../../d", "/a/d"}, {"/..a/.b./...", "/..a/.b./..."}};
// clang-format on

TEST(UrlCharClasses, GiveEachByteOneClassAndEachComponentItsMask) {
  const std::string sub_delims = "-._~!$&'()*+,;=";
  const std::string delims = "@:/?%";  // kAtSign, kColon, kSlash, kQuestionMark, kPercent
  for (int b = 0; b < 256; ++b) {
    const char c = static_cast<char>(b);
    int expected = std::isalnum(b) || sub_delims.find(c) != std::string::npos;
    if (delims.find(c) != std::string::npos) expected = kAtSign << delims.find(c);
    EXPECT_EQ(kUrlCharClasses[b], expected) << "byte " << b;
  }
  // Each component's mask admits its own bytes.
  EXPECT_EQ(first_not_admitted("ab:cd", kHostChars), 2u);
  EXPECT_EQ(first_not_admitted("a:b/c?d@e", kPathWriteChars), 5u);
  EXPECT_EQ(first_not_admitted("/a:b@c?d%", kQueryWriteChars), 8u);
  EXPECT_EQ(first_not_admitted("/a:b@c?d%", kQueryParseChars), std::string_view::npos);
}

TEST(UrlIpScreens, PassDigitsAndDotsOrHexDigitsColonsAndDotsWithinTheirLengths) {
  // The host setter's IPv4 screen: 7 to 254 digits and dots.
  EXPECT_TRUE(looks_like_ipv4("9999999") && looks_like_ipv4(std::string(254, '1')));
  EXPECT_FALSE(looks_like_ipv4("1.2.34") || looks_like_ipv4("1.2.3.a") ||
               looks_like_ipv4(std::string(255, '1')));
  EXPECT_TRUE(ipv6_chars("::") && ipv6_chars("aF:09.:") && ipv6_chars(std::string(254, 'a')));
  EXPECT_FALSE(ipv6_chars(std::string(255, 'a')) || ipv6_chars(":") || ipv6_chars("ag") ||
               ipv6_chars("::1%eth0"));
}

#ifndef _WIN32
// Texts near the grammar of the literals: parts joined by ':', the last two to four joints
// sometimes by '.'.
std::string near_literal(std::mt19937& random) {
  static const char* const kParts[] = {
      "",  "",  "0",  "00",  "0000", "1",   "FfFf", "12345",
      "g", "9", "10", "199", "255",  "256", "01",   "99999999999999999999"};
  const unsigned dots = random() % 2 ? 2 + random() % 3 : 0;
  const unsigned joints = random() % 2 ? dots : random() % 12;
  std::string text = kParts[random() % std::size(kParts)];
  for (unsigned n = joints; n > 0; --n)
    text += (n <= dots ? "." : ":") + std::string(kParts[random() % std::size(kParts)]);
  return text;
}

// The C library reads and writes the addresses the checks accept and their normal form, save
// that it spells "::a.b.c.d" where the normal form keeps the groups a text gave.
TEST(UrlIpLiterals, AreWhatTheCLibraryReadsAndWritesThem) {
  constexpr auto npos = std::string::npos;
  std::mt19937 random(20261207);
  int addresses = 0;
  for (int i = 0; i < 300000; ++i) {
    const std::string text = near_literal(random);
    const size_t gap = text.find("::"), dot = text.find('.'), tail = text.rfind(':', dot) + 1;
    // A gap may stand for no group before a dotted tail, where the C library wants one at least.
    const std::string gapless = dot == npos || gap == npos || text.find("::", gap + 1) != npos
                                    ? text
                                    : text.substr(0, gap) + text.substr(gap + (gap ? 1 : 2));
    unsigned char bytes[16];
    ASSERT_EQ(is_ipv4(text), inet_pton(AF_INET, text.c_str(), bytes) == 1) << text;
    const bool v6 = inet_pton(AF_INET6, text.c_str(), bytes) == 1 ||
                    inet_pton(AF_INET6, gapless.c_str(), bytes) == 1;
    ASSERT_EQ(is_ipv6_literal(text), v6) << text;
    ASSERT_EQ(is_ipv6(text), v6 && text.size() <= 39) << text;
    if (!v6) continue;
    ++addresses;
    if (dot != npos) bytes[12] = bytes[14] = 0, bytes[13] = bytes[15] = 1;  // the tail as 1:1
    char written[INET6_ADDRSTRLEN];
    const std::string normal = inet_ntop(AF_INET6, bytes, written, sizeof written);
    const size_t normal_dot = normal.find('.');
    if (dot == npos && normal_dot != npos) continue;
    ASSERT_EQ(normalize_ipv6(text),
              dot == npos
                  ? normal
                  : normal.substr(0, normal_dot == npos ? normal.size() - 3 : normal_dot - 1) +
                        text.substr(tail))
        << text;
  }
  EXPECT_GT(addresses, 2000);
}
#endif

TEST(UrlNormalForms, RefuseIncompleteAddressesAndDropDotSegments) {
  for (const auto& [text, message] : kIpv6Refused) {
    EXPECT_THAT([&] { normalize_ipv6(text); }, ThrowsMessage<HXUrl::parse_error>(StrEq(message)));
  }
  for (const auto& [text, normal] : kPaths) {
    EXPECT_EQ(normalize_path(text), normal) << text;
    EXPECT_EQ(normalize_path(normal), normal);
  }
}

}  // namespace
}  // namespace hxcore::detail
