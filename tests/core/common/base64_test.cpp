// SPDX-License-Identifier: Apache-2.0
#include "detail/base64.h"

#include <random>

#include "platform_test_support.h"

namespace {

using hxcore::detail::base64Decode;
using hxcore::detail::base64Encode;
using namespace std::string_literals;

TEST(Base64, EncodesAndDecodesTheRfc4648Vectors) {
  const char* const rows[][2] = {{"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},
                                 {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="},
                                 {"foobar", "Zm9vYmFy"}};
  for (const auto& [plain, encoded] : rows) {
    std::string text = "stale", bytes = "stale";
    EXPECT_TRUE(base64Encode(std::string(plain), text) && base64Decode(encoded, bytes));
    EXPECT_EQ(text, encoded);
    EXPECT_EQ(bytes, plain);
  }
}

// Enough random bytes to reach every entry of the encoder's tables.
TEST(Base64, AgreesWithOpenSslOnRandomBytesBothWays) {
  std::mt19937 random(7);
  std::string bytes(60000, '\0'), ours, back, theirs(80001, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  theirs.resize(EVP_EncodeBlock(reinterpret_cast<unsigned char*>(&theirs[0]),
                                hxtest::bytesOf(bytes), static_cast<int>(bytes.size())));
  EXPECT_TRUE(base64Encode(bytes, ours) && base64Decode(ours, back));
  EXPECT_EQ(ours, theirs);
  EXPECT_EQ(back, bytes);
}

TEST(Base64Decode, ToleratesMissingPadsAndForeignCharactersButNotAnInnerEqualsSign) {
  // A foreign character (a line break too) is 255 added into its neighbours.
  const std::tuple<std::string, bool, std::string> rows[] = {
      {"Zg", true, "f"},     {"Zm8", true, "fo"}, {"Zm9vYg", true, "foob"}, {"Z", true, ""},
      {"QUJ!", true, "AB?"}, {"!!!!", true, "\xff\xff\xbf"},
      {"Zm9v\nYmFy", true, "foo\xfd\x89\x85"},      {"Zg==Zg==", false, "f\0\0\0"s},
      {"Zg===", false, ""},  {"=", false, ""},    {"====", false, ""}};
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
