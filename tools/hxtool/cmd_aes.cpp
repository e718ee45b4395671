// SPDX-License-Identifier: Apache-2.0
// hxtool aes encrypt|decrypt TEXT: the platform object's AES.
#include <hxcore/IIotPlatformImpl.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "commands.h"

namespace hxtool {

namespace {

constexpr char kUsage[] = "hxtool aes encrypt|decrypt TEXT";
constexpr char kHelp[] =
    "usage: hxtool aes encrypt TEXT\n"
    "       hxtool aes decrypt BASE64\n"
    "Encrypts TEXT with the library's AES-128-CBC key and prints Base64, or\n"
    "decrypts such Base64 and prints the text (an empty line for an empty text).\n"
    "BASE64 that is no ciphertext of the library's key is refused (exit 1).\n";

// Padded standard Base64: groups of four alphabet characters, '=' only at the end.
bool is_base64(const std::string& text) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  const size_t data = text.find_last_not_of('=') + 1;
  if (text.size() % 4 != 0 || text.size() - data > 2) return false;
  return text.find_first_not_of(kAlphabet) >= data;
}

void print_line(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
}

}  // namespace

int run_aes(int argc, char** argv) {
  if (wants_help(argc, argv, kHelp)) return 0;
  const bool encrypt = argc == 3 && std::strcmp(argv[1], "encrypt") == 0;
  const bool decrypt = argc == 3 && std::strcmp(argv[1], "decrypt") == 0;
  if (!encrypt && !decrypt)
    return usage_error("aes", "expected encrypt or decrypt and one TEXT", kUsage);
  IIotPlatformImpl* platform = getSharedPlatformImpl();
  const std::string text = argv[2];
  if (encrypt) {
    const std::string cipher = platform->aesEncrypt(text);
    if (cipher.empty()) return refusal("aes", "cannot encrypt the text: " + take_library_error());
    print_line(cipher);
    return 0;
  }
  const std::string cannot = "cannot decrypt '" + text + "': ";
  if (!is_base64(text)) return refusal("aes", cannot + "it is not Base64 text");
  // The library deciphers whatever it is given; only a text that encrypts
  // back to the input was a ciphertext of its key.
  const std::string plain = platform->aesDecrypt(text);
  if (platform->aesEncrypt(plain) != text) {
    return refusal("aes", cannot + "it is no ciphertext of the library's AES key");
  }
  print_line(plain);
  return 0;
}

}  // namespace hxtool
