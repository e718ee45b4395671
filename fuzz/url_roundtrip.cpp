// Fuzzes HXUrl with arbitrary text: parsing, building and printing never
// crash, and a text that parses and builds comes back the same after a second
// parse. The same bytes also go through the setters, whose refusals must be
// parse errors.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "HXUrl.h"
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string failure = hxtest::url_round_trip_failure(text);
  if (!failure.empty()) {
    std::fprintf(stderr, "round trip broken: %s\n", failure.c_str());
    std::abort();
  }
  try {
    std::ostringstream sink;
    HXUrl(text).output(sink);
  } catch (const HXUrl::parse_error&) {
  } catch (const HXUrl::build_error&) {
  }
  exercise_setters(text);
  return 0;
}
