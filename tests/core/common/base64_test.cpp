// SPDX-License-Identifier: Apache-2.0
#include "detail/base64.h"

#include <random>

#include "platform_test_support.h"

namespace {

using hxcore::detail::base64_decode;
using hxcore::detail::base64_encode;
using namespace std::string_literals;

// Every length modulo 3, then enough random bytes to reach every entry of the encoder's tables.
TEST(Base64, AgreesWithOpenSslOnRandomBytesBothWays) {
  std::mt19937 random(7);
  for (size_t size : {0u, 1u, 2u, 3u, 4u, 5u, 60000u}) {
    std::string bytes(size, '\0'), ours = "stale", back = "stale", theirs(size * 2 + 5, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    theirs.resize(EVP_EncodeBlock(reinterpret_cast<unsigned char*>(&theirs[0]),
                                  hxtest::bytesOf(bytes), static_cast<int>(size)));
    EXPECT_TRUE(base64_encode(bytes, ours) && base64_decode(ours, back));
    EXPECT_EQ(ours, theirs);
    EXPECT_EQ(back, bytes);
  }
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
    EXPECT_EQ(base64_decode(text, bytes), ok) << text;
    EXPECT_EQ(bytes, plain) << text;
  }
}

TEST(Base64, BufferFormsRefuseASmallBufferAndNeverWritePastTheAnnouncedLength) {
  char text[9] = "########";
  unsigned char bytes[9] = "########";
  EXPECT_FALSE(base64_encode(hxtest::bytesOf("foob"), 4, text, 7));
  EXPECT_FALSE(base64_decode("==", 2, bytes, sizeof(bytes)));
  EXPECT_FALSE(base64_decode("Zm9vYmFy", 8, bytes, 5));
  EXPECT_STREQ(text, "########");
  EXPECT_STREQ(reinterpret_cast<char*>(bytes), "########");
  // Two pads announce 4 bytes, but the text before them holds 6.
  EXPECT_FALSE(base64_decode("Zm9vYmFy==", 10, bytes, 5));
  EXPECT_STREQ(reinterpret_cast<char*>(bytes), "fooba###");
}

}  // namespace
