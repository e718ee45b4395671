// SPDX-License-Identifier: Apache-2.0
// hxtool md5 [FILE|-]...: the upper-case MD5 digest of files or standard input.
#include <hxcore/MMD5.h>
#include <hxcore/MStr.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "commands.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace hxtool {

namespace {

constexpr char kUsage[] = "hxtool md5 [FILE|-]...";
constexpr char kHelp[] =
    "usage: hxtool md5 [FILE|-]...\n"
    "Prints 'DIGEST  NAME' for each FILE, the digest in upper-case hexadecimal.\n"
    "'-' or no FILE reads standard input. Files are read in chunks, so any size\n"
    "works. A file that cannot be read is reported and the others still printed;\n"
    "the exit status is then 1.\n";

constexpr size_t kChunkSize = 1 << 16;

// Digests everything `stream` yields; false on a read error.
bool digest_stream(FILE* stream, mvc::MStr* hex) {
  std::vector<char> chunk(kChunkSize);
  mvc::MMD5 context;
  context.Init();
  size_t got;
  while ((got = std::fread(chunk.data(), 1, chunk.size(), stream)) > 0) {
    context.Update(chunk.data(), static_cast<int>(got));
  }
  context.Final(hex);
  return std::ferror(stream) == 0;
}

bool print_digest(const char* name) {
  const bool standard_input = std::strcmp(name, "-") == 0;
  FILE* stream = standard_input ? stdin : std::fopen(name, "rb");
  if (stream == nullptr) {
    refusal("md5", std::string("cannot open ") + name + ": " + std::strerror(errno));
    return false;
  }
  mvc::MStr hex;
  const bool read = digest_stream(stream, &hex);
  if (!standard_input) std::fclose(stream);
  if (!read) {
    refusal("md5", std::string("cannot read ") + name + ": " + std::strerror(errno));
    return false;
  }
  std::printf("%s  %s\n", hex.c_str(), name);
  return true;
}

}  // namespace

int run_md5(int argc, char** argv) {
  if (wants_help(argc, argv, kHelp)) return 0;
  for (int i = 1; i < argc; ++i) {
    if (argv[i][0] == '-' && argv[i][1] != '\0') {
      return usage_error("md5", std::string("unknown option ") + argv[i], kUsage);
    }
  }
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);  // digest the bytes, not text-mode line ends
#endif
  static char standard_input_name[] = "-";
  char* only_stdin[] = {standard_input_name};
  char** names = argc > 1 ? argv + 1 : only_stdin;
  const int count = argc > 1 ? argc - 1 : 1;
  bool all_read = true;
  for (int i = 0; i < count; ++i) all_read = print_digest(names[i]) && all_read;
  return all_read ? 0 : 1;
}

}  // namespace hxtool
