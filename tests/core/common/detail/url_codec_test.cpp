#include "detail/url_codec.h"

#include <gtest/gtest.h>

#include "HXUrl.h"
#include "detail/url_chars.h"

namespace hxcore::detail {
namespace {

std::string encoded(std::string_view text, std::uint8_t mask) {
  std::string out = "<";
  append_encoded(out, text, mask);
  return out;
}

std::string key(std::string_view text) {
  std::string out;
  append_query_key(out, text);
  return out;
}

std::string val(std::string_view text) {
  std::string out;
  append_query_val(out, text);
  return out;
}

void expect_bad_escape(std::string_view text) {
  try {
    percent_decode(text);
    ADD_FAILURE() << "accepted " << text;
  } catch (const HXUrl::parse_error& e) {
    EXPECT_STREQ(e.what(), "Invalid percent encoding");
  }
  EXPECT_THROW(query_decode(text), HXUrl::parse_error);
}

TEST(UrlDecode, TurnsEscapesIntoBytes) {
  EXPECT_EQ(percent_decode("a%20b%2fc%2F"), "a b/c/");
  EXPECT_EQ(percent_decode("%00"), std::string(1, '\0'));
  EXPECT_EQ(percent_decode("%c3%A9"), "\xC3\xA9");
  EXPECT_EQ(percent_decode("a+b"), "a+b");
  EXPECT_EQ(percent_decode(""), "");
  EXPECT_EQ(percent_decode("%25%32%35"), "%25");  // decoded once only
}

TEST(UrlDecode, QueryFormReadsPlusAsBlank) {
  EXPECT_EQ(query_decode("a+b%2Bc"), "a b+c");
  EXPECT_EQ(query_decode("++"), "  ");
}

TEST(UrlDecode, RefusesIncompleteEscapes) {
  expect_bad_escape("%");
  expect_bad_escape("abc%4");
  expect_bad_escape("%zz");
  expect_bad_escape("%4g");
  expect_bad_escape("%g4");
}

TEST(UrlEncode, EscapesEveryByteOutsideTheMask) {
  EXPECT_EQ(encoded("/a b?c", kPathWriteChars), "</a%20b%3Fc");
  EXPECT_EQ(encoded("u@x:y", kUserInfoWriteChars), "<u%40x:y");
  EXPECT_EQ(encoded("100%", kQueryWriteChars), "<100%25");
  EXPECT_EQ(encoded("\xC3\x01\x7F", kQueryWriteChars), "<%C3%01%7F");
  EXPECT_EQ(encoded("#[]", kQueryWriteChars), "<%23%5B%5D");
  EXPECT_EQ(encoded("", kHostChars), "<");
}

TEST(UrlEncode, QueryKeysEscapeSeparatorsAndPlus) {
  EXPECT_EQ(key("a b"), "a+b");
  EXPECT_EQ(key("x=y"), "x%3Dy");
  EXPECT_EQ(key("1+1&2;3"), "1%2B1%262%3B3");
  EXPECT_EQ(key("/?:@%#"), "/?:@%25%23");
}

TEST(UrlEncode, QueryValuesKeepEquals) {
  EXPECT_EQ(val("1+1=2"), "1%2B1=2");
  EXPECT_EQ(val(";"), "%3B");
  EXPECT_EQ(val("a b&c"), "a+b%26c");
  EXPECT_EQ(val("\xFF"), "%FF");
}

}  // namespace
}  // namespace hxcore::detail
