#include "detail/base64.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using hxcore::detail::base64Decode;
using hxcore::detail::base64Encode;

struct Vector {
  const char* plain;
  const char* encoded;
};

// RFC 4648, section 10.
constexpr Vector kRfc4648[] = {{"", ""},
                               {"f", "Zg=="},
                               {"fo", "Zm8="},
                               {"foo", "Zm9v"},
                               {"foob", "Zm9vYg=="},
                               {"fooba", "Zm9vYmE="},
                               {"foobar", "Zm9vYmFy"}};

std::string decoded(const std::string& text, bool expectSuccess = true) {
  std::string out;
  EXPECT_EQ(base64Decode(text, out), expectSuccess) << text;
  return out;
}

TEST(Base64Encode, MatchesTheRfc4648Vectors) {
  for (const Vector& v : kRfc4648) {
    std::string out = "stale";
    ASSERT_TRUE(base64Encode(std::string(v.plain), out));
    EXPECT_EQ(out, v.encoded);
  }
}

TEST(Base64Encode, BufferFormRefusesASmallBufferAndWritesNothing) {
  const unsigned char bytes[] = {'f', 'o', 'o', 'b'};
  char out[8];
  std::memset(out, '#', sizeof(out));
  EXPECT_FALSE(base64Encode(bytes, sizeof(bytes), out, 7));
  EXPECT_EQ(std::string(out, 8), "########");
  EXPECT_TRUE(base64Encode(bytes, sizeof(bytes), out, 8));
  EXPECT_EQ(std::string(out, 8), "Zm9vYg==");
}

TEST(Base64Encode, AgreesWithOpenSslOnEveryLengthAndByte) {
  std::mt19937 random(7);
  for (size_t length = 0; length < 300; ++length) {
    std::string bytes(length, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    std::string ours;
    ASSERT_TRUE(base64Encode(bytes, ours));
    std::vector<unsigned char> theirs(4 * ((length + 2) / 3) + 1);
    const int n =
        EVP_EncodeBlock(theirs.data(), reinterpret_cast<const unsigned char*>(bytes.data()),
                        static_cast<int>(length));
    ASSERT_EQ(ours, std::string(reinterpret_cast<char*>(theirs.data()), static_cast<size_t>(n)));
    std::string back;
    ASSERT_TRUE(base64Decode(ours, back));
    ASSERT_EQ(back, bytes);
  }
}

TEST(Base64Decode, MatchesTheRfc4648Vectors) {
  for (const Vector& v : kRfc4648) EXPECT_EQ(decoded(v.encoded), v.plain);
}

TEST(Base64Decode, AcceptsTextWithoutPadding) {
  EXPECT_EQ(decoded("Zg"), "f");
  EXPECT_EQ(decoded("Zm8"), "fo");
  EXPECT_EQ(decoded("Zm9vYg"), "foob");
  EXPECT_EQ(decoded("Z"), "");  // one character carries no whole byte
}

TEST(Base64Decode, ReadsAForeignCharacterAs255AddedIntoItsNeighbours) {
  // Q, U, J are 16, 20, 9; "!" is 255, and (9 << 6) + 255 wraps to 63.
  EXPECT_EQ(decoded("QUJ!"), "AB?");
  EXPECT_EQ(decoded("!!!!"), "\xff\xff\xbf");  // (255 << 6) + 255 wraps to 0xbf
  // A line break is not skipped: it is one more (foreign) character.
  EXPECT_EQ(decoded("Zm9v\nYmFy").size(), 6u);
}

TEST(Base64Decode, FailsOnAnEqualsSignInsideTheText) {
  EXPECT_EQ(decoded("Zg==Zg==", false), std::string("f\0\0\0", 4));
  decoded("Zm9v=mFy", false);
  decoded("Zg===", false);
}

TEST(Base64Decode, FailsWhenTheAnnouncedLengthIsNegative) {
  EXPECT_EQ(decoded("=", false), "");
  EXPECT_EQ(decoded("====", false), "");
  unsigned char out[4] = {1, 2, 3, 4};
  EXPECT_FALSE(base64Decode("==", 2, out, sizeof(out)));
  EXPECT_EQ(out[0], 1);
}

TEST(Base64Decode, BufferFormRefusesASmallBufferAndNeverWritesPastTheAnnouncedLength) {
  unsigned char out[8];
  std::memset(out, '#', sizeof(out));
  EXPECT_FALSE(base64Decode("Zm9vYmFy", 8, out, 5));
  EXPECT_EQ(out[0], '#');
  // Two pads announce 4 bytes, but the text before them holds 6.
  std::memset(out, '#', sizeof(out));
  EXPECT_FALSE(base64Decode("Zm9vYmFy==", 10, out, 5));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 6), "fooba#");
  EXPECT_TRUE(base64Decode("Zm9vYmFy", 8, out, 6));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 6), "foobar");
}

}  // namespace
