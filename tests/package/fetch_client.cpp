// SPDX-License-Identifier: Apache-2.0
// A Windows client that creates its easy handle with the SDK's libcurl and hands it to
// hxcore.dll, which drives that same libcurl: prints the body of the URL it is given.
#include <curl/curl.h>
#include <hxcore/hxcore.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: hxcore_fetch_client URL\n");
    return 2;
  }
  HXCurl::global_init_curl();
  CURL* handle = curl_easy_init();
  std::string url = argv[1];
  int size = 0;
  char* body = HXCurl::get_data_from_url(handle, &url[0], size, 1);
  const bool fetched = body != nullptr;
  if (fetched) std::printf("fetch_client: %.*s\n", size, body);
  HXCurl::free_data(body);
  curl_easy_cleanup(handle);
  HXCurl::global_deinit_curl();
  return fetched ? 0 : 1;
}
