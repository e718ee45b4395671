// SPDX-License-Identifier: Apache-2.0
#include "detail/openssl_crypto.h"

#include "platform_test_support.h"

namespace {

using namespace hxcore::detail;

// Each call starts from the prepared key alone, on any thread; the key holds a zero byte.
TEST(HmacSha1, SignsEachMessageAloneFromManyThreadsAtOnce) {
  const std::string key("\0shared\xff key", 12);
  const HmacSha1 mac(key);
  std::vector<int> wrong(4, 0);
  hxtest::runTogether(4, [&](int t) {
    for (int i = 0; i < 300; ++i) {
      const std::string message(static_cast<size_t>(i * (t + 1) % 97), static_cast<char>('a' + t));
      unsigned char digest[HmacSha1::kDigestSize];
      wrong[t] += !mac.sign(message, digest) || std::string(reinterpret_cast<char*>(digest), 20) !=
                                                    hxtest::opensslHmacSha1(key, message);
    }
  });
  EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

TEST(AesCbc, ReadsSixteenKeyBytesZeroFilledAndKeepsWhatTheUpdateGaveOfACutCiphertext) {
  const std::string zeroFilled("short\0\0\0\0\0\0\0\0\0\0\0", 16), iv(16, 'i'), plain(50, 'p');
  const std::string cipher = aes_cbc_encrypt(plain, zeroFilled, iv);
  EXPECT_EQ(aes_cbc_encrypt(plain, "short", iv), cipher);
  EXPECT_EQ(aes_cbc_encrypt(plain, zeroFilled + "ignored", iv), cipher);
  EXPECT_NE(aes_cbc_encrypt(plain, "shorT", iv), cipher);
  EXPECT_EQ(aes_cbc_decrypt(cipher, "short", iv), plain);
  // A partial block is dropped; a held-back last block fails its padding check.
  EXPECT_EQ(aes_cbc_decrypt(cipher.substr(0, 40), zeroFilled, iv), plain.substr(0, 32));
  EXPECT_EQ(aes_cbc_decrypt(cipher.substr(0, 48), zeroFilled, iv), plain.substr(0, 32));
  EXPECT_EQ(aes_cbc_decrypt("", zeroFilled, iv), "");
}

}  // namespace
