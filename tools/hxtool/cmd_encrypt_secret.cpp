// SPDX-License-Identifier: Apache-2.0
// hxtool encrypt-secret --public-key PEM -|SECRET: the Base64 text a client
// hands to setEncryptedAppSecret.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "commands.h"
#include "secret_encryption.h"

namespace hxtool {

namespace {

constexpr char kUsage[] = "hxtool encrypt-secret --public-key PEM -|SECRET";
constexpr char kHelp[] =
    "usage: hxtool encrypt-secret --public-key PEM -   (the secret on standard input)\n"
    "       hxtool encrypt-secret --public-key PEM SECRET\n"
    "Encrypts the secret (RSA, PKCS #1 v1.5) under the public key in the file PEM\n"
    "and prints the Base64 ciphertext, as a client passes it to setEncryptedAppSecret.\n"
    "Give the secret as '-' and type or pipe it on standard input (one trailing line\n"
    "break is dropped): a command line is visible to every user of the machine (ps),\n"
    "so SECRET on it is for throw-away secrets only.\n"
    "PEM may be '-' for the public half of the key this build's library carries.\n"
    "A PEM file that cannot be read or holds no public key is refused (exit 1).\n";

// The whole stream into `content`; "" when read, else the system's reason.
std::string read_stream(FILE* stream, std::string& content) {
  char chunk[4096];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof(chunk), stream)) > 0) content.append(chunk, got);
  return std::ferror(stream) ? std::strerror(errno) : "";
}

// The whole file into `content`; "" when read, else the system's reason.
std::string read_file(const char* path, std::string& content) {
  FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return std::strerror(errno);
  const std::string problem = read_stream(file, content);
  std::fclose(file);
  return problem;
}

// The secret as typed or piped: standard input without one trailing line break.
std::string read_secret(std::string& secret) {
  const std::string problem = read_stream(stdin, secret);
  if (!secret.empty() && secret.back() == '\n') secret.pop_back();
  if (!secret.empty() && secret.back() == '\r') secret.pop_back();
  return problem;
}

}  // namespace

int run_encrypt_secret(int argc, char** argv) {
  if (wants_help(argc, argv, kHelp)) return 0;
  if (argc != 4 || std::strcmp(argv[1], "--public-key") != 0) {
    return usage_error("encrypt-secret", "expected --public-key PEM and - or SECRET", kUsage);
  }
  const bool built_in = std::strcmp(argv[2], "-") == 0;
  std::string pem = built_in ? kBuildPublicKeyPem : "";
  if (!built_in) {
    const std::string problem = read_file(argv[2], pem);
    if (!problem.empty()) {
      return refusal("encrypt-secret",
                     std::string("cannot read the public key file ") + argv[2] + ": " + problem);
    }
  }
  std::string secret;
  if (std::strcmp(argv[3], "-") != 0) {
    secret = argv[3];
  } else if (const std::string problem = read_secret(secret); !problem.empty()) {
    return refusal("encrypt-secret", "cannot read the secret from standard input: " + problem);
  }
  std::string base64;
  std::string error;
  if (!encrypt_secret(pem, secret, base64, error)) {
    return refusal("encrypt-secret", std::string("cannot encrypt under ") + argv[2] + ": " + error);
  }
  std::printf("%s\n", base64.c_str());
  return 0;
}

}  // namespace hxtool
