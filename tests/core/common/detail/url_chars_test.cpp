#include "detail/url_chars.h"

#include <gtest/gtest.h>

#include <string>

namespace hxcore::detail {
namespace {

TEST(UrlCharClasses, GiveEachByteItsOneClass) {
  const std::string sub_delims = "-._~!$&'()*+,;=";
  for (int b = 0; b < 256; ++b) {
    const char c = static_cast<char>(b);
    std::uint8_t expected = 0;
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
        (b != 0 && sub_delims.find(c) != std::string::npos)) {
      expected = kUnreservedOrSubDelim;
    } else if (c == '@') {
      expected = kAtSign;
    } else if (c == ':') {
      expected = kColon;
    } else if (c == '/') {
      expected = kSlash;
    } else if (c == '?') {
      expected = kQuestionMark;
    } else if (c == '%') {
      expected = kPercent;
    }
    EXPECT_EQ(kUrlCharClasses[b], expected) << "byte " << b;
  }
}

TEST(UrlCharClasses, MasksAdmitTheirComponentsBytes) {
  EXPECT_EQ(kHostChars, 0x01);
  EXPECT_EQ(kFutureChars, 0x05);
  EXPECT_EQ(kUserInfoWriteChars, 0x05);
  EXPECT_EQ(kUserInfoParseChars, 0x25);
  EXPECT_EQ(kPathWriteChars, 0x0F);
  EXPECT_EQ(kPathParseChars, 0x2F);
  EXPECT_EQ(kQueryWriteChars, 0x1F);
  EXPECT_EQ(kQueryParseChars, 0x3F);

  EXPECT_TRUE(all_admitted("my-host.example_~", kHostChars));
  EXPECT_FALSE(all_admitted("a:b", kHostChars));
  EXPECT_TRUE(all_admitted("/a@b:c", kPathWriteChars));
  EXPECT_FALSE(all_admitted("/a?b", kPathWriteChars));
  EXPECT_TRUE(all_admitted("/a?b", kQueryWriteChars));
  EXPECT_FALSE(all_admitted("%41", kQueryWriteChars));
  EXPECT_TRUE(all_admitted("%41", kQueryParseChars));
  EXPECT_FALSE(all_admitted("a#b", kQueryParseChars));
  EXPECT_TRUE(all_admitted("", kHostChars));
  EXPECT_EQ(first_not_admitted("ab cd", kHostChars), 2u);
  EXPECT_EQ(first_not_admitted("abcd", kHostChars), std::string_view::npos);
}

TEST(UrlCharClasses, RefuseDelimitersControlsAndHighBytes) {
  for (char c : std::string("\x00\x1f \"#<>[\\]^`{|}\x7f\x80\xc3\xff", 18)) {
    EXPECT_FALSE(admitted(c, 0x3F)) << "byte " << static_cast<int>(static_cast<unsigned char>(c));
  }
}

TEST(UrlToLower, ChangesOnlyAsciiCapitals) {
  EXPECT_EQ(to_lower("HTTP+Ssh-1.Z"), "http+ssh-1.z");
  EXPECT_EQ(to_lower("@[`{"), "@[`{");
  EXPECT_EQ(to_lower(std::string("\xC3\x80\xFF", 3)), std::string("\xC3\x80\xFF", 3));
  EXPECT_EQ(to_lower(""), "");
}

TEST(UrlHexValue, ReadsBothCases) {
  EXPECT_EQ(hex_value('0'), 0);
  EXPECT_EQ(hex_value('9'), 9);
  EXPECT_EQ(hex_value('a'), 10);
  EXPECT_EQ(hex_value('F'), 15);
  EXPECT_EQ(hex_value('g'), -1);
  EXPECT_EQ(hex_value('G'), -1);
  EXPECT_EQ(hex_value('/'), -1);
}

}  // namespace
}  // namespace hxcore::detail
