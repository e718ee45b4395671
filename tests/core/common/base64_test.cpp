#include "detail/base64.h"

#include "platform_test_support.h"

namespace {

using hxcore::detail::base64Decode;
using hxcore::detail::base64Encode;
using namespace std::string_literals;

TEST(Base64, EncodesAndDecodesTheRfc4648Vectors) {
  const char* const rows[][2] = {{"", ""},
                                 {"f", "Zg=="},
                                 {"fo", "Zm8="},
                                 {"foo", "Zm9v"},
                                 {"foob", "Zm9vYg=="},
                                 {"fooba", "Zm9vYmE="},
                                 {"foobar", "Zm9vYmFy"}};
  for (const auto& [plain, encoded] : rows) {
    std::string text = "stale", bytes = "stale";
    EXPECT_TRUE(base64Encode(std::string(plain), text) && base64Decode(encoded, bytes));
    EXPECT_EQ(text, encoded);
    EXPECT_EQ(bytes, plain);
  }
}

TEST(Base64, AgreesWithOpenSslOnEveryByteBothWays) {
  std::string bytes, ours, back, theirs(4 * 86 + 1, '\0');
  for (int c = 0; c < 256; ++c) bytes += static_cast<char>(c);
  theirs.resize(
      EVP_EncodeBlock(reinterpret_cast<unsigned char*>(&theirs[0]), hxtest::bytesOf(bytes), 256));
  EXPECT_TRUE(base64Encode(bytes, ours) && base64Decode(ours, back));
  EXPECT_EQ(ours, theirs);
  EXPECT_EQ(back, bytes);
}

TEST(Base64Decode, ToleratesMissingPadsAndForeignCharactersButNotAnInnerEqualsSign) {
  // A foreign character (a line break too) is 255 added into its neighbours:
  // Q, U, J are 16, 20, 9 and (9 << 6) + 255 wraps to 63 ('?'). One character
  // carries no whole byte; "=" alone announces a length below zero.
  const std::tuple<std::string, bool, std::string> rows[] = {
      {"Zg", true, "f"},
      {"Zm8", true, "fo"},
      {"Zm9vYg", true, "foob"},
      {"Z", true, ""},
      {"QUJ!", true, "AB?"},
      {"!!!!", true, "\xff\xff\xbf"},
      {"Zm9v\nYmFy", true, "foo\xfd\x89\x85"},
      {"Zg==Zg==", false, "f\0\0\0"s},
      {"Zm9v=mFy", false, "foo\0\0\0"s},
      {"Zg===", false, ""},
      {"=", false, ""},
      {"====", false, ""}};
  for (const auto& [text, ok, plain] : rows) {
    std::string bytes = "stale";
    EXPECT_EQ(base64Decode(text, bytes), ok) << text;
    EXPECT_EQ(bytes, plain) << text;
  }
}

TEST(Base64, BufferFormsRefuseASmallBufferAndNeverWritePastTheAnnouncedLength) {
  char text[9] = "########";
  unsigned char bytes[9] = "########";
  EXPECT_FALSE(base64Encode(hxtest::bytesOf("foob"), 4, text, 7));
  EXPECT_FALSE(base64Decode("==", 2, bytes, sizeof(bytes)));
  EXPECT_FALSE(base64Decode("Zm9vYmFy", 8, bytes, 5));
  EXPECT_STREQ(text, "########");
  EXPECT_STREQ(reinterpret_cast<char*>(bytes), "########");
  // Two pads announce 4 bytes, but the text before them holds 6.
  EXPECT_FALSE(base64Decode("Zm9vYmFy==", 10, bytes, 5));
  EXPECT_STREQ(reinterpret_cast<char*>(bytes), "fooba###");
}

}  // namespace
