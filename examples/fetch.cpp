// SPDX-License-Identifier: Apache-2.0
// Fetching a URL into memory on the client's own libcurl handle.
//   fetch URL   (http://, https:// or file://)
#include <curl/curl.h>
#include <hxcore/hxcore.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fetch URL\n");
    return 2;
  }
  SetHXLogCallback([](int, const char* text, uint64_t, void*) { std::fprintf(stderr, "%s\n", text); },
                   nullptr);
  HXCurl::global_init_curl();  // balanced by global_deinit_curl below
  CURL* handle = curl_easy_init();

  int size = 0;  // argv's text is writable, as the call needs: it cuts the URL at a '\r'
  char* body = HXCurl::get_data_from_url(handle, argv[1], size, 1);
  const bool fetched = body != nullptr;
  if (fetched) std::printf("%d bytes from %s\n%.*s\n", size, argv[1], size, body);
  HXCurl::free_data(body);  // the library's buffer, released by the library

  curl_easy_cleanup(handle);
  HXCurl::global_deinit_curl();
  SetHXLogCallback(nullptr, nullptr);
  return fetched ? 0 : 1;
}
