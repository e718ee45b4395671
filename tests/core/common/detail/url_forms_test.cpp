#include "detail/url_forms.h"

#include <gtest/gtest.h>

#include "HXUrl.h"

namespace hxcore::detail {
namespace {

std::string normal_form_error(std::string_view text) {
  try {
    normalize_ipv6(text);
  } catch (const HXUrl::parse_error& e) {
    return e.what();
  }
  return "accepted";
}

TEST(UrlIpv4, AcceptsFourOctetsUpTo255) {
  EXPECT_TRUE(is_ipv4("0.0.0.0"));
  EXPECT_TRUE(is_ipv4("255.255.255.255"));
  EXPECT_TRUE(is_ipv4("10.0.100.9"));
}

TEST(UrlIpv4, RefusesEverythingElse) {
  for (const char* text : {"256.1.1.1", "01.2.3.4", "1.2.3", "1.2.3.4.5", "1..2.3", "1.2.3.4.", ".1.2.3.4",
                           "1.2.3.00", "1.2.3.0255", "1.2.3.99999999999999999999", "1.2.3.a", "", "1.2.3.4 "}) {
    EXPECT_FALSE(is_ipv4(text)) << text;
  }
}

TEST(UrlIpv6Screen, AdmitsHexColonsAndDotsOf2To254Bytes) {
  EXPECT_TRUE(ipv6_chars("::"));
  EXPECT_TRUE(ipv6_chars("aF:09.:"));
  EXPECT_TRUE(ipv6_chars(std::string(254, 'a')));
  EXPECT_FALSE(ipv6_chars(std::string(255, 'a')));
  EXPECT_FALSE(ipv6_chars(":"));
  EXPECT_FALSE(ipv6_chars("ag"));
  EXPECT_FALSE(ipv6_chars("::1%eth0"));
}

TEST(UrlIpv6Check, AcceptsCompleteAddresses) {
  for (const char* text : {"::", "::1", "1::", "1:2:3:4:5:6:7:8", "::ffff:1.2.3.4", "1:2:3:4:5:6:1.2.3.4",
                           "FFFF:ffff::", "1:2:3:4:5:6:7::", "::2:3:4:5:6:7:8", "1::1.2.3.4",
                           "1234:5678:9abc:def0:1234:5678:9abc:def0"}) {
    EXPECT_TRUE(is_ipv6(text)) << text;
  }
}

TEST(UrlIpv6Check, RefusesIncompleteOrMalformedAddresses) {
  for (const char* text : {"1:2:3:4:5:6:7", "1::2::3", ":1::2", "1:2:3:4:5:6:7:8:", "12345::1",
                           "1:2:3:4:5:6:7:8:9", ":::1", "1:", ":", "1:2:3:4:5:1.2.3.4", "::1.2.3", "::1.2.3.4:5",
                           "1::g", "::01.2.3.4", "1:2:3:4:5:6:7::8"}) {
    EXPECT_FALSE(is_ipv6(text)) << text;
  }
  EXPECT_TRUE(is_ipv6("1111:2222:3333:4444:5555:6666:7777:8888"));  // 39 bytes
  EXPECT_FALSE(is_ipv6("1111:2222:3333:4444:5555:6666:7777:8888:"));  // 40 bytes
}

TEST(UrlIpv6NormalForm, ShortensAndLowerCases) {
  EXPECT_EQ(normalize_ipv6("2001:0DB8:0000:0000:0000:0000:0000:0001"), "2001:db8::1");
  EXPECT_EQ(normalize_ipv6("1:0:0:2:0:0:3:4"), "1::2:0:0:3:4");
  EXPECT_EQ(normalize_ipv6("1:0:0:2:0:0:0:4"), "1:0:0:2::4");
  EXPECT_EQ(normalize_ipv6("1:0:2:3:4:5:6:7"), "1:0:2:3:4:5:6:7");
  EXPECT_EQ(normalize_ipv6("1:2:3:4:5:0:0:0"), "1:2:3:4:5::");
  EXPECT_EQ(normalize_ipv6("0:0:0:0:0:0:0:0"), "::");
  EXPECT_EQ(normalize_ipv6("::0"), "::");
  EXPECT_EQ(normalize_ipv6("::"), "::");
  EXPECT_EQ(normalize_ipv6("0:0:1::"), "0:0:1::");
  EXPECT_EQ(normalize_ipv6("1:2:3:4:5:6:7::"), "1:2:3:4:5:6:7:0");
  EXPECT_EQ(normalize_ipv6("::ABCD:0:1"), "::abcd:0:1");
}

TEST(UrlIpv6NormalForm, KeepsTheDottedTail) {
  EXPECT_EQ(normalize_ipv6("::FFFF:1.2.3.4"), "::ffff:1.2.3.4");
  EXPECT_EQ(normalize_ipv6("1:2:3:4:5:6:1.2.3.4"), "1:2:3:4:5:6:1.2.3.4");
  EXPECT_EQ(normalize_ipv6("1:0:0:0:0:6:1.2.3.4"), "1::6:1.2.3.4");
}

TEST(UrlIpv6NormalForm, WritesOneGapBeforeATailAfterZeros) {
  EXPECT_EQ(normalize_ipv6("::1.2.3.4"), "::1.2.3.4");
  EXPECT_EQ(normalize_ipv6("1:0:0:0:0:0:1.2.3.4"), "1::1.2.3.4");
  EXPECT_EQ(normalize_ipv6("0:0:0:0:0:0:10.0.0.1"), "::10.0.0.1");
  EXPECT_TRUE(is_ipv6(normalize_ipv6("1::1.2.3.4")));
}

TEST(UrlIpv6NormalForm, RefusesWhatIsNoCompleteAddress) {
  EXPECT_EQ(normal_form_error("1:2:3"), "IPv6 [1:2:3] is invalid");
  EXPECT_EQ(normal_form_error("1:2:3:"), "IPv6 [1:2:3] is invalid");  // trailing ':' set aside
  EXPECT_EQ(normal_form_error("1::2::3"), "IPv6 [1::2::3] is invalid");
  EXPECT_EQ(normal_form_error("1:2:3:4:5:6:7:8:9"), "IPv6 [1:2:3:4:5:6:7:8:9] is invalid");
  EXPECT_EQ(normal_form_error("12345::"), "IPv6 [12345:] is invalid");
  EXPECT_EQ(normal_form_error("1.2::3"), "IPv6 [1.2::3] is invalid");
  EXPECT_EQ(normal_form_error("x::"), "IPv6 [x::] is invalid");  // the screen quotes it whole
  EXPECT_EQ(normal_form_error(":"), "IPv6 [:] is invalid");
}

TEST(UrlIpv6NormalForm, IsAlwaysAValidFixedPoint) {
  for (const char* text : {"::1", "1::", "a:b:c:d:e:f:1.2.3.4", "0:0:0:0:0:ffff:1.2.3.4", "1:0:0:1:0:0:0:1",
                           "::2:3:4:5:6:7:8", "1:2:3:4:5:6::1.2.3.4"}) {
    const std::string normal = normalize_ipv6(text);
    EXPECT_TRUE(is_ipv6(normal)) << text << " -> " << normal;
    EXPECT_EQ(normalize_ipv6(normal), normal) << text;
  }
}

TEST(UrlPath, DropsDotSegments) {
  EXPECT_EQ(normalize_path("/a/./b/../c"), "/a/c");
  EXPECT_EQ(normalize_path("/a/b/.."), "/a");
  EXPECT_EQ(normalize_path("/a/b/../"), "/a/");
  EXPECT_EQ(normalize_path("/a/b/."), "/a/b/");
  EXPECT_EQ(normalize_path("a//b"), "a/b");
  EXPECT_EQ(normalize_path("/"), "/");
  EXPECT_EQ(normalize_path("/.."), "/");
  EXPECT_EQ(normalize_path("/."), "/");
  EXPECT_EQ(normalize_path("../a"), "a");
  EXPECT_EQ(normalize_path("."), "");
  EXPECT_EQ(normalize_path(".."), "");
  EXPECT_EQ(normalize_path("a/"), "a/");
  EXPECT_EQ(normalize_path(""), "");
  EXPECT_EQ(normalize_path("//a///b//"), "/a/b/");
  EXPECT_EQ(normalize_path("/a/b/c/../../d"), "/a/d");
  EXPECT_EQ(normalize_path("a/../../b/./c/.."), "b");
  EXPECT_EQ(normalize_path("/..a/.b./..."), "/..a/.b./...");
}

TEST(UrlPath, IsAFixedPoint) {
  for (const char* text : {"/a/./b/../c", "a//b/", "../x/./", "/x/y/..", "p:q/../r"}) {
    const std::string once = normalize_path(text);
    EXPECT_EQ(normalize_path(once), once) << text;
  }
}

TEST(UrlSmallChecks, LooksLikeIpv4NeedsSevenDigitsOrDots) {
  EXPECT_TRUE(looks_like_ipv4("9999999"));
  EXPECT_FALSE(looks_like_ipv4("1.2.34"));
  EXPECT_FALSE(looks_like_ipv4("1.2.3.a"));
  EXPECT_TRUE(looks_like_ipv4(std::string(254, '1')));
  EXPECT_FALSE(looks_like_ipv4(std::string(255, '1')));
}

}  // namespace
}  // namespace hxcore::detail
