// SPDX-License-Identifier: Apache-2.0
// detail/openssl_crypto.h - HMAC-SHA1 and AES-128-CBC over OpenSSL 3's EVP API.
//
// `HmacSha1` keys a MAC context once; each message reuses a spare context
// re-initialised under that key (or, when another thread holds the spare, a
// duplicate of the keyed one), so a signature costs no algorithm fetch, no key
// schedule and, on one thread, no allocation. The AES routines use
// PKCS #7 padding and read the first 16 bytes of the key and IV texts (a
// shorter text is completed with zero bytes). OpenSSL keeps none of the caller's buffers.
// Thread-safe: `sign` takes the spare atomically and otherwise only reads. Example:
//   HmacSha1 mac("secret"); unsigned char d[HmacSha1::kDigestSize];
//   if (mac.sign("text", d)) { /* 20 bytes in d */ }
#pragma once

#include <atomic>
#include <cstddef>
#include <string>

// OpenSSL's own opaque type, declared as <openssl/types.h> does.
typedef struct evp_mac_ctx_st EVP_MAC_CTX;

namespace hxcore::detail {

// Initialises OpenSSL once per process, before any other OpenSSL call of the
// library, without the exit handler OpenSSL would otherwise register: every
// entry point that uses OpenSSL (signing, AES, RSA, identifiers, libcurl's
// set-up) calls it first. Cheap after the first call; thread-safe.
void init_openssl();

class HmacSha1 {
 public:
  static constexpr size_t kDigestSize = 20;

  // Prepares the MAC under `key` (any bytes, any length); `ready()` tells
  // whether OpenSSL accepted it.
  explicit HmacSha1(const std::string& key);
  ~HmacSha1();
  HmacSha1(const HmacSha1&) = delete;
  HmacSha1& operator=(const HmacSha1&) = delete;

  bool ready() const { return keyed_ != nullptr; }
  // The digest of `message` (its full length); false when OpenSSL fails.
  bool sign(const std::string& message, unsigned char digest[kDigestSize]) const;

 private:
  EVP_MAC_CTX* keyed_ = nullptr;
  mutable std::atomic<EVP_MAC_CTX*> spare_{nullptr};
};

// The padded ciphertext: (plain.size() / 16 + 1) * 16 bytes; "" only when
// OpenSSL fails.
std::string aes_cbc_encrypt(const std::string& plain, const std::string& key,
                            const std::string& iv);

// The plain text. The padding check of the last block is not examined: when it
// fails the result holds what the blocks before it gave.
std::string aes_cbc_decrypt(const std::string& cipher, const std::string& key,
                            const std::string& iv);

}  // namespace hxcore::detail
