// SPDX-License-Identifier: Apache-2.0
// platform_test_support.h - the build's key material, RSA and HMAC done with OpenSSL, stand-in
// stored secrets, and threads started together.
#pragma once

#include <gtest/gtest.h>
#include <openssl/hmac.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <fstream>
#include <future>
#include <list>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "detail/base64.h"
#include "detail/stored_secrets.h"
#include "log_capture.h"

namespace hxtest {

inline std::string readFile(const std::string& path) {
  std::ostringstream content;
  content << std::ifstream(path, std::ios::binary).rdbuf();
  return content.str();
}

// A file of the secrets folder this build was made from.
inline std::string secretFile(const std::string& name) {
  return readFile(std::string(HXCORE_TEST_SECRETS_DIR) + "/" + name);
}

inline const unsigned char* bytesOf(const std::string& s) {
  return reinterpret_cast<const unsigned char*>(s.data());
}

inline std::string base64Of(const std::string& bytes) {
  std::string text;
  hxcore::detail::base64_encode(bytes, text);
  return text;
}

inline std::string opensslHmacSha1(const std::string& key, const std::string& data) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  HMAC(EVP_sha1(), key.data(), static_cast<int>(key.size()), bytesOf(data), data.size(), digest,
       &length);
  return std::string(reinterpret_cast<char*>(digest), length);
}

// `in` encrypted under the public half of the build's key, in Base64 as a client hands it over.
inline std::string encryptedForLibrary(const std::string& in, int padding = RSA_PKCS1_PADDING) {
  const std::string pem = secretFile("rsa_public_key.pem");
  BIO* bio = BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size()));
  EVP_PKEY* key = PEM_read_bio_PUBKEY(bio, nullptr, nullptr, nullptr);
  EVP_PKEY_CTX* ctx = EVP_PKEY_CTX_new_from_pkey(nullptr, key, nullptr);
  std::string out(static_cast<size_t>(EVP_PKEY_get_size(key)), '\0');
  size_t n = out.size();
  EXPECT_TRUE(EVP_PKEY_encrypt_init(ctx) == 1 && EVP_PKEY_CTX_set_rsa_padding(ctx, padding) == 1 &&
              EVP_PKEY_encrypt(ctx, reinterpret_cast<unsigned char*>(&out[0]), &n, bytesOf(in),
                               in.size()) == 1);
  EVP_PKEY_CTX_free(ctx), EVP_PKEY_free(key), BIO_free(bio);
  return base64Of(out.substr(0, n));
}

// `text` as a stored string scrambled with the library's key, kept for the process.
inline hxcore::detail::StoredString scrambled(const std::string& text) {
  using namespace hxcore::detail;
  static std::list<std::vector<unsigned char>> kept;
  std::vector<unsigned char>& s = kept.emplace_back(scrambled_storage_size(text.size()));
  encode_scrambled_string(text.c_str(), s.data(), nullptr, kTable0);
  return {s.data(), s.size()};
}

// Runs body(0..threads-1) on as many threads, released together.
template <typename Body>
void runTogether(int threads, Body body) {
  std::promise<void> go;
  const std::shared_future<void> released = go.get_future().share();
  std::vector<std::thread> running;
  for (int i = 0; i < threads; ++i) running.emplace_back([&, i] { released.wait(), body(i); });
  go.set_value();
  for (std::thread& thread : running) thread.join();
}

}  // namespace hxtest
