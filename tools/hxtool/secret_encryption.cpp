// SPDX-License-Identifier: Apache-2.0
// RSA encryption of an application secret with OpenSSL, as a client does it.
#include "secret_encryption.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <vector>

namespace hxtool {

bool encrypt_secret(const std::string& publicKeyPem, const std::string& secret, std::string& base64,
                    std::string& error) {
  BIO* bio = BIO_new_mem_buf(publicKeyPem.data(), static_cast<int>(publicKeyPem.size()));
  EVP_PKEY* key = bio != nullptr ? PEM_read_bio_PUBKEY(bio, nullptr, nullptr, nullptr) : nullptr;
  BIO_free(bio);
  if (key == nullptr) {
    error = "not a PEM public key";
    return false;
  }
  EVP_PKEY_CTX* ctx = EVP_PKEY_CTX_new_from_pkey(nullptr, key, nullptr);
  std::vector<unsigned char> cipher(static_cast<size_t>(EVP_PKEY_get_size(key)));
  size_t length = cipher.size();
  const bool ok =
      ctx != nullptr && EVP_PKEY_encrypt_init(ctx) == 1 &&
      EVP_PKEY_CTX_set_rsa_padding(ctx, RSA_PKCS1_PADDING) == 1 &&
      EVP_PKEY_encrypt(ctx, cipher.data(), &length,
                       reinterpret_cast<const unsigned char*>(secret.data()), secret.size()) == 1;
  EVP_PKEY_CTX_free(ctx);
  EVP_PKEY_free(key);
  if (!ok) {
    const char* reason = ERR_reason_error_string(ERR_get_error());
    error = std::string("encryption failed: ") + (reason != nullptr ? reason : "unknown error");
    ERR_clear_error();
    return false;
  }
  std::vector<unsigned char> text(4 * ((length + 2) / 3) + 1);
  const int written = EVP_EncodeBlock(text.data(), cipher.data(), static_cast<int>(length));
  base64.assign(reinterpret_cast<const char*>(text.data()), static_cast<size_t>(written));
  return true;
}

}  // namespace hxtool
