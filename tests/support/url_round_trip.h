// url_round_trip.h - the round-trip property of HXUrl, shared by the unit
// tests and the fuzz target.
//
// For a text that parses and builds, the built text must parse again to the
// same components and build to the same text. Exempt by design: a built text
// over the length limit, a default port (kept by the parser, left out by the
// builder), the kind of an empty host, and IPvFuture literals of version 0 or
// 4, whose body is stored as a plain host of that kind and written bare.
// Example:
//   EXPECT_EQ(hxtest::url_round_trip_failure("http://h/?a=1"), "");
#pragma once

#include <string>

#include "HXUrl.h"

namespace hxtest {

// "" when the property holds or does not apply, else what went wrong.
inline std::string url_round_trip_failure(const std::string& text) {
  HXUrl first(text);
  std::string built;
  try {
    built = first.str();
  } catch (const HXUrl::parse_error&) {
    return "";
  } catch (const HXUrl::build_error&) {
    return "";
  }
  if (built.size() > 8000) return "";
  const int kind = first.ip_version();
  if ((kind == 0 || kind == 4) && text.find("[v") != std::string::npos) return "";

  HXUrl second(built);
  try {
    second.scheme();
  } catch (const HXUrl::parse_error& e) {
    return "'" + built + "' does not parse: " + e.what();
  }
  const std::string where = "'" + text + "' -> '" + built + "': ";
  if (second.scheme() != first.scheme()) return where + "scheme " + second.scheme();
  if (second.user_info() != first.user_info()) return where + "user info " + second.user_info();
  if (second.host() != first.host()) return where + "host " + second.host();
  if (!first.host().empty() && second.ip_version() != first.ip_version()) return where + "kind";
  const bool default_port_left_out =
      second.port().empty() && ((first.scheme() == "http" && first.port() == "80") ||
                                (first.scheme() == "https" && first.port() == "443"));
  if (second.port() != first.port() && !default_port_left_out) return where + "port " + second.port();
  if (second.path() != first.path()) return where + "path " + second.path();
  if (second.query() != first.query()) return where + "query";
  if (second.fragment() != first.fragment()) return where + "fragment " + second.fragment();
  try {
    if (second.str() != built) return where + "builds again as '" + second.str() + "'";
  } catch (const HXUrl::build_error& e) {
    return where + "does not build again: " + e.what();
  }
  return "";
}

}  // namespace hxtest
