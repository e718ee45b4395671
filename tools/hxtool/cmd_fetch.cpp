// hxtool fetch URL [-o FILE]: fetches a body through the library and writes it out.
#include <curl/curl.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "HXClock.h"
#include "HXCurl.h"
#include "HXLog.h"
#include "commands.h"

namespace hxtool {

namespace {

constexpr char kUsage[] = "hxtool fetch URL [-o FILE]";
constexpr char kHelp[] =
    "usage: hxtool fetch URL [-o FILE]\n"
    "Fetches URL (anything libcurl reads: http, https, file...) with the library's fixed\n"
    "settings: no redirects followed, 5 s to connect, 8 s in all. Writes the body to\n"
    "standard output, or to FILE with -o, and the byte count and time to standard error.\n"
    "Exits 1 when the fetch fails (the library's error record is printed).\n";

bool write_body(const char* body, int size, const char* path) {
  FILE* out = path != nullptr ? std::fopen(path, "wb") : stdout;
  if (out == nullptr) {
    std::fprintf(stderr, "hxtool fetch: cannot open %s: %s\n", path, std::strerror(errno));
    return false;
  }
  const bool written =
      std::fwrite(body, 1, static_cast<size_t>(size), out) == static_cast<size_t>(size);
  const bool closed = path != nullptr ? std::fclose(out) == 0 : std::fflush(out) == 0;
  if (!written || !closed) std::fprintf(stderr, "hxtool fetch: writing the body failed\n");
  return written && closed;
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

  SetHXLogCallback(print_record, nullptr);
  HXCurl::global_init_curl();
  CURL* handle = curl_easy_init();
  std::vector<char> text(url, url + std::strlen(url) + 1);
  int size = 0;
  const long long start = get_time();
  char* body = HXCurl::get_data_from_url(handle, text.data(), size, 1);
  const long long elapsed = get_time() - start;
  curl_easy_cleanup(handle);
  HXCurl::global_deinit_curl();
  SetHXLogCallback(nullptr, nullptr);
  if (body == nullptr) return 1;

  const bool written = write_body(body, size, output);
  HXCurl::free_data(body);
  std::fprintf(stderr, "fetched %d bytes in %lld ms\n", size, elapsed);
  return written ? 0 : 1;
}

}  // namespace hxtool
