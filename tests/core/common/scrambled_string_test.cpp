#include "detail/scrambled_string.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace hxcore::detail;

constexpr ScrambleKey kKey = {{0x01234567u, 0x89abcdefu, 0xfedcba98u, 0x76543210u}};

std::vector<unsigned char> encoded(const std::string& text, const ScrambleKey& key = kKey) {
  std::vector<unsigned char> storage(scrambledStorageSize(text.size()), 0xEE);
  size_t length = 0;
  const size_t returned = encodeScrambledString(text.c_str(), storage.data(), &length, key);
  EXPECT_EQ(returned, length);
  EXPECT_EQ(length + 1, storage.size());
  EXPECT_EQ(storage.back(), 0);
  return storage;
}

TEST(ScrambledString, EnciphersWithSixteenRoundXteaInLittleEndianWords) {
  // Worked out independently of this library.
  EXPECT_EQ(encoded("hxcore"), (std::vector<unsigned char>{0x08, 0x44, 0xf0, 0xbb, 0x27, 0x29, 0x55,
                                                           0x54, 0xd0, 0x00}));
  EXPECT_EQ(encoded("12345678"), (std::vector<unsigned char>{0x08, 0xbf, 0x62, 0x84, 0x33, 0xe4,
                                                             0x1d, 0xa2, 0x7f, 0x00}));
}

TEST(ScrambledString, PrefixesThePaddedLengthAsLeb128) {
  EXPECT_EQ(encoded("").size(), 2u);              // prefix 0, then the terminator
  EXPECT_EQ(encoded(std::string(7, 'a'))[0], 8);  // terminator inside the body
  EXPECT_EQ(encoded(std::string(8, 'a'))[0], 8);  // terminator after the body
  EXPECT_EQ(encoded(std::string(9, 'a'))[0], 16);
  const std::vector<unsigned char> long_ = encoded(std::string(130, 'a'));
  EXPECT_EQ(long_[0], 0x80 | (136 & 0x7F));
  EXPECT_EQ(long_[1], 136 >> 7);
  EXPECT_EQ(long_.size(), 2u + 136u + 1u);
}

TEST(ScrambledString, HidesTheText) {
  const std::string text = "PRIVATE KEY material";
  const std::vector<unsigned char> storage = encoded(text);
  EXPECT_EQ(std::string(storage.begin(), storage.end()).find("PRIVATE"), std::string::npos);
}

TEST(ScrambledString, DecodesEveryLengthInPlaceAndAgainToTheSameText) {
  for (const size_t length : {0u, 1u, 7u, 8u, 9u, 15u, 16u, 17u, 127u, 128u, 1700u, 20000u}) {
    std::string text(length, '\0');
    for (size_t i = 0; i < length; ++i) text[i] = static_cast<char>('!' + i % 90);
    std::vector<unsigned char> storage = encoded(text);
    const char* first = decodeScrambledString(storage.data(), storage.size(), kKey);
    ASSERT_NE(first, nullptr) << length;
    EXPECT_EQ(std::string(first), text) << length;
    EXPECT_EQ(storage[0], 0) << "prefix zeroed";
    const char* second = decodeScrambledString(storage.data(), storage.size(), kKey);
    EXPECT_EQ(second, first) << length;
    EXPECT_EQ(std::string(second), text) << length;
  }
}

TEST(ScrambledString, DecodesStorageOfZerosAsTheEmptyText) {
  for (size_t size = 1; size < 12; ++size) {
    std::vector<unsigned char> zeros(size, 0);
    const char* plain = decodeScrambledString(zeros.data(), zeros.size(), kKey);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain, reinterpret_cast<const char*>(zeros.data() + size - 1));
  }
}

TEST(ScrambledString, AnotherKeyGivesAnotherText) {
  std::vector<unsigned char> storage = encoded("a secret text");
  ScrambleKey other = kKey;
  other[2] ^= 1;
  EXPECT_NE(std::string(decodeScrambledString(storage.data(), storage.size(), other)),
            "a secret text");
}

TEST(ScrambledString, RefusesStorageItCannotHoldTheTextIn) {
  std::vector<unsigned char> storage = encoded("twelve chars");
  EXPECT_EQ(decodeScrambledString(storage.data(), storage.size() - 1, kKey),
            nullptr);  // last byte not zero
  std::vector<unsigned char> cut(storage.begin(), storage.begin() + 9);
  cut.push_back(0);
  EXPECT_EQ(decodeScrambledString(cut.data(), cut.size(), kKey),
            nullptr);  // body longer than storage
  std::vector<unsigned char> endless(12, 0xFF);
  endless.push_back(0);
  EXPECT_EQ(decodeScrambledString(endless.data(), endless.size(), kKey),
            nullptr);  // prefix never ends
  std::vector<unsigned char> odd = {5, 1, 2, 3, 4, 5, 0};
  EXPECT_EQ(decodeScrambledString(odd.data(), odd.size(), kKey), nullptr);  // not whole blocks
  EXPECT_EQ(decodeScrambledString(odd.data(), 0, kKey), nullptr);
}

TEST(StoredLineBreaks, FoldAndRestoreAPemText) {
  const std::string pem = "-----BEGIN X-----\nQUJD\nREVG\n-----END X-----\n";
  EXPECT_EQ(foldLineBreaks(pem), "-----BEGIN X-----==QUJD==REVG==-----END X-----==");
  EXPECT_EQ(restoreLineBreaks(foldLineBreaks(pem)), pem);
}

TEST(StoredLineBreaks, ALineEndingInEqualsDoesNotSurvive) {
  // The restore resumes after each break, so "Zg=" + "==" comes back as "Zg\n=".
  EXPECT_EQ(restoreLineBreaks("Zg===END"), "Zg\n=END");
  EXPECT_EQ(restoreLineBreaks("a====b"), "a\n\nb");
}

}  // namespace
