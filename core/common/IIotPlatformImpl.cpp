// SPDX-License-Identifier: Apache-2.0
// The platform interface's own code: its destructor and RSA decryption of the
// application secret (OpenSSL stays out of the public header).
#include "IIotPlatformImpl.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <climits>
#include <memory>

#include "detail/base64.h"
#include "detail/log.h"
#include "detail/openssl_crypto.h"
#include "detail/wiped_string.h"

namespace {

constexpr char kRsaDecrypt[] = "IIotPlatformImpl::opensslRsaDecrypt";

struct PkeyDeleter {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct PkeyContextDeleter {
  void operator()(EVP_PKEY_CTX* ctx) const { EVP_PKEY_CTX_free(ctx); }
};
using Pkey = std::unique_ptr<EVP_PKEY, PkeyDeleter>;
using PkeyContext = std::unique_ptr<EVP_PKEY_CTX, PkeyContextDeleter>;

// An encrypted key gets no password (and no prompt on a terminal).
int refusePassword(char* /*buffer*/, int /*size*/, int /*rwflag*/, void* /*user*/) { return 0; }

// An RSA private key from PEM text (PKCS #1 or PKCS #8), or null.
Pkey loadRsaPrivateKey(const std::string& pem) {
  if (pem.size() > static_cast<size_t>(INT_MAX)) return nullptr;
  BIO* bio = BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size()));
  if (bio == nullptr) return nullptr;
  Pkey key(PEM_read_bio_PrivateKey(bio, nullptr, refusePassword, nullptr));
  BIO_free(bio);
  if (key && EVP_PKEY_is_a(key.get(), "RSA") != 1) key.reset();
  return key;
}

// A context for PKCS #1 v1.5 decryption that reports a bad padding as an
// error. OpenSSL 3.2 and later answer a bad padding with a random plain text
// unless implicit rejection is switched off; older releases do not know the
// switch, and their complaint about it is dropped.
PkeyContext pkcs1DecryptContext(EVP_PKEY* key) {
  PkeyContext ctx(EVP_PKEY_CTX_new_from_pkey(nullptr, key, nullptr));
  if (!ctx || EVP_PKEY_decrypt_init(ctx.get()) != 1 ||
      EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_PADDING) != 1) {
    return nullptr;
  }
  ERR_set_mark();
  EVP_PKEY_CTX_ctrl_str(ctx.get(), "rsa_pkcs1_implicit_rejection", "0");
  ERR_pop_to_mark();
  return ctx;
}

}  // namespace

IIotPlatformImpl::~IIotPlatformImpl() = default;

std::string IIotPlatformImpl::opensslRsaDecrypt(const std::string& cipherBase64,
                                                const std::string& privateKeyPem) {
  using hxcore::detail::base64_decode;
  if (cipherBase64.empty()) return HX_FAIL(std::string(), kRsaDecrypt, "Invalid ciphertext.");
  // A text whose announced length is negative ("=" only) fails here too.
  std::string cipher;
  if (!base64_decode(cipherBase64, cipher)) {
    return HX_FAIL(std::string(), kRsaDecrypt, "Ciphertext[%s] base64 decode failed.",
                   cipherBase64.c_str());
  }

  hxcore::detail::init_openssl();
  ERR_clear_error();
  const Pkey key = loadRsaPrivateKey(privateKeyPem);
  if (!key) {
    ERR_clear_error();
    return HX_FAIL(std::string(), kRsaDecrypt, "RSA private key load failed.");
  }

  // The secret lands here first; the result below is the copy the caller keeps.
  hxcore::detail::WipedString plain(static_cast<size_t>(EVP_PKEY_get_size(key.get())) + 1);
  size_t plainLength = plain.size();
  const PkeyContext ctx = pkcs1DecryptContext(key.get());
  const int result =
      ctx ? EVP_PKEY_decrypt(ctx.get(), reinterpret_cast<unsigned char*>(plain.data()),
                             &plainLength, reinterpret_cast<const unsigned char*>(cipher.data()),
                             cipher.size())
          : -1;
  if (result != 1) {
    // The EVP call answers 0 or a negative code; the record shows -1 for 0,
    // the value RSA's own decrypt call gives on every failure.
    const unsigned long error = ERR_get_error();
    const char* reason = ERR_reason_error_string(error);
    ERR_clear_error();
    return HX_FAIL(std::string(), kRsaDecrypt, "RSA decrypt failed err=%d %s",
                   result < 0 ? result : -1, reason != nullptr ? reason : "unknown error");
  }
  return std::string(plain.data(), plainLength);
}
