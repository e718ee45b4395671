// SPDX-License-Identifier: Apache-2.0
// Assembling a URL from components, and checking URL texts a user typed.
//   url [TEXT...]
#include <hxcore/hxcore.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  HXUrl request;
  request.scheme("HTTPS").host("API.Example.com").port(443).path("/v1/./devices/../streams");
  request.add_query("device", "camera 1").add_query("q", "a&b=c");
  std::printf("assembled %s\n", request.str().c_str());  // canonical, percent-encoded

  try {
    request.port("99999");  // refused before anything changes
  } catch (const HXUrl::parse_error& e) {
    std::printf("refused: %s\n", e.what());
  }

  int bad = 0;
  for (int i = 1; i < argc; ++i) {
    try {
      const HXUrl url(argv[i]);  // parsed lazily: the first getter checks it
      std::printf("%s -> host %s, path %s, %zu query entries\n", url.str().c_str(),
                  url.host().c_str(), url.path().c_str(), url.query().size());
    } catch (const HXUrl::parse_error& e) {
      std::printf("not a URL: %s\n", e.what());
      ++bad;
    }
  }
  return bad == 0 ? 0 : 1;
}
