// SPDX-License-Identifier: Apache-2.0
// hxtool log LEVEL MESSAGE: writes one record through the library.
#include <hxcore/HXLog.h>

#include <cstdlib>
#include <string>

#include "commands.h"

namespace hxtool {

namespace {

constexpr char kUsage[] = "hxtool log LEVEL MESSAGE";
constexpr char kHelp[] =
    "usage: hxtool log LEVEL MESSAGE\n"
    "Writes MESSAGE as one record at LEVEL (1 debug, 2 info, 3 warning, 4 error;\n"
    "other numbers print as '?') with every level let through. With no callback\n"
    "registered the record goes to the debugger output, standard error here.\n";

}  // namespace

int run_log(int argc, char** argv) {
  if (wants_help(argc, argv, kHelp)) return 0;
  if (argc != 3) return usage_error("log", "expected LEVEL and MESSAGE", kUsage);
  char* end = nullptr;
  const long level = std::strtol(argv[1], &end, 10);
  if (end == argv[1] || *end != '\0' || level < -1000000 || level > 1000000) {
    return usage_error("log", std::string("LEVEL is not a number: ") + argv[1], kUsage);
  }
  SetHXLogLevel(static_cast<int>(level));
  SetHXLogCallback(nullptr, nullptr);  // the record is this command's output
  MirvLog(static_cast<int>(level), "HX", __FILE__, __LINE__, "hxtool::log", "%s", argv[2]);
  return 0;
}

}  // namespace hxtool
