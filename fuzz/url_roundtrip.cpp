// SPDX-License-Identifier: Apache-2.0
// Fuzzes HXUrl with arbitrary text: parsing, building and printing never crash, a text that
// parses and builds comes back the same after a second parse, the setters refuse only with parse
// errors, and the normal forms are fixed points (the IPv6 one a valid address).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>

#include "HXUrl.h"
#include "detail/url_forms.h"
#include "url_round_trip.h"

namespace {

[[noreturn]] void broken(const char* what, const std::string& detail) {
  std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
  std::abort();
}

template <class Error, class Action>
void tolerate(Action&& action) {
  try {
    action();
  } catch (const Error&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace hxcore::detail;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string failure = hxtest::url_round_trip_failure(text);
  if (!failure.empty()) broken("round trip", failure);
  const std::string path = normalize_path(text);
  if (normalize_path(path) != path) broken("path normal form moves again", text);
  if (ipv6_chars(text) && is_ipv6_literal(text)) {
    const std::string address = normalize_ipv6(text);
    if (!is_ipv6_literal(address) || normalize_ipv6(address) != address)
      broken("IPv6 normal form", text + " -> " + address);
  }
  std::ostringstream sink;
  tolerate<HXUrl::parse_error>(
      [&] { tolerate<HXUrl::build_error>([&] { HXUrl(text).output(sink); }); });
  HXUrl url("http://h/");
  const std::function<void()> setters[] = {[&] { url.scheme(text); },   [&] { url.host(text); },
                                           [&] { url.host(text, 7); },  [&] { url.port(text); },
                                           [&] { url.path(text); },     [&] { url.fragment(text); },
                                           [&] { url.user_info(text); }};
  for (const auto& setter : setters) tolerate<HXUrl::parse_error>(setter);
  tolerate<HXUrl::build_error>([&] { url.add_query(text, text).output(sink); });
  return 0;
}
