// Fuzzes HXUrl with arbitrary text: parsing, building and printing never
// crash, and a text that parses and builds comes back the same after a second
// parse. The same bytes also go through the setters, whose refusals must be
// parse errors, and through the normal forms, which must be fixed points (the
// IPv6 one a valid address).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "HXUrl.h"
#include "detail/url_forms.h"
#include "url_round_trip.h"

namespace {

void exercise_setters(const std::string& value) {
  HXUrl url("http://h/");
  auto attempt = [&](auto&& set) {
    try {
      set();
    } catch (const HXUrl::parse_error&) {
    }
  };
  attempt([&] { url.scheme(value); });
  attempt([&] { url.host(value); });
  attempt([&] { url.host(value, 7); });
  attempt([&] { url.port(value); });
  attempt([&] { url.user_info(value); });
  attempt([&] { url.path(value); });
  attempt([&] { url.fragment(value); });
  url.add_query(value, value);
  try {
    std::ostringstream sink;
    url.output(sink);
  } catch (const HXUrl::build_error&) {
  }
}

[[noreturn]] void broken(const char* what, const std::string& detail) {
  std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
  std::abort();
}

void check_normal_forms(const std::string& text) {
  using namespace hxcore::detail;
  const std::string path = normalize_path(text);
  if (normalize_path(path) != path) broken("path normal form moves again", text);
  if (ipv6_chars(text) && is_ipv6_literal(text)) {
    const std::string address = normalize_ipv6(text);
    if (!is_ipv6_literal(address) || normalize_ipv6(address) != address) broken("IPv6 normal form", text + " -> " + address);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string failure = hxtest::url_round_trip_failure(text);
  if (!failure.empty()) broken("round trip", failure);
  check_normal_forms(text);
  try {
    std::ostringstream sink;
    HXUrl(text).output(sink);
  } catch (const HXUrl::parse_error&) {
  } catch (const HXUrl::build_error&) {
  }
  exercise_setters(text);
  return 0;
}
