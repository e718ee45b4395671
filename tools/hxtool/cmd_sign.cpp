// SPDX-License-Identifier: Apache-2.0
// hxtool sign [--hex] --encrypted-secret B64 TEXT: one request signature.
#include <hxcore/IIotPlatformImpl.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "commands.h"

namespace hxtool {

namespace {

constexpr char kUsage[] = "hxtool sign [--hex] --encrypted-secret B64 TEXT";
constexpr char kHelp[] =
    "usage: hxtool sign [--hex] --encrypted-secret B64 TEXT\n"
    "Gives the platform object B64 (the application secret encrypted under the\n"
    "library's public key, see encrypt-secret) and prints the HMAC-SHA1 of TEXT\n"
    "under that secret: Base64, or lower-case hexadecimal with --hex. A secret\n"
    "that does not decrypt is refused (exit 1).\n";

}  // namespace

int run_sign(int argc, char** argv) {
  if (wants_help(argc, argv, kHelp)) return 0;
  bool hex = false;
  const char* secret = nullptr;
  const char* text = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--hex") == 0) {
      hex = true;
    } else if (std::strcmp(argv[i], "--encrypted-secret") == 0 && i + 1 < argc &&
               secret == nullptr) {
      secret = argv[++i];
    } else if (text == nullptr) {
      text = argv[i];
    } else {
      return usage_error("sign", std::string("unexpected argument: ") + argv[i], kUsage);
    }
  }
  if (secret == nullptr || text == nullptr)
    return usage_error("sign", "expected --encrypted-secret B64 and TEXT", kUsage);

  IIotPlatformImpl* platform = getSharedPlatformImpl();
  platform->setEncryptedAppSecret(secret);
  const std::string signature = platform->signString(text, !hex);
  if (signature.empty()) {
    return refusal("sign", std::string("cannot sign '") + text + "': " + take_library_error());
  }
  std::printf("%s\n", signature.c_str());
  return 0;
}

}  // namespace hxtool
