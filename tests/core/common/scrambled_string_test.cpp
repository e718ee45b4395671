// SPDX-License-Identifier: Apache-2.0
#include "detail/scrambled_string.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace hxcore::detail;
using Bytes = std::vector<unsigned char>;

constexpr ScrambleKey kKey = {{0x01234567u, 0x89abcdefu, 0xfedcba98u, 0x76543210u}};

Bytes encoded(const std::string& text) {
  Bytes storage(scrambled_storage_size(text.size()), 0xEE);
  size_t length = 0;
  EXPECT_EQ(encode_scrambled_string(text.c_str(), storage.data(), &length, kKey), length);
  EXPECT_EQ(length + 1, storage.size());  // then the zero the decoder looks for
  return storage;
}

const char* decoded(Bytes& storage, size_t size, const ScrambleKey& key = kKey) {
  return decode_scrambled_string(storage.data(), size, key);
}

TEST(ScrambledString, EnciphersWithSixteenRoundXteaInLittleEndianWords) {
  // Worked out independently of this library.
  EXPECT_EQ(encoded("hxcore"), (Bytes{0x08, 0x44, 0xf0, 0xbb, 0x27, 0x29, 0x55, 0x54, 0xd0, 0}));
  EXPECT_EQ(encoded("12345678"), (Bytes{0x08, 0xbf, 0x62, 0x84, 0x33, 0xe4, 0x1d, 0xa2, 0x7f, 0}));
}

TEST(ScrambledString, PrefixesTheBodyLengthAsLeb128AndDecodesInPlaceTwice) {
  // {text length, LEB128 of the body length}
  const std::pair<size_t, Bytes> rows[] = {{0, {0}},     {7, {8}},         {8, {8}},
                                           {9, {16}},    {120, {120}},     {121, {0x80, 1}},
                                           {20000, {0xA0, 0x9C, 1}}};
  for (const auto& [length, prefix] : rows) {
    SCOPED_TRACE(length);
    std::string text(length, '\0');
    for (size_t i = 0; i < length; ++i) text[i] = static_cast<char>('!' + i % 90);
    Bytes storage = encoded(text);
    EXPECT_EQ(Bytes(storage.begin(), storage.begin() + prefix.size()), prefix);
    EXPECT_EQ(storage.size(), prefix.size() + (length + 7) / 8 * 8 + 1);
    const char* first = decoded(storage, storage.size());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(std::string(first), text);
    EXPECT_EQ(decoded(storage, storage.size()), first);  // not deciphered twice
    EXPECT_EQ(std::string(first), text);
  }
}

TEST(ScrambledString, DecodesZerosAsTheEmptyTextAndRefusesStorageThatCannotHoldIt) {
  for (size_t size = 1; size < 12; ++size) {
    Bytes zeros(size, 0);
    EXPECT_EQ(decoded(zeros, size), reinterpret_cast<const char*>(&zeros.back()));
  }
  Bytes twelve = encoded("twelve chars"), secret = encoded("a secret"), endless(13, 0xFF);
  Bytes odd = {5, 1, 2, 3, 4, 5, 0};
  Bytes cut(twelve.begin(), twelve.end() - 1);  // the body ends the storage
  cut.back() = endless.back() = 0;
  twelve.back() = 'x';
  EXPECT_EQ(decoded(twelve, twelve.size()), nullptr);    // last byte not zero
  EXPECT_EQ(decoded(cut, cut.size()), nullptr);          // no room for the final zero
  EXPECT_EQ(decoded(endless, endless.size()), nullptr);  // prefix never ends
  EXPECT_EQ(decoded(odd, odd.size()), nullptr);          // not whole blocks
  EXPECT_EQ(decoded(odd, 0), nullptr);
  ScrambleKey other = kKey;
  other[2] ^= 1;
  EXPECT_STRNE(decoded(secret, secret.size(), other), "a secret");
}

TEST(StoredLineBreaks, FoldAndRestoreButNotALineEndingInEquals) {
  EXPECT_EQ(fold_line_breaks("-----BEGIN X-----\nQUJD\n"), "-----BEGIN X-----==QUJD==");
  // The restore resumes after each break, so "Zg=" + "==" comes back as "Zg\n=".
  EXPECT_EQ(restore_line_breaks("Zg===END"), "Zg\n=END");
  EXPECT_EQ(restore_line_breaks("a====b"), "a\n\nb");
}

}  // namespace
