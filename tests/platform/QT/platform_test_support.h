// platform_test_support.h - what the platform tests share: the build's key
// material, RSA encryption done independently with OpenSSL, stand-in stored
// secrets, and the error records a call wrote.
#pragma once

#include <gtest/gtest.h>
#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "detail/base64.h"
#include "detail/stored_secrets.h"
#include "log_capture.h"

namespace hxtest {

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

// A file of the secrets folder this build was made from.
inline std::string secretFile(const std::string& name) {
  return readFile(std::string(HXCORE_TEST_SECRETS_DIR) + "/" + name);
}

inline std::string base64Of(const std::string& bytes) {
  std::string text;
  hxcore::detail::base64Encode(bytes, text);
  return text;
}

struct PkeyFree {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
using Pkey = std::unique_ptr<EVP_PKEY, PkeyFree>;

inline Pkey publicKeyFromPem(const std::string& pem) {
  BIO* bio = BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size()));
  Pkey key(PEM_read_bio_PUBKEY(bio, nullptr, nullptr, nullptr));
  BIO_free(bio);
  return key;
}

inline Pkey newRsaKey(unsigned bits) { return Pkey(EVP_RSA_gen(bits)); }

// RSA encryption of `plain` under `key` with `padding`; raw bytes.
inline std::string rsaEncrypt(EVP_PKEY* key, const std::string& plain,
                              int padding = RSA_PKCS1_PADDING) {
  EVP_PKEY_CTX* ctx = EVP_PKEY_CTX_new_from_pkey(nullptr, key, nullptr);
  std::vector<unsigned char> out(static_cast<size_t>(EVP_PKEY_get_size(key)));
  size_t length = out.size();
  const bool ok =
      ctx != nullptr && EVP_PKEY_encrypt_init(ctx) == 1 &&
      EVP_PKEY_CTX_set_rsa_padding(ctx, padding) == 1 &&
      EVP_PKEY_encrypt(ctx, out.data(), &length,
                       reinterpret_cast<const unsigned char*>(plain.data()), plain.size()) == 1;
  EVP_PKEY_CTX_free(ctx);
  EXPECT_TRUE(ok);
  return ok ? std::string(reinterpret_cast<char*>(out.data()), length) : std::string();
}

// The Base64 text a client hands over for `secret`, made with the public half
// of the build's key.
inline std::string encryptedForLibrary(const std::string& secret) {
  const Pkey key = publicKeyFromPem(secretFile("rsa_public_key.pem"));
  EXPECT_TRUE(key);
  return base64Of(rsaEncrypt(key.get(), secret));
}

// Stand-in stored secrets, scrambled with the library's key; the built-in
// private key is kept unless replaced.
class ScrambledSecrets {
 public:
  ScrambledSecrets(const std::string* privateKey, const std::string& aesKey,
                   const std::string& aesIv)
      : privateKey_(privateKey ? scramble(*privateKey) : std::vector<unsigned char>()),
        aesKey_(scramble(aesKey)),
        aesIv_(scramble(aesIv)) {}
  hxcore::detail::StoredSecrets secrets() {
    hxcore::detail::StoredSecrets s = hxcore::detail::builtInSecrets();
    if (!privateKey_.empty()) s.privateKey = {privateKey_.data(), privateKey_.size()};
    s.aesKey = {aesKey_.data(), aesKey_.size()};
    s.aesIv = {aesIv_.data(), aesIv_.size()};
    return s;
  }

 private:
  static std::vector<unsigned char> scramble(const std::string& text) {
    std::vector<unsigned char> storage(hxcore::detail::scrambledStorageSize(text.size()));
    hxcore::detail::encodeScrambledString(text.c_str(), storage.data(), nullptr,
                                          hxcore::detail::kLibraryScrambleKey);
    return storage;
  }
  std::vector<unsigned char> privateKey_;
  std::vector<unsigned char> aesKey_;
  std::vector<unsigned char> aesIv_;
};

// "(function): message" of every error record, in order.
inline std::vector<std::string> errors(const LogCapture& log) {
  std::vector<std::string> out;
  for (const LogRecord& r : log.records()) {
    if (r.level != 4) continue;
    const size_t open = r.text.rfind('(', r.text.find("): "));
    out.push_back(r.text.substr(open));
  }
  return out;
}

}  // namespace hxtest
