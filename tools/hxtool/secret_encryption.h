// SPDX-License-Identifier: Apache-2.0
// secret_encryption.h - what a client does before handing its application
// secret to the library: RSA (PKCS #1 v1.5) encryption under the library's
// public key, as Base64 text.
#pragma once

#include <string>

namespace hxtool {

// Base64 of the ciphertext of `secret` under the public key in `publicKeyPem`;
// false with a reason in `error` when the key does not load or the secret is
// too long for it.
bool encrypt_secret(const std::string& publicKeyPem, const std::string& secret, std::string& base64,
                    std::string& error);

// The public half of the key this build's library carries.
extern const char kBuildPublicKeyPem[];

}  // namespace hxtool
