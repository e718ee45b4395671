// commands.h - hxtool's subcommands and the helpers they share.
//
// Each subcommand is `int run_<name>(int argc, char** argv)` with argv[0] its
// own name; it returns the exit status: 0 done, 1 the library refused, 2 a bad
// argument (after one usage line on standard error).
#pragma once

#include <cstdint>
#include <string>

namespace hxtool {

int run_aes(int argc, char** argv);
int run_config(int argc, char** argv);
int run_demo(int argc, char** argv);
int run_encrypt_secret(int argc, char** argv);
int run_fetch(int argc, char** argv);
int run_guid(int argc, char** argv);
int run_host(int argc, char** argv);
int run_log(int argc, char** argv);
int run_md5(int argc, char** argv);
int run_sign(int argc, char** argv);
int run_url(int argc, char** argv);

// Prints "hxtool <command>: <problem>" and the usage line; returns 2.
int usage_error(const char* command, const std::string& problem, const char* usage);

// True when argv holds "--help" or "-h" (then the help text was printed).
bool wants_help(int argc, char** argv, const char* help);

// A log callback that prints each record on standard error.
void print_record(int level, const char* text, uint64_t length, void* user);

}  // namespace hxtool
