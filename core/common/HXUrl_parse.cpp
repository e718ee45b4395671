// HXUrl's parser: one left-to-right scan that cuts the text at the generic URL
// delimiters and checks every piece, then the conversion of the pieces into
// the components, stored all at once only when everything has passed.
#include <string_view>

#include "HXUrl.h"
#include "detail/url_chars.h"
#include "detail/url_codec.h"
#include "detail/url_forms.h"

namespace {

using namespace hxcore::detail;

constexpr std::size_t kMaxText = 8000;
constexpr std::string_view::size_type kNone = std::string_view::npos;

// First byte at or after `from` that is one of `set`, or the end of `text`.
std::size_t first_of(std::string_view text, std::size_t from, std::string_view set) {
  const std::size_t at = text.find_first_of(set, from);
  return at == kNone ? text.size() : at;
}

// "<what> in '<text>' is invalid"
[[noreturn]] void throw_invalid(const char* what, std::string_view text) {
  std::string message(what);
  message += " in '";
  message.append(text.data(), text.size());
  message += "' is invalid";
  throw HXUrl::parse_error(message);
}

// "<what> '<piece>' in '<text>' is invalid"
[[noreturn]] void throw_invalid_piece(const char* what, std::string_view piece, std::string_view text) {
  std::string message(what);
  message += " '";
  message.append(piece.data(), piece.size());
  message += '\'';
  throw_invalid(message.c_str(), text);
}

// Splits the query text into entries at '&' and ';', each "key" or
// "key=value" (the value may hold '='); a separator at the very end, or two in
// a row, gives an entry with empty key and value.
std::vector<HXUrl::KeyVal> parse_query(std::string_view query, std::string_view text) {
  std::vector<HXUrl::KeyVal> entries;
  if (query.empty()) return entries;
  std::size_t separators = 0;
  for (char c : query) separators += (c == '&' || c == ';') ? 1 : 0;
  entries.reserve(separators + 1);
  for (std::size_t start = 0;;) {
    const std::size_t key_end = first_of(query, start, "=;&");
    const std::string_view key = query.substr(start, key_end - start);
    if (!all_admitted(key, kQueryParseChars)) throw_invalid_piece("Query key", key, text);
    std::string decoded_key = query_decode(key);
    std::string decoded_val;
    std::size_t end = key_end;
    if (key_end < query.size() && query[key_end] == '=') {
      end = first_of(query, key_end + 1, ";&");
      const std::string_view val = query.substr(key_end + 1, end - key_end - 1);
      if (!all_admitted(val, kQueryParseChars)) throw_invalid_piece("Query value", val, text);
      decoded_val = query_decode(val);
    }
    entries.emplace_back(std::move(decoded_key), std::move(decoded_val));
    if (end >= query.size()) return entries;
    start = end + 1;
  }
}

}  // namespace

void HXUrl::parse_url() const {
  const std::string_view text(url_);
  const std::size_t n = text.size();
  if (n == 0) {
    reset();
    return;
  }
  if (n > kMaxText) throw parse_error("URI is longer than 8000 characters");

  // Scheme: up to a ':' that comes before any of "/?#".
  std::string_view scheme;
  std::size_t pos = 0;
  const std::size_t colon = first_of(text, 0, ":/?#");
  if (colon < n && text[colon] == ':') {
    scheme = text.substr(0, colon);
    if (!valid_scheme(scheme)) throw_invalid("Scheme", text);
    pos = colon + 1;
  }

  // Authority: "//" user-info "@" host ":" port, up to the first of "/?#".
  std::string_view user_info;
  std::string_view host;
  std::string_view port;
  signed char kind = -1;
  if (n - pos >= 2 && text[pos] == '/' && text[pos + 1] == '/') {
    const std::size_t start = pos + 2;
    const std::size_t end = first_of(text, start, "/?#");
    std::size_t host_start = start;
    const std::size_t at = text.substr(start, end - start).find('@');
    if (at != kNone) {
      user_info = text.substr(start, at);
      if (!all_admitted(user_info, kUserInfoParseChars)) throw_invalid("User info", text);
      host_start = start + at + 1;
    }
    std::size_t port_start = kNone;
    if (host_start < end && text[host_start] == '[') {
      const std::size_t close = text.find(']', host_start + 1);
      if (close >= end) throw parse_error("Missing ] in '" + url_ + "'");
      if (text[host_start + 1] == 'v') {
        // "[v" one hex digit "." body "]"; the ']' stops any shorter form.
        const int version = hex_value(text[host_start + 2]);
        if (version < 0 || text[host_start + 3] != '.') throw_invalid("Host address", text);
        host = text.substr(host_start + 4, close - host_start - 4);
        if (!all_admitted(host, kFutureChars)) throw_invalid("Host address", text);
        kind = static_cast<signed char>(version);
      } else {
        host = text.substr(host_start + 1, close - host_start - 1);
        if (!ipv6_chars(host)) throw_invalid("Host address", text);
        kind = 6;
      }
      if (close + 1 < end && text[close + 1] == ':') port_start = close + 2;  // else ignored
    } else {
      const std::size_t host_end = first_of(text.substr(0, end), host_start, ":");
      host = text.substr(host_start, host_end - host_start);
      if (looks_like_ipv4(host)) {
        kind = 4;  // octets are left unchecked here
      } else {
        if (!all_admitted(host, kHostChars)) throw_invalid("Host address", text);
        kind = 0;
      }
      if (host_end < end) port_start = host_end + 1;
    }
    if (port_start != kNone) {
      port = text.substr(port_start, end - port_start);
      if (!valid_port(port)) throw_invalid_piece("Port", port, text);
    }
    pos = end;
  }

  // Path up to '?' or '#', query up to '#', fragment to the end.
  const std::size_t path_end = first_of(text, pos, "?#");
  const std::string_view path = text.substr(pos, path_end - pos);
  if (!all_admitted(path, kPathParseChars)) throw_invalid_piece("Path", path, text);
  std::string_view query;
  std::size_t query_end = path_end;
  if (path_end < n && text[path_end] == '?') {
    query_end = first_of(text, path_end + 1, "#");
    query = text.substr(path_end + 1, query_end - path_end - 1);
  }
  std::string_view fragment;
  if (query_end < n) {
    fragment = text.substr(query_end + 1);
    if (!all_admitted(fragment, kQueryParseChars)) throw_invalid_piece("Fragment", fragment, text);
  }

  // Conversion, in the order that decides which failure is reported first.
  std::string new_scheme = to_lower(scheme);
  std::string new_user_info = percent_decode(user_info);
  // No host form admits '%', so the host needs no decoding.
  std::string new_host = kind == 6 ? normalize_ipv6(host) : kind == 0 ? to_lower(host) : std::string(host);
  std::string new_path = percent_decode(path);
  normalize_path_in_place(new_path);
  std::vector<KeyVal> new_query = parse_query(query, text);
  std::string new_fragment = percent_decode(fragment);

  scheme_ = std::move(new_scheme);
  user_info_ = std::move(new_user_info);
  host_ = std::move(new_host);
  ip_version_ = kind;
  port_.assign(port.data(), port.size());
  path_ = std::move(new_path);
  query_ = std::move(new_query);
  fragment_ = std::move(new_fragment);
  parsed_ = true;
  built_ = false;
}
