// hxtool aes encrypt|decrypt TEXT: the platform object's AES.
#include <cstdio>
#include <cstring>
#include <string>

#include "HXLog.h"
#include "IIotPlatformImpl.h"
#include "commands.h"

namespace hxtool {

namespace {

constexpr char kUsage[] = "hxtool aes encrypt|decrypt TEXT";
constexpr char kHelp[] =
    "usage: hxtool aes encrypt TEXT\n"
    "       hxtool aes decrypt BASE64\n"
    "Encrypts TEXT with the library's AES-128-CBC key and prints Base64, or\n"
    "decrypts such Base64 and prints the text (an empty line for an empty text).\n";

}  // namespace

int run_aes(int argc, char** argv) {
  if (wants_help(argc, argv, kHelp)) return 0;
  const bool encrypt = argc == 3 && std::strcmp(argv[1], "encrypt") == 0;
  const bool decrypt = argc == 3 && std::strcmp(argv[1], "decrypt") == 0;
  if (!encrypt && !decrypt)
    return usage_error("aes", "expected encrypt or decrypt and one TEXT", kUsage);
  SetHXLogCallback(print_record, nullptr);
  IIotPlatformImpl* platform = getSharedPlatformImpl();
  const std::string result =
      encrypt ? platform->aesEncrypt(argv[2]) : platform->aesDecrypt(argv[2]);
  SetHXLogCallback(nullptr, nullptr);
  if (encrypt && result.empty()) return 1;
  std::fwrite(result.data(), 1, result.size(), stdout);
  std::fputc('\n', stdout);
  return 0;
}

}  // namespace hxtool
