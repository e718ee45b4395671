// SPDX-License-Identifier: Apache-2.0
// url_round_trip.h - a text that parses and builds must parse again to the same components and
// build to the same text. Exempt by design: a built text over the length limit, a default port,
// the kind of an empty host, and IPvFuture literals of version 0 or 4 (stored as plain hosts).
#pragma once

#include <string>
#include <tuple>

#include "HXUrl.h"

namespace hxtest {

// Every component on one line: scheme|user info|host|kind|port|path|<key=val>...|fragment.
inline std::string url_parts(const HXUrl& url) {
  std::string query;
  for (const HXUrl::KeyVal& entry : url.query())
    query += "<" + entry.key() + "=" + entry.val() + ">";
  return url.scheme() + "|" + url.user_info() + "|" + url.host() + "|" +
         std::to_string(url.ip_version()) + "|" + url.port() + "|" + url.path() + "|" + query +
         "|" + url.fragment();
}

// "" when the property holds or does not apply, else what went wrong.
inline std::string url_round_trip_failure(const std::string& text) {
  auto components = [](const HXUrl& url, const std::string& port) {
    const int host_kind = url.host().empty() ? 0 : url.ip_version();
    return std::make_tuple(url.scheme(), url.user_info(), url.host(), host_kind, port, url.path(),
                           url.query(), url.fragment());
  };
  const HXUrl first(text);
  std::string where;  // empty until the first text has parsed and built
  try {
    const std::string built = first.str();
    const int kind = first.ip_version();
    if (built.size() > 8000 || ((kind == 0 || kind == 4) && text.find("[v") != std::string::npos)) {
      return "";
    }
    const bool default_port = (first.scheme() == "http" && first.port() == "80") ||
                              (first.scheme() == "https" && first.port() == "443");
    where = "'" + text + "' -> '" + built + "': ";
    const HXUrl second(built);
    if (components(second, second.port()) != components(first, default_port ? "" : first.port())) {
      return where + "parses as " + url_parts(second);
    }
    if (second.str() != built) return where + "builds again as '" + second.str() + "'";
  } catch (const HXUrl::parse_error& e) {
    return where.empty() ? "" : where + "does not parse: " + e.what();
  } catch (const HXUrl::build_error& e) {
    return where.empty() ? "" : where + "does not build again: " + e.what();
  }
  return "";
}

}  // namespace hxtest
