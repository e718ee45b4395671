// hxtool - a small command-line front for hxcore.
#include <cstdio>
#include <cstring>

#include "commands.h"

namespace {

struct Command {
  const char* name;
  int (*run)(int argc, char** argv);
  const char* summary;
};

constexpr Command kCommands[] = {
    {"aes", hxtool::run_aes, "AES-encrypt or decrypt a text: aes encrypt|decrypt TEXT"},
    {"config", hxtool::run_config,
     "read or write the settings file: config get KEY | set KEY VALUE"},
    {"demo", hxtool::run_demo, "walk a typical client request through the library"},
    {"encrypt-secret", hxtool::run_encrypt_secret,
     "encrypt an application secret: --public-key PEM SECRET"},
    {"fetch", hxtool::run_fetch, "fetch a URL's body: fetch URL [-o FILE]"},
    {"guid", hxtool::run_guid, "print a random identifier: guid [LEN]"},
    {"host", hxtool::run_host, "print what the host probes report"},
    {"log", hxtool::run_log, "write one log record: log LEVEL MESSAGE"},
    {"md5", hxtool::run_md5, "upper-case MD5 digest of files or stdin: md5 [FILE|-]..."},
    {"sign", hxtool::run_sign, "sign a text: sign [--hex] --encrypted-secret B64 TEXT"},
    {"url", hxtool::run_url, "parse URLs or set components: url TEXT... | url --set C=V... [TEXT]"},
};

void print_overview(FILE* out) {
  std::fprintf(out, "usage: hxtool COMMAND [ARGS...]   (hxtool COMMAND --help for more)\n\n");
  for (const Command& command : kCommands)
    std::fprintf(out, "  %-16s %s\n", command.name, command.summary);
}

}  // namespace

namespace hxtool {

int usage_error(const char* command, const std::string& problem, const char* usage) {
  std::fprintf(stderr, "hxtool %s: %s (usage: %s)\n", command, problem.c_str(), usage);
  return 2;
}

bool wants_help(int argc, char** argv, const char* help) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(help, stdout);
      return true;
    }
  }
  return false;
}

void print_record(int /*level*/, const char* text, uint64_t length, void* /*user*/) {
  std::fwrite(text, 1, length, stderr);
  std::fputc('\n', stderr);
}

}  // namespace hxtool

int main(int argc, char** argv) {
  if (argc < 2) {
    print_overview(stderr);
    return 2;
  }
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    print_overview(stdout);
    return 0;
  }
  for (const Command& command : kCommands) {
    if (std::strcmp(argv[1], command.name) == 0) return command.run(argc - 1, argv + 1);
  }
  std::fprintf(stderr, "hxtool: unknown command '%s' (usage: hxtool COMMAND [ARGS...])\n", argv[1]);
  return 2;
}
