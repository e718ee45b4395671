// MMD5 against OpenSSL's MD5 on random messages.
#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <cstring>
#include <random>
#include <string>

#include "MMD5.h"

namespace {

std::string openssl_md5(const std::string& message) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  EXPECT_EQ(EVP_Digest(message.data(), message.size(), digest, &size, EVP_md5(), nullptr), 1);
  return std::string(reinterpret_cast<char*>(digest), size);
}

std::string random_bytes(std::mt19937& random, size_t size) {
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random());
  return bytes;
}

TEST(MD5Oracle, EveryLengthUpTo300Bytes) {
  std::mt19937 random(1321);
  for (size_t size = 0; size <= 300; ++size) {
    const std::string message = random_bytes(random, size);
    char digest[16];
    mvc::MMD5::Digest(message.data(), static_cast<int>(size), digest);
    ASSERT_EQ(std::string(digest, 16), openssl_md5(message)) << size;
  }
}

TEST(MD5Oracle, MegabytesInRandomPiecesAndCopiesTakenMidway) {
  std::mt19937 random(7);
  for (size_t size : {size_t{1} << 20, size_t{3} * 1000 * 1000 + 17}) {
    const std::string message = random_bytes(random, size);
    mvc::MMD5 context, copy;
    context.Init();
    size_t copied_at = 0;
    for (size_t at = 0; at < size;) {
      const size_t piece = std::min<size_t>(random() % 5000, size - at);
      context.Update(message.data() + at, static_cast<int>(piece));
      at += piece;
      if (copied_at == 0 && at > size / 3) {
        copy = context;
        copied_at = at;
      }
    }
    copy.Update(message.data() + copied_at, static_cast<int>(size - copied_at));
    char digest[16], copy_digest[16];
    context.Final(digest);
    copy.Final(copy_digest);
    EXPECT_EQ(std::string(digest, 16), openssl_md5(message)) << size;
    EXPECT_EQ(std::memcmp(digest, copy_digest, 16), 0) << size;
  }
}

// Past 2^32 bits the bit count carries into its high word.
TEST(MD5Oracle, MessagesPast512MiBCarryTheBitCount) {
  std::mt19937 random(29);
  const std::string chunk = random_bytes(random, 1 << 20);
  EVP_MD_CTX* oracle = EVP_MD_CTX_new();
  ASSERT_EQ(EVP_DigestInit_ex(oracle, EVP_md5(), nullptr), 1);
  mvc::MMD5 context;
  context.Init();
  for (int i = 0; i < 513; ++i) {
    context.Update(chunk.data(), static_cast<int>(chunk.size()) - (i == 512 ? 1000 : 0));
    EVP_DigestUpdate(oracle, chunk.data(), chunk.size() - (i == 512 ? 1000 : 0));
  }
  unsigned char expected[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  EVP_DigestFinal_ex(oracle, expected, &size);
  EVP_MD_CTX_free(oracle);
  char digest[16];
  context.Final(digest);
  EXPECT_EQ(std::memcmp(digest, expected, 16), 0);
}

}  // namespace
