#include "detail/openssl_crypto.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using hxcore::detail::HmacSha1;

std::string opensslHmac(const std::string& key, const std::string& message) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  HMAC(EVP_sha1(), key.data(), static_cast<int>(key.size()),
       reinterpret_cast<const unsigned char*>(message.data()), message.size(), digest, &length);
  return std::string(reinterpret_cast<char*>(digest), length);
}

std::string sign(const HmacSha1& mac, const std::string& message) {
  unsigned char digest[HmacSha1::kDigestSize];
  EXPECT_TRUE(mac.sign(message, digest));
  return std::string(reinterpret_cast<char*>(digest), sizeof(digest));
}

TEST(HmacSha1, EachMessageStartsFromTheKeyAlone) {
  const HmacSha1 mac("key");
  ASSERT_TRUE(mac.ready());
  // The same message twice, and a message after a longer one, give the
  // digest of that message alone.
  for (const char* message : {"first", "first", "a much longer second message", "", "first"}) {
    EXPECT_EQ(sign(mac, message), opensslHmac("key", message)) << message;
  }
}

TEST(HmacSha1, TakesAnyKeyBytes) {
  const std::string key("\0\xff\0key", 6);
  EXPECT_EQ(sign(HmacSha1(key), "m"), opensslHmac(key, "m"));
  EXPECT_EQ(sign(HmacSha1(std::string(200, 'k')), "m"), opensslHmac(std::string(200, 'k'), "m"));
}

TEST(HmacSha1, SignsFromManyThreadsAtOnce) {
  const HmacSha1 mac("shared key");
  constexpr int kThreads = 4;
  std::mutex mutex;
  std::condition_variable go;
  int ready = 0;
  std::vector<int> wrong(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      {
        std::unique_lock<std::mutex> lock(mutex);
        ++ready;
        go.notify_all();
        go.wait(lock, [&] { return ready == kThreads; });
      }
      for (int i = 0; i < 300; ++i) {
        const std::string message = std::to_string(t) + "/" + std::to_string(i);
        unsigned char digest[HmacSha1::kDigestSize];
        if (!mac.sign(message, digest) ||
            std::string(reinterpret_cast<char*>(digest), sizeof(digest)) !=
                opensslHmac("shared key", message)) {
          ++wrong[t];
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong, std::vector<int>(kThreads, 0));
}

TEST(AesCbc, CompletesAShortKeyWithZeroBytes) {
  const std::string zeroFilled("short\0\0\0\0\0\0\0\0\0\0\0", 16);
  const std::string iv(16, 'i');
  EXPECT_EQ(hxcore::detail::aesCbcEncrypt("text", "short", iv),
            hxcore::detail::aesCbcEncrypt("text", zeroFilled, iv));
  EXPECT_EQ(hxcore::detail::aesCbcEncrypt("text", zeroFilled + "ignored", iv),
            hxcore::detail::aesCbcEncrypt("text", zeroFilled, iv));
  EXPECT_NE(hxcore::detail::aesCbcEncrypt("text", "short", iv),
            hxcore::detail::aesCbcEncrypt("text", "shorT", iv));
}

TEST(AesCbc, DecryptOfATruncatedCiphertextKeepsWhatTheUpdateGave) {
  const std::string key(16, 'k');
  const std::string iv(16, 'v');
  const std::string plain(50, 'p');
  const std::string cipher = hxcore::detail::aesCbcEncrypt(plain, key, iv);
  ASSERT_EQ(cipher.size(), 64u);
  EXPECT_EQ(hxcore::detail::aesCbcDecrypt(cipher, key, iv), plain);
  // Cut inside a block: the whole blocks decrypt, the partial one is dropped.
  EXPECT_EQ(hxcore::detail::aesCbcDecrypt(cipher.substr(0, 40), key, iv), plain.substr(0, 32));
  // Cut at a block edge: the held-back last block fails its padding check.
  EXPECT_EQ(hxcore::detail::aesCbcDecrypt(cipher.substr(0, 48), key, iv), plain.substr(0, 32));
  EXPECT_EQ(hxcore::detail::aesCbcDecrypt("", key, iv), "");
}

}  // namespace
