// SPDX-License-Identifier: Apache-2.0
#include "HXUrl.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "url_round_trip.h"

namespace {

using hxtest::url_parts;  // scheme|user info|host|kind|port|path|<key=val>...|fragment
using KeyVals = std::vector<HXUrl::KeyVal>;
using Row = std::pair<std::string, std::string>;                   // input, expected
using SetRow = std::tuple<const char*, std::string, std::string>;  // component, value, expected

// Catching the standard bases also proves parse_error and build_error derive from them.
template <class Error = std::invalid_argument, class Action>
std::string message_of(Action&& action) {
  try {
    action();
  } catch (const Error& e) {
    return e.what();
  }
  return "(no error)";
}

// Applies one setter by name and reads that component back.
std::string set(HXUrl& url, const std::string& part, const std::string& value) {
  if (part == "scheme") return url.scheme(value).scheme();
  if (part == "user_info") return url.user_info(value).user_info();
  if (part == "host") return url.host(value).host();
  if (part == "port") return url.port(value).port();
  if (part == "path") return url.path(value).path();
  return url.fragment(value).fragment();
}

const std::string kHost253 = std::string(252, 'h') + "x", kText256(256, 'u');
const std::string kPath8000 = "/" + std::string(7999, 'p');

// Texts and their url_parts.
// clang-format off
const Row kParsed[] = {
    {"Urn.X-1+2:y", "urn.x-1+2|||-1||y||"}, {"/a:b", "|||-1||/a:b||"}, {"#a?b/c", "|||-1||||a?b/c"},
    {"?/a?b=:@", "|||-1|||</a?b=:@>|"}, {"http:/p", "http|||-1||/p||"},
    {"file:///etc/x", "file|||0||/etc/x||"}, {"//u@h:81/p?q#f", "|u|h|0|81|/p|<q=>|f"},
    {"//@h:0", "||h|0|0|||"}, {"s://us%65r:p%40ss@h?#%41", "s|user:p@ss|h|0||||A"},
    {"//h:65535?", "||h|0|65535|||"}, {"HTTP://My-Host:80/a/./b/../c", "http||my-host|0|80|/a/c||"},
    {"//999.999.999.999", "||999.999.999.999|4||||"}, {"//1.2.3", "||1.2.3|0||||"},
    {"x/%2E%2E/y", "|||-1||y||"}, {"/%2532%7e%7E", "|||-1||/%32~~||"},  // once
    {"?a=1&b=2;c", "|||-1|||<a=1><b=2><c=>|"}, {"?k=v=w", "|||-1|||<k=v=w>|"},
    {"?a+b=c%2Bd", "|||-1|||<a b=c+d>|"}, {"?a=1&&b=2", "|||-1|||<a=1><=><b=2>|"},
    {"//[::1]:80/", "||::1|6|80|/||"}, {"//[::1]x:80/", "||::1|6||/||"},
    {"//[v7.ab:cd]", "||ab:cd|7||||"}, {"//[vF.x]", "||x|15||||"}, {"//[v1.]:8", "|||1|8|||"},
    {"//[v0.AB]", "||ab|0||||"}, {"//[v6.0:0::1]", "||::1|6||||"},
    {"//[v4.AB:cd]", "||AB:cd|4||||"},
    {"//[0000:0000:0000:0000:0000:FFFF:192.168.100.200]", "||::ffff:192.168.100.200|6||||"}};

// Texts and the text they build.
const Row kBuilt[] = {
    {"?k=&z", "?k&z"}, {"?a=1;b=2", "?a=1&b=2"}, {"?a%2Bb=c+d", "?a%2Bb=c+d"}, {"a/b:c", "a/b:c"},
    {"http://h:80/", "http://h/"}, {"https://h:443/", "https://h/"}, {"//[::1]", "//[::1]"},
    {"http://h:443/", "http://h:443/"}, {"ftp://h:80/", "ftp://h:80/"}, {"//[v7.a]", "//[v7.a]"},
    {"file:///etc/x", "file:/etc/x"}, {"//[vA.ab:cd]", "//[va.ab:cd]"},
    {"http://10.0.0.1:8080/", "http://10.0.0.1:8080/"}};

// Setter, value and the component stored (on https://h/).
const SetRow kStored[] = {
    {"scheme", "AZaz+SSH-2.0", "azaz+ssh-2.0"}, {"port", "0", "0"}, {"port", "65535", "65535"},
    {"port", "443", ""}, {"path", kPath8000, kPath8000}, {"host", kHost253, kHost253},
    {"path", "/a/./b/../c d%zz", "/a/c d%zz"}, {"user_info", kText256, kText256},
    {"fragment", kText256, kText256}};

// Setter, refused value and the message, which ends quoting the value.
const SetRow kRefused[] = {
    {"scheme", "", "Invalid scheme"}, {"scheme", "1a", "Invalid scheme"},
    {"scheme", "a_b", "Invalid scheme"}, {"scheme", "\xC3", "Invalid scheme"},
    {"port", "", "Invalid port"}, {"port", "080", "Invalid port"}, {"port", "8a", "Invalid port"},
    {"port", "65536", "Invalid port"}, {"port", "100000", "Invalid port"},
    {"host", "a b", "Invalid host"}, {"host", "h%41", "Invalid host"},
    {"host", "999.1.1.1", "Invalid IPv4 address"}, {"host", "1.2.3", "Invalid IPv6 address"},
    {"host", "0000:0000:0000:0000:0000:ffff:192.168.100.200", "Invalid IPv6 address"},  // 45 bytes
    {"host", kHost253 + "x", "Host is longer than 253 characters"},
    {"user_info", kText256 + "!", "User info is longer than 256 characters"},
    {"fragment", kText256 + "!", "Fragment is longer than 256 characters"},
    {"path", kPath8000 + "q", "Path is longer than 8000 characters"}};

// host(text, ip_v) in turn on one URL: the host stored and its kind.
const std::tuple<const char*, unsigned char, const char*, int> kHostKinds[] = {
    {"192.168.0.1", 6, "192.168.0.1", 4}, {"::1", 0, "::1", 6},
    {"2001:DB8:0:0:0:0:0:1", 4, "2001:db8::1", 6}, {"My-Host", 6, "my-host", 0},
    {"abc", 7, "abc", 7}, {"10.0.0.1", 7, "10.0.0.1", 4}, {"", 0, "", -1},
    {"1.2", 200, "1.2", -56}};  // a version above 127 is kept as a signed byte

// Texts and the message of their parse_error.
const Row kParseErrors[] = {
    {"/" + std::string(8000, 'a'), "URI is longer than 8000 characters"},
    {":b", "Scheme in ':b' is invalid"}, {"//h:", "Port '' in '//h:' is invalid"},
    {"//h:080", "Port '080' in '//h:080' is invalid"}, {"//[1:2::3:]", "IPv6 [1:2::3] is invalid"},
    {"//h:65536/", "Port '65536' in '//h:65536/' is invalid"}, {"#%", "Invalid percent encoding"},
    {"//[::1/", "Missing ] in '//[::1/'"}, {"//[::1/]", "Missing ] in '//[::1/]'"},
    {"//[]", "Host address in '//[]' is invalid"}, {"//[v6.ab]", "IPv6 [ab] is invalid"},
    {"//[::g]", "Host address in '//[::g]' is invalid"},
    {"//[v12.x]", "Host address in '//[v12.x]' is invalid"},
    {"//[v1]", "Host address in '//[v1]' is invalid"}, {"/%4", "Invalid percent encoding"},
    {"//h%41", "Host address in '//h%41' is invalid"}, {"/%4g", "Invalid percent encoding"},
    {"//[v1.a%41]", "Host address in '//[v1.a%41]' is invalid"},
    {"//a@b@c", "Host address in '//a@b@c' is invalid"}, {"a b", "Path 'a b' in 'a b' is invalid"},
    {"x#a#b", "Fragment 'a#b' in 'x#a#b' is invalid"},
    {std::string("//h/x\0y", 7), "Path '/x"},  // what a C string shows of the whole message
    {"?a=1 2", "Query value '1 2' in '?a=1 2' is invalid"},
    // Several faults: the first in the order of the scan wins.
    {"1a://a b@h:x/ b", "Scheme in '1a://a b@h:x/ b' is invalid"},
    {"s://a b@h:x/ b", "User info in 's://a b@h:x/ b' is invalid"},
    {"s://h!h]:x/ b", "Host address in 's://h!h]:x/ b' is invalid"},
    {"s://h:x/ b", "Port 'x' in 's://h:x/ b' is invalid"},
    {"s://h/ b?a b#c d", "Path '/ b' in 's://h/ b?a b#c d' is invalid"},
    // The fragment's bytes are checked while scanning, the query's entries later.
    {"s://h/?a b#c d", "Fragment 'c d' in 's://h/?a b#c d' is invalid"},
    {"s://%zz@[1:2:3]/", "Invalid percent encoding"},
    {"s://[1:2:3]/%zz", "IPv6 [1:2:3] is invalid"}, {"s://h/%zz?a b", "Invalid percent encoding"},
    {"?a=%zz&b c", "Invalid percent encoding"},
    {"?a=1&b c=%zz", "Query key 'b c' in '?a=1&b c=%zz' is invalid"},
    {"?a b#%zz", "Query key 'a b' in '?a b#%zz' is invalid"}};
// clang-format on

TEST(UrlSetters, StoreCanonicalFormsUpToTheirLimitsAndRefuseTheRestChangingNothing) {
  for (const auto& [part, value, stored] : kStored) {
    HXUrl url("https://h/");
    EXPECT_EQ(set(url, part, value), stored) << part << " " << value;
  }
  for (const auto& [part, value, message] : kRefused) {
    HXUrl url("http://u@keep:81/p?k#f");
    EXPECT_EQ(message_of([&] { set(url, part, value); }), message + " '" + value + "'") << part;
    EXPECT_EQ(url_parts(url), "http|u|keep|0|81|/p|<k=>|f") << part << " " << value;
  }
}

TEST(UrlSetters, DetectTheHostKindAndDropADefaultPort) {
  HXUrl url;  // one URL throughout, so each kind replaces the one before
  for (const auto& [host, ip_v, stored, kind] : kHostKinds) {
    EXPECT_EQ(url.host(host, ip_v).host(), stored) << host;
    EXPECT_EQ(url.ip_version(), kind) << host;
  }
  EXPECT_EQ(message_of([&] { url.host("xyz", 7); }), "Invalid IPvFuture address 'xyz'");
  url.str("ftp://h:443/");
  EXPECT_EQ(url.scheme("HTTPS").port(), "");  // whichever of scheme and port changes last
  EXPECT_EQ(url.port(80).scheme("http").port(), "");
  EXPECT_EQ(url.port(443).scheme("http").port(), "443");
}

TEST(UrlQueryAccess, IndexesWithinRangeAndChangesReachTheText) {
  HXUrl url;
  EXPECT_EQ(message_of<std::out_of_range>([&] { url.query(0); }), "Invalid Url query index (0)");
  EXPECT_EQ(message_of<std::out_of_range>([&] { url.set_query(0); }),
            "Invalid Url query index (0)");
  url.str("http://h/?a=1").set_query(0).val("2");
  url.set_query().push_back(HXUrl::KeyVal("b", "x y"));
  EXPECT_EQ(url.str(), "http://h/?a=2&b=x+y");
  url.set_query(KeyVals{{"c"}}).add_query(HXUrl::KeyVal("d").key("e")).add_query("f", "");
  EXPECT_EQ(url.str(), "http://h/?c&e&f");
  EXPECT_EQ(url.query(1), HXUrl::KeyVal("e", ""));
  EXPECT_NE(url.query(1), HXUrl::KeyVal("e", "v"));
  EXPECT_NE(url.query(1), HXUrl::KeyVal("E", ""));
}

TEST(UrlParse, SplitsAtEveryDelimiterOrRefusesWithTheFirstFailureInOrder) {
  for (const auto& [text, parts] : kParsed) EXPECT_EQ(url_parts(HXUrl(text)), parts) << text;
  for (const Row& row : kParsed) EXPECT_EQ(hxtest::url_round_trip_failure(row.first), "");
  EXPECT_EQ(HXUrl("/%C3%A9%00").path(), std::string("/\xC3\xA9\0", 4));
  EXPECT_EQ(HXUrl(kPath8000).path(), kPath8000);
  for (const auto& [text, message] : kParseErrors) {
    EXPECT_EQ(message_of([&] { HXUrl(text).scheme(); }), message) << text;
  }
}

TEST(UrlBuild, EncodesEachComponentWithItsOwnRulesAndDropsDefaultPorts) {
  HXUrl url;
  url.scheme("s").host("h").user_info("u@x").path("/a b?c").fragment("f g#");
  EXPECT_EQ(url.str(), "s://u%40x@h/a%20b%3Fc#f%20g%23");
  url.path(std::string("/\xC3%\x01\x7F[]", 7)).fragment("");
  url.set_query(KeyVals{{"a b", "1+1=2"}, {"x=y", ";"}, {"&;=/?:@", "&;=#%"}});
  EXPECT_EQ(url.str(),
            "s://u%40x@h/%C3%25%01%7F%5B%5D?a+b=1%2B1=2&x%3Dy=%3B&%26%3B%3D/?:@=%26%3B=%23%25");
  for (const auto& [text, built] : kBuilt) EXPECT_EQ(HXUrl(text).str(), built) << text;
  for (const Row& row : kBuilt) EXPECT_EQ(hxtest::url_round_trip_failure(row.first), "");
  EXPECT_EQ(HXUrl().host("1.2", 200).str(), "//[vffffffc8.1.2]");
}

TEST(UrlBuild, RefusesComponentsWithoutTextFormAndKeepsState) {
  HXUrl keys("http://h/ok");
  EXPECT_EQ(keys.str(), "http://h/ok");
  const std::pair<HXUrl, const char*> cases[] = {
      {HXUrl().user_info("u").port(1), "User info defined, but host is empty"},
      {HXUrl().port(1), "Port defined, but host is empty"},
      {HXUrl("urn:isbn:1"), "The first segment of the relative path can't contain ':'"},
      {HXUrl("http://h/").path("p"), "Path must start with '/' when host is not empty"},
      {keys.add_query(""), "First query entry has no key"},
      {HXUrl("?a=1&"), "A query entry has no key"}};
  for (const auto& [url, message] : cases) {
    EXPECT_EQ(message_of<std::runtime_error>([&] { url.str(); }), message) << url_parts(url);
  }
  EXPECT_THROW(keys.str(), HXUrl::build_error);
  EXPECT_EQ(keys.set_query(0).key("k").key(), "k");
  EXPECT_EQ(keys.str(), "http://h/ok?k");
}

TEST(UrlPrint, WritesTheExactLineOrNothing) {
  const Row cases[] = {
      {"http://u@h:81/p?a=1&b#f",
       "Url:{url(http://u@h:81/p?a=1&b#f) scheme(http) user_info(u) host(h) IPv(0) port(81) "
       "path(/p) query(<key(a) val(1)> <key(b) val()>)fragment(f) }"},
      {"file:///x%20y?k=a+b",
       "Url:{url(file:/x%20y?k=a+b) scheme(file) host() IPv(0) path(/x y) "
       "query(<key(k) val(a b)>)}"},
      {"a:b", "Url:{url(a:b) scheme(a) path(b)}"},
      {"//[v7.ab]", "Url:{url(//[v7.ab]) host(ab) IPv(7)}"},
      {"", "Url:{url()}"}};
  for (const auto& [text, line] : cases) {
    std::ostringstream out;
    HXUrl(text).output(out);
    EXPECT_EQ(out.str(), line);
  }
  std::ostringstream out;
  EXPECT_THROW(HXUrl("a b:").output(out), HXUrl::parse_error);
  EXPECT_THROW(HXUrl("?a=1&").output(out), HXUrl::build_error);
  EXPECT_EQ(out.str(), "");
}

TEST(UrlLazy, BadTextFailsAtEveryUseUntilReplacedOrCleared) {
  HXUrl url("http://h/old");
  url.path();
  url = "not a url:";
  // A setter checks its own argument before it parses the pending text.
  EXPECT_EQ(message_of([&] { url.scheme("1"); }), "Invalid scheme '1'");
  EXPECT_EQ(message_of([&] { url.port("x"); }), "Invalid port 'x'");
  std::ostringstream out;
  const std::function<void()> uses[] = {[&] { url.scheme(); },       [&] { url.query(); },
                                        [&] { url.str(); },          [&] { url.output(out); },
                                        [&] { url.add_query("k"); }, [&] { url.set_query(); },
                                        [&] { url.set_query(KeyVals{}); }, [&] { url.host("h"); }};
  for (const auto& use : uses) EXPECT_EQ(message_of(use), "Scheme in 'not a url:' is invalid");
  for (const auto& use : uses) EXPECT_EQ(message_of(use), "Scheme in 'not a url:' is invalid");
  EXPECT_EQ(url.str("a:b?q#f").path(), "b");
  url = "";  // clears without building
  EXPECT_EQ(url_parts(url), "|||-1||||");
  url = "not a url:";
  EXPECT_EQ(url_parts(url.clear()), "|||-1||||");
}

// Unparsed text is copied as it is; a parsed source hands over deep components, not stale text.
TEST(UrlCopy, ParsesOnFirstUseAndCopiesWhatTheSourceHolds) {
  const HXUrl source("HTTP://H/x");
  HXUrl copy(source), moved;
  EXPECT_EQ(copy.host(), "h");  // any accessor parses first
  EXPECT_EQ(HXUrl("//u@h").user_info() + HXUrl("//h:1").port() + HXUrl("?k").query(0).key() +
                HXUrl("#f").fragment() + std::to_string(HXUrl("//[::1]").ip_version()),
            "u1kf6");
  EXPECT_EQ(copy.str(), "http://h/x");
  EXPECT_EQ(copy.str("http://new/").host(), "new");
  moved = HXUrl("bad url:");
  EXPECT_THROW(moved.host(), HXUrl::parse_error);
  moved = std::move(copy = source);
  EXPECT_EQ(moved.path(), "/x");
  HXUrl parsed("http://h/p"), target("ftp://other/");
  target = parsed.add_query("k", "v");
  parsed.set_query(0).val("changed");
  HXUrl& same = target;
  target = same;
  target = std::move(same);
  EXPECT_EQ(HXUrl(std::move(target)).str(), "http://h/p?k=v");
}

}  // namespace
