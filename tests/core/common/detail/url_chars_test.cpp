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

TEST(UrlToLower, ChangesOnlyAsciiCapitals) {
  EXPECT_EQ(to_lower("HTTP+Ssh-1.Z"), "http+ssh-1.z");
  EXPECT_EQ(to_lower("@[`{"), "@[`{");
  EXPECT_EQ(to_lower(std::string("\xC3\x80\xFF", 3)), std::string("\xC3\x80\xFF", 3));
  EXPECT_EQ(to_lower(""), "");
}

}  // namespace
}  // namespace hxcore::detail
