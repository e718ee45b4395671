// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "MMD5.h"

namespace {

// Every length to 300 bytes, then up to past 2^32 bits, in random pieces; a midway copy too.
// The one-call digests, upper-case hex and exactly 16 bytes, for every length to 300.
TEST(MD5Oracle, AgreesOnEveryLengthTo300BytesAndOnMegabytesInRandomPieces) {
  constexpr size_t kPeriod = 999983, kMaxPiece = 5000;
  std::mt19937 random(1321);
  std::string bytes(kPeriod, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random());
  bytes += bytes.substr(0, kMaxPiece);  // a piece may run past the period's end
  constexpr size_t kLarge[] = {size_t{1} << 20, 3000017, (size_t{1} << 29) + 100003};
  for (size_t n = 0; n <= 303; ++n) {
    const size_t size = n <= 300 ? n : kLarge[n - 301];
    unsigned char expected[EVP_MAX_MD_SIZE];
    char digest[16], copy_digest[16];
    const size_t copy_at = size - std::min<size_t>(size / 2, 1000003);
    mvc::MMD5 context, copy;
    context.Init();
    copy.Init();  // for the empty message
    EVP_MD_CTX* oracle = EVP_MD_CTX_new();
    EVP_DigestInit_ex(oracle, EVP_md5(), nullptr);
    for (size_t at = 0; at < size;) {
      const size_t piece = std::min<size_t>(random() % (size <= 300 ? 70 : kMaxPiece), size - at);
      const char* data = bytes.data() + at % kPeriod;
      if (at >= copy_at) copy.Update(data, static_cast<int>(piece));
      context.Update(data, static_cast<int>(piece));
      EVP_DigestUpdate(oracle, data, piece);
      at += piece;
      if (at - piece < copy_at && at >= copy_at) copy = context;
    }
    EVP_DigestFinal_ex(oracle, expected, nullptr);
    EVP_MD_CTX_free(oracle);
    context.Final(digest);
    copy.Final(copy_digest);
    EXPECT_EQ(std::memcmp(digest, expected, 16), 0) << size;
    EXPECT_EQ(std::memcmp(copy_digest, expected, 16), 0) << size;
    if (size > 300) continue;
    char hex[33], binary[17];
    for (int i = 0; i < 16; ++i) std::snprintf(hex + 2 * i, 3, "%02X", expected[i]);
    binary[16] = 0x5A;
    mvc::MStr one_call;
    mvc::MMD5::Digest(bytes.data(), static_cast<int>(size), &one_call);
    mvc::MMD5::Digest(bytes.data(), static_cast<int>(size), binary);
    EXPECT_STREQ(one_call.c_str(), hex) << size;
    EXPECT_TRUE(std::memcmp(binary, expected, 16) == 0 && binary[16] == 0x5A) << size;
  }
}

}  // namespace
