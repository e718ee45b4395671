// SPDX-License-Identifier: Apache-2.0
// hxtool guid [LEN]: prints one random identifier of letters and digits.
#include <hxcore/HXRandom.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "commands.h"

namespace hxtool {

namespace {

constexpr char kUsage[] = "hxtool guid [LEN]";
constexpr char kHelp[] =
    "usage: hxtool guid [LEN]\n"
    "Prints a random identifier of LEN letters and digits (32 by default). The library\n"
    "accepts 0 to 63; any other length is refused (exit 1).\n";
constexpr int kDefaultLength = 32;

}  // namespace

int run_guid(int argc, char** argv) {
  if (wants_help(argc, argv, kHelp)) return 0;
  if (argc > 2) return usage_error("guid", "expected at most one LEN", kUsage);
  int length = kDefaultLength;
  if (argc == 2) {
    char* end = nullptr;
    const long parsed = std::strtol(argv[1], &end, 10);
    if (end == argv[1] || *end != '\0' || parsed < -1000000 || parsed > 1000000) {
      return usage_error("guid", std::string("LEN is not a number: ") + argv[1], kUsage);
    }
    length = static_cast<int>(parsed);
  }
  const std::string guid = HXRandom::getRandomGUID(length);
  if (guid.empty() && length != 0) {
    return refusal("guid", "cannot make an identifier of " + std::to_string(length) +
                               " characters: " + take_library_error());
  }
  std::printf("%s\n", guid.c_str());
  return 0;
}

}  // namespace hxtool
