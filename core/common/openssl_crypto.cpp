// SPDX-License-Identifier: Apache-2.0
// HMAC-SHA1 and AES-128-CBC through OpenSSL's EVP interfaces.
#include "detail/openssl_crypto.h"

#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/params.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>

#include "detail/wiped_string.h"

namespace hxcore::detail {

namespace {

constexpr size_t kAesBlock = 16;

struct CipherContextDeleter {
  void operator()(EVP_CIPHER_CTX* ctx) const { EVP_CIPHER_CTX_free(ctx); }
};
using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, CipherContextDeleter>;

struct MacContextDeleter {
  void operator()(EVP_MAC_CTX* ctx) const { EVP_MAC_CTX_free(ctx); }
};
using MacContext = std::unique_ptr<EVP_MAC_CTX, MacContextDeleter>;

const unsigned char* bytesOf(const std::string& text) {
  return reinterpret_cast<const unsigned char*>(text.data());
}

// The first 16 bytes of a key or IV text, zero-filled when it is shorter, so
// OpenSSL never reads past a short text; wiped once the cipher is set up.
WipedString first16Bytes(const std::string& text) {
  WipedString bytes(kAesBlock);
  std::memcpy(bytes.data(), text.data(), std::min(text.size(), kAesBlock));
  return bytes;
}

// One update over the whole input and one final step. `checkFinal` false keeps
// the update's output when the final step fails (a malformed last block).
std::string runAes(bool encrypt, const std::string& input, const std::string& key,
                   const std::string& iv, bool checkFinal) {
  init_openssl();
  if (input.size() > static_cast<size_t>(INT_MAX) - kAesBlock) return std::string();
  WipedString keyBytes = first16Bytes(key);
  WipedString ivBytes = first16Bytes(iv);
  CipherContext ctx(EVP_CIPHER_CTX_new());
  if (!ctx || EVP_CIPHER_CTX_reset(ctx.get()) != 1 ||
      EVP_CipherInit_ex(ctx.get(), EVP_aes_128_cbc(), nullptr, bytesOf(keyBytes.str()),
                        bytesOf(ivBytes.str()), encrypt ? 1 : 0) != 1) {
    return std::string();
  }
  std::string output(input.size() / kAesBlock * kAesBlock + kAesBlock, '\0');
  auto* out = reinterpret_cast<unsigned char*>(output.data());
  int updated = 0;
  if (EVP_CipherUpdate(ctx.get(), out, &updated, bytesOf(input), static_cast<int>(input.size())) !=
      1) {
    return std::string();
  }
  int finished = 0;
  if (EVP_CipherFinal_ex(ctx.get(), out + updated, &finished) != 1) {
    if (checkFinal) return std::string();
    finished = 0;
  }
  output.resize(static_cast<size_t>(updated) + static_cast<size_t>(finished));
  return output;
}

}  // namespace

// Left to itself, OpenSSL registers its clean-up with atexit at its first use,
// and that clean-up then runs before the static destructors of whatever was
// constructed earlier: a client that stops a timer from such a destructor had
// its timer's AES running on a torn-down OpenSSL. Initialised first with
// NO_ATEXIT, OpenSSL registers no handler; what it holds goes with the process.
// (Where the process shares libcrypto, a client that initialised OpenSSL
// before the library keeps the handler it registered.)
void init_openssl() {
  static const bool initialised =
      OPENSSL_init_crypto(OPENSSL_INIT_NO_ATEXIT | OPENSSL_INIT_LOAD_CRYPTO_STRINGS, nullptr) == 1;
  (void)initialised;  // a failed start shows in the results of the calls that follow
}

HmacSha1::HmacSha1(const std::string& key) {
  init_openssl();
  EVP_MAC* hmac = EVP_MAC_fetch(nullptr, "HMAC", nullptr);
  if (hmac == nullptr) return;
  MacContext ctx(EVP_MAC_CTX_new(hmac));
  EVP_MAC_free(hmac);  // the context keeps its own reference
  char digestName[] = "SHA1";
  const OSSL_PARAM params[] = {
      OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digestName, 0),
      OSSL_PARAM_construct_end()};
  if (ctx && EVP_MAC_init(ctx.get(), bytesOf(key), key.size(), params) == 1) keyed_ = ctx.release();
}

HmacSha1::~HmacSha1() {
  EVP_MAC_CTX_free(spare_.exchange(nullptr));
  EVP_MAC_CTX_free(keyed_);
}

bool HmacSha1::sign(const std::string& message, unsigned char digest[kDigestSize]) const {
  if (keyed_ == nullptr) return false;
  // A spare context is re-initialised with the key it already holds, which
  // costs no allocation; a caller that finds no spare duplicates the keyed one.
  MacContext ctx(spare_.exchange(nullptr));
  if (!ctx || EVP_MAC_init(ctx.get(), nullptr, 0, nullptr) != 1) ctx.reset(EVP_MAC_CTX_dup(keyed_));
  size_t length = 0;
  const bool ok = ctx && EVP_MAC_update(ctx.get(), bytesOf(message), message.size()) == 1 &&
                  EVP_MAC_final(ctx.get(), digest, &length, kDigestSize) == 1 &&
                  length == kDigestSize;
  EVP_MAC_CTX* expected = nullptr;
  if (ok && spare_.compare_exchange_strong(expected, ctx.get())) ctx.release();
  return ok;
}

std::string aes_cbc_encrypt(const std::string& plain, const std::string& key,
                            const std::string& iv) {
  return runAes(true, plain, key, iv, true);
}

std::string aes_cbc_decrypt(const std::string& cipher, const std::string& key,
                            const std::string& iv) {
  return runAes(false, cipher, key, iv, false);
}

}  // namespace hxcore::detail
