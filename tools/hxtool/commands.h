// SPDX-License-Identifier: Apache-2.0
// commands.h - hxtool's subcommands and the helpers they share.
//
// Each subcommand is `int run_<name>(int argc, char** argv)` with argv[0] its
// own name; it returns the exit status: 0 done, 1 refused (after one line on
// standard error saying what failed and why), 2 a bad argument (after one
// usage line). The library's own records reach standard error only with
// `hxtool --verbose`.
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

// Prints "hxtool <command>: <what failed and why>" as one line; returns 1.
int refusal(const char* command, const std::string& sentence);

// Sends the library's records to hxtool for the rest of the run: with
// `verbose` every record, debug ones too, is printed on standard error as it
// comes; otherwise records are held back. Either way the first error record
// is kept for `take_library_error`.
void route_library_records(bool verbose);

// The message of the first error record (what follows "(function): ") since
// the last call, then forgets it; a fixed sentence when there was none.
std::string take_library_error();

// True when argv holds "--help" or "-h" (then the help text was printed).
bool wants_help(int argc, char** argv, const char* help);

// A log callback that prints each record as one line on the `FILE*` given
// as `user`.
void print_record(int level, const char* text, uint64_t length, void* user);

}  // namespace hxtool
