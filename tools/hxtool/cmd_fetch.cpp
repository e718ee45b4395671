// SPDX-License-Identifier: Apache-2.0
// hxtool fetch URL [-o FILE]: fetches a body through the library and writes it out.
#include <curl/curl.h>
#include <hxcore/HXClock.h>
#include <hxcore/HXCurl.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "commands.h"

namespace hxtool {

namespace {

constexpr char kUsage[] = "hxtool fetch URL [-o FILE]";
constexpr char kHelp[] =
    "usage: hxtool fetch URL [-o FILE]\n"
    "Fetches URL (anything libcurl reads: http, https, file...) with the library's fixed\n"
    "settings: no redirects followed, 5 s to connect, 8 s in all. Writes the body to\n"
    "standard output, or to FILE with -o, and the byte count and time to standard error.\n"
    "Exits 1 when the fetch fails, with one line saying why.\n";

// "" when the body is written, else what failed and why.
std::string write_body(const char* body, int size, const char* path) {
  const std::string where = path != nullptr ? path : "standard output";
  FILE* out = path != nullptr ? std::fopen(path, "wb") : stdout;
  if (out == nullptr) return "cannot open " + where + ": " + std::strerror(errno);
  errno = 0;
  const bool written =
      std::fwrite(body, 1, static_cast<size_t>(size), out) == static_cast<size_t>(size);
  const bool closed = path != nullptr ? std::fclose(out) == 0 : std::fflush(out) == 0;
  if (written && closed) return "";
  return "cannot write the body to " + where + ": " +
         (errno != 0 ? std::strerror(errno) : "short write");
}

}  // namespace

int run_fetch(int argc, char** argv) {
  if (wants_help(argc, argv, kHelp)) return 0;
  const char* url = nullptr;
  const char* output = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-o") == 0) {
      if (i + 1 == argc) return usage_error("fetch", "-o needs a FILE", kUsage);
      output = argv[++i];
    } else if (url == nullptr) {
      url = argv[i];
    } else {
      return usage_error("fetch", std::string("unexpected argument: ") + argv[i], kUsage);
    }
  }
  if (url == nullptr) return usage_error("fetch", "expected a URL", kUsage);

  HXCurl::global_init_curl();
  CURL* handle = curl_easy_init();
  char curl_error[CURL_ERROR_SIZE] = "";  // libcurl's sentence for a failed transfer
  curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, curl_error);
  std::vector<char> text(url, url + std::strlen(url) + 1);
  int size = 0;
  const long long start = get_time();
  char* body = HXCurl::get_data_from_url(handle, text.data(), size, 1);
  const long long elapsed = get_time() - start;
  curl_easy_cleanup(handle);
  HXCurl::global_deinit_curl();
  if (body == nullptr) {
    const std::string why = curl_error[0] != '\0' ? curl_error : take_library_error();
    return refusal("fetch", std::string("cannot fetch ") + url + ": " + why);
  }

  const std::string problem = write_body(body, size, output);
  HXCurl::free_data(body);
  if (!problem.empty()) return refusal("fetch", problem);
  std::fprintf(stderr, "fetched %d bytes in %lld ms\n", size, elapsed);
  return 0;
}

}  // namespace hxtool
