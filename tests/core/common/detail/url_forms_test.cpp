// SPDX-License-Identifier: Apache-2.0
#include "detail/url_forms.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>

#include "HXUrl.h"
#include "detail/url_chars.h"

namespace hxcore::detail {
namespace {

using Pair = std::pair<const char*, const char*>;
using testing::StrEq;
using testing::ThrowsMessage;

// clang-format off
const Pair kIpv6Normal[] = {
    {"2001:0DB8:0000:0000:0000:0000:0000:0001", "2001:db8::1"}, {"::ABCD:0:1", "::abcd:0:1"},
    {"1:0:0:2:0:0:3:4", "1::2:0:0:3:4"},     {"1:0:0:2:0:0:0:4", "1:0:0:2::4"},
    {"1:0:2:3:4:5:6:7", "1:0:2:3:4:5:6:7"},  {"1:2:3:4:5:0:0:0", "1:2:3:4:5::"},
    {"0:0:0:0:0:0:0:0", "::"},               {"::0", "::"},  {"0:0:1::", "0:0:1::"},
    {"1:2:3:4:5:6:7::", "1:2:3:4:5:6:7:0"},  {"::FFFF:1.2.3.4", "::ffff:1.2.3.4"},
    {"1:0:0:0:0:6:1.2.3.4", "1::6:1.2.3.4"}, {"1:2:3:4:5:6::1.2.3.4", "1:2:3:4:5:6:1.2.3.4"},
    // One gap, not ":::", when the zero run ends right before the dotted tail.
    {"::1.2.3.4", "::1.2.3.4"}, {"1:0:0:0:0:0:1.2.3.4", "1::1.2.3.4"},
    {"0:0:0:0:0:0:10.0.0.1", "::10.0.0.1"}};

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

TEST(UrlIpv4, AcceptsFourOctetsUpTo255Only) {
  for (const char* text : {"0.0.0.0", "255.255.255.255", "10.0.100.9"}) EXPECT_TRUE(is_ipv4(text));
  for (const char* text :
       {"256.1.1.1", "01.2.3.4", "1.2.3", "1.2.3.4.5", "1..2.3", "1.2.3.4.", ".1.2.3.4", "1.2.3.00",
        "1.2.3.0255", "1.2.3.99999999999999999999", "1.2.3.a", "", "1.2.3.4 ", "1x2.3.4"}) {
    EXPECT_FALSE(is_ipv4(text)) << text;
  }
  // The host setter's screen: 7 to 254 digits and dots.
  EXPECT_TRUE(looks_like_ipv4("9999999") && looks_like_ipv4(std::string(254, '1')));
  EXPECT_FALSE(looks_like_ipv4("1.2.34") || looks_like_ipv4("1.2.3.a") ||
               looks_like_ipv4(std::string(255, '1')));
}

TEST(UrlIpv6, ScreensThenAcceptsCompleteAddressesOnly) {
  EXPECT_TRUE(ipv6_chars("::") && ipv6_chars("aF:09.:") && ipv6_chars(std::string(254, 'a')));
  EXPECT_FALSE(ipv6_chars(std::string(255, 'a')) || ipv6_chars(":") || ipv6_chars("ag") ||
               ipv6_chars("::1%eth0"));
  for (const char* text : {"::", "::1", "1::", "1:2:3:4:5:6:7:8", "::ffff:1.2.3.4", "FFFF:ffff::",
                           "1:2:3:4:5:6:1.2.3.4", "1:2:3:4:5:6:7::", "::2:3:4:5:6:7:8",
                           "1::1.2.3.4", "1111:2222:3333:4444:5555:6666:7777:8888"}) {
    EXPECT_TRUE(is_ipv6(text)) << text;
  }
  for (const char* text :
       {"1:2:3:4:5:6:7", "1::2::3", ":1::2", "1:2:3:4:5:6:7:8:", "12345::1", "1:2:3:4:5:6:7:8:9",
        ":::1", "1:", ":", "1:2:3:4:5:1.2.3.4", "::1.2.3", "::1.2.3.4:5", "1::g", "::01.2.3.4",
        "1:2:3:4:5:6:7::8", "1111:2222:3333:4444:5555:6666:7777:8888:"}) {
    EXPECT_FALSE(is_ipv6(text)) << text;
  }
}

TEST(UrlNormalForms, ShortenTheLongestZeroRunRefuseIncompleteAddressesAndDropDotSegments) {
  for (const auto& [text, normal] : kIpv6Normal) {
    EXPECT_EQ(normalize_ipv6(text), normal) << text;
    EXPECT_TRUE(is_ipv6(normal)) << normal;
    EXPECT_EQ(normalize_ipv6(normal), normal);
  }
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
