// hxtool encrypt-secret --public-key PEM SECRET: the Base64 text a client
// hands to setEncryptedAppSecret.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "commands.h"
#include "secret_encryption.h"

namespace hxtool {

namespace {

constexpr char kUsage[] = "hxtool encrypt-secret --public-key PEM SECRET";
constexpr char kHelp[] =
    "usage: hxtool encrypt-secret --public-key PEM SECRET\n"
    "Encrypts SECRET (RSA, PKCS #1 v1.5) under the public key in the file PEM and\n"
    "prints the Base64 ciphertext, as a client passes it to setEncryptedAppSecret.\n"
    "PEM may be '-' for the public half of the key this build's library carries.\n";

}  // namespace

int run_encrypt_secret(int argc, char** argv) {
  if (wants_help(argc, argv, kHelp)) return 0;
  if (argc != 4 || std::strcmp(argv[1], "--public-key") != 0) {
    return usage_error("encrypt-secret", "expected --public-key PEM SECRET", kUsage);
  }
  std::string pem = kBuildPublicKeyPem;
  if (std::strcmp(argv[2], "-") != 0) {
    std::ifstream in(argv[2], std::ios::binary);
    if (!in) return usage_error("encrypt-secret", std::string("cannot read ") + argv[2], kUsage);
    std::ostringstream content;
    content << in.rdbuf();
    pem = content.str();
  }
  std::string base64;
  std::string error;
  if (!encrypt_secret(pem, argv[3], base64, error)) {
    std::fprintf(stderr, "hxtool encrypt-secret: %s\n", error.c_str());
    return 1;
  }
  std::printf("%s\n", base64.c_str());
  return 0;
}

}  // namespace hxtool
