// SPDX-License-Identifier: Apache-2.0
// hxtool - a small command-line front for hxcore.
#include <hxcore/HXLog.h>
#include <hxcore/hxcore_version.h>

#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>

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
     "read or write the settings file: config get KEY | set KEY VALUE | path"},
    {"demo", hxtool::run_demo, "walk a typical client request through the library"},
    {"encrypt-secret", hxtool::run_encrypt_secret,
     "encrypt an application secret read from stdin: --public-key PEM -"},
    {"fetch", hxtool::run_fetch, "fetch a URL's body: fetch URL [-o FILE]"},
    {"guid", hxtool::run_guid, "print a random identifier: guid [LEN]"},
    {"host", hxtool::run_host, "print what the host probes report"},
    {"log", hxtool::run_log, "write one log record: log LEVEL MESSAGE"},
    {"md5", hxtool::run_md5, "upper-case MD5 digest of files or stdin: md5 [FILE|-]..."},
    {"sign", hxtool::run_sign, "sign a text: sign [--hex] --encrypted-secret B64 TEXT"},
    {"url", hxtool::run_url, "parse URLs or set components: url TEXT... | url --set C=V... [TEXT]"},
};

constexpr int kErrorLevel = 4;
constexpr int kEveryLevel = 1;

void print_overview(FILE* out) {
  std::fprintf(out,
               "usage: hxtool [--verbose] COMMAND [ARGS...]   (hxtool COMMAND --help for more)\n"
               "       hxtool --version\n"
               "--verbose also prints the library's own log records on standard error.\n\n");
  for (const Command& command : kCommands)
    std::fprintf(out, "  %-16s %s\n", command.name, command.summary);
}

// Set before the callback is registered, read only by it.
bool print_records = false;
// The first error record's message; the callback may run on any thread.
std::mutex first_error_mutex;
bool have_first_error = false;
std::string first_error;

void keep_record(int level, const char* text, uint64_t length, void* /*user*/) {
  if (print_records) hxtool::print_record(level, text, length, stderr);
  if (level < kErrorLevel) return;
  const std::string_view record(text, static_cast<size_t>(length));
  const size_t prefix_end = record.find("): ");
  std::lock_guard<std::mutex> lock(first_error_mutex);
  if (have_first_error) return;
  have_first_error = true;
  first_error = prefix_end == std::string_view::npos ? record : record.substr(prefix_end + 3);
}

}  // namespace

namespace hxtool {

int usage_error(const char* command, const std::string& problem, const char* usage) {
  std::fprintf(stderr, "hxtool %s: %s (usage: %s)\n", command, problem.c_str(), usage);
  return 2;
}

int refusal(const char* command, const std::string& sentence) {
  std::fprintf(stderr, "hxtool %s: %s\n", command, sentence.c_str());
  return 1;
}

void route_library_records(bool verbose) {
  print_records = verbose;
  if (verbose) SetHXLogLevel(kEveryLevel);
  SetHXLogCallback(keep_record, nullptr);
}

std::string take_library_error() {
  std::lock_guard<std::mutex> lock(first_error_mutex);
  const std::string message = have_first_error ? first_error : "the library gave no reason";
  have_first_error = false;
  return message;
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

void print_record(int /*level*/, const char* text, uint64_t length, void* user) {
  FILE* out = static_cast<FILE*>(user);
  std::fwrite(text, 1, length, out);
  std::fputc('\n', out);
}

}  // namespace hxtool

int main(int argc, char** argv) {
  int first = 1;
  const bool verbose = argc > first && std::strcmp(argv[first], "--verbose") == 0;
  if (verbose) ++first;
  if (argc <= first) {
    print_overview(stderr);
    return 2;
  }
  const char* name = argv[first];
  if (std::strcmp(name, "--help") == 0 || std::strcmp(name, "-h") == 0) {
    print_overview(stdout);
    return 0;
  }
  if (std::strcmp(name, "--version") == 0) {
    std::printf("hxtool %s%s\n", hxcore_version(),
                hxcore_has_development_secrets() != 0 ? " (development secrets)" : "");
    return 0;
  }
  for (const Command& command : kCommands) {
    if (std::strcmp(name, command.name) != 0) continue;
    hxtool::route_library_records(verbose);
    const int status = command.run(argc - first, argv + first);
    SetHXLogCallback(nullptr, nullptr);  // before hxtool's statics go
    return status;
  }
  std::fprintf(
      stderr, "hxtool: unknown command '%s' (usage: hxtool [--verbose] COMMAND [ARGS...])\n", name);
  return 2;
}
