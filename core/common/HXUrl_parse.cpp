// SPDX-License-Identifier: Apache-2.0
// HXUrl's parser: one left-to-right scan that cuts the text at the generic URL
// delimiters and checks every piece, then the conversion of the pieces into
// the components, stored all at once only when everything has passed.
#include <array>
#include <cstdint>
#include <string_view>

#include "HXUrl.h"
#include "detail/ascii.h"
#include "detail/hex.h"
#include "detail/url_chars.h"
#include "detail/url_codec.h"
#include "detail/url_forms.h"

namespace {

using namespace hxcore::detail;

constexpr std::size_t kMaxText = 8000;
constexpr std::string_view::size_type kNone = std::string_view::npos;

// Stop bits for the scans: the delimiters that end one piece of the text.
constexpr std::uint8_t kAtColon = 0x01;     // ':'
constexpr std::uint8_t kAtSlash = 0x02;     // '/'
constexpr std::uint8_t kAtQuestion = 0x04;  // '?'
constexpr std::uint8_t kAtHash = 0x08;      // '#'
constexpr std::uint8_t kAtEquals = 0x10;    // '='
constexpr std::uint8_t kAtEntryEnd = 0x20;  // '&' ';'
constexpr std::uint8_t kAtAtSign = 0x40;    // '@'

constexpr std::array<std::uint8_t, 256> make_stops() {
  std::array<std::uint8_t, 256> stops{};
  stops[':'] = kAtColon;
  stops['/'] = kAtSlash;
  stops['?'] = kAtQuestion;
  stops['#'] = kAtHash;
  stops['='] = kAtEquals;
  stops['&'] = kAtEntryEnd;
  stops[';'] = kAtEntryEnd;
  stops['@'] = kAtAtSign;
  return stops;
}

constexpr std::array<std::uint8_t, 256> kStops = make_stops();

// First byte at or after `from` with one of the `stops` bits, or the end.
std::size_t first_stop(std::string_view text, std::size_t from, std::uint8_t stops) {
  while (from < text.size() && (kStops[static_cast<unsigned char>(text[from])] & stops) == 0) ++from;
  return from;
}

// Bytes that carry a piece on: admitted by the piece's parse mask and not one
// of the delimiters that end it.
constexpr std::uint8_t kInPath = 0x01;      // mask 0x2F; '?' and '#' are outside it
constexpr std::uint8_t kInQueryKey = 0x02;  // mask 0x3F but '=', '&', ';'
constexpr std::uint8_t kInQueryVal = 0x04;  // mask 0x3F but '&', ';'
constexpr std::uint8_t kInFragment = 0x08;  // mask 0x3F
constexpr std::uint8_t kEscaping = 0x10;    // '%' and '+': the piece needs decoding
constexpr std::uint8_t kInHost = 0x20;      // mask 0x01, a registered name
constexpr std::uint8_t kUpper = 0x40;       // 'A' to 'Z': the name needs lower-casing

constexpr std::array<std::uint8_t, 256> make_piece_bytes() {
  std::array<std::uint8_t, 256> piece{};
  for (int b = 0; b < 256; ++b) {
    const std::uint8_t classes = kUrlCharClasses[b];
    const bool entry_end = b == '&' || b == ';';
    if (classes & kPathParseChars) piece[b] |= kInPath;
    if ((classes & kQueryParseChars) && !entry_end && b != '=') piece[b] |= kInQueryKey;
    if ((classes & kQueryParseChars) && !entry_end) piece[b] |= kInQueryVal;
    if (classes & kQueryParseChars) piece[b] |= kInFragment;
    if (b == '%' || b == '+') piece[b] |= kEscaping;
    if (classes & kHostChars) piece[b] |= kInHost;
    if (b >= 'A' && b <= 'Z') piece[b] |= kUpper;
  }
  return piece;
}

constexpr std::array<std::uint8_t, 256> kPieceBytes = make_piece_bytes();

struct Piece {
  std::string_view text;
  bool clean;         // every byte is one the piece may hold
  std::uint8_t seen;  // the bits of its bytes, complete when clean

  bool has(std::uint8_t bit) const { return (seen & bit) != 0; }
};

// The piece that starts at `from` and ends at the first byte with one of the
// `stops` bits, or at the end; `in_piece` tells the bytes it may hold.
Piece scan_piece(std::string_view text, std::size_t from, std::uint8_t in_piece, std::uint8_t stops) {
  std::size_t end = from;
  std::uint8_t seen = 0;
  for (; end < text.size(); ++end) {
    const std::uint8_t bits = kPieceBytes[static_cast<unsigned char>(text[end])];
    if ((bits & in_piece) == 0) break;
    seen |= bits;
  }
  const bool clean = end == text.size() || (kStops[static_cast<unsigned char>(text[end])] & stops) != 0;
  if (!clean) end = first_stop(text, end, stops);
  return {text.substr(from, end - from), clean, seen};
}

std::string decoded(const Piece& piece) {
  return piece.has(kEscaping) ? percent_decode(piece.text) : std::string(piece.text);
}

std::string query_decoded(const Piece& piece) {
  return piece.has(kEscaping) ? query_decode(piece.text) : std::string(piece.text);
}

// "<what> in '<text>' is invalid", byte for byte: a quoted zero byte stays in.
[[noreturn]] void throw_invalid(std::string_view what, std::string_view text) {
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
  throw_invalid(message, text);
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
    const Piece key = scan_piece(query, start, kInQueryKey, kAtEquals | kAtEntryEnd);
    if (!key.clean) throw_invalid_piece("Query key", key.text, text);
    std::string decoded_key = query_decoded(key);
    std::string decoded_val;
    std::size_t end = start + key.text.size();
    if (end < query.size() && query[end] == '=') {
      const Piece val = scan_piece(query, end + 1, kInQueryVal, kAtEntryEnd);
      if (!val.clean) throw_invalid_piece("Query value", val.text, text);
      decoded_val = query_decoded(val);
      end += 1 + val.text.size();
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
  const std::size_t colon = first_stop(text, 0, kAtColon | kAtSlash | kAtQuestion | kAtHash);
  if (colon < n && text[colon] == ':') {
    scheme = text.substr(0, colon);
    if (!valid_scheme(scheme)) throw_invalid("Scheme", text);
    pos = colon + 1;
  }

  // Authority: "//" user-info "@" host ":" port, up to the first of "/?#".
  std::string_view user_info;
  std::string_view host;
  bool host_needs_lowering = false;
  std::string_view port;
  signed char kind = -1;
  if (n - pos >= 2 && text[pos] == '/' && text[pos + 1] == '/') {
    constexpr std::uint8_t kAuthorityEnd = kAtSlash | kAtQuestion | kAtHash;
    const std::size_t start = pos + 2;
    std::size_t end = first_stop(text, start, kAuthorityEnd | kAtAtSign);
    std::size_t host_start = start;
    if (end < n && text[end] == '@') {
      const std::size_t at = end;
      end = first_stop(text, at + 1, kAuthorityEnd);
      user_info = text.substr(start, at - start);
      if (!all_admitted(user_info, kUserInfoParseChars)) throw_invalid("User info", text);
      host_start = at + 1;
    }
    const std::string_view authority = text.substr(0, end);
    std::size_t port_start = kNone;
    if (host_start < end && text[host_start] == '[') {
      const std::size_t close = text.find(']', host_start + 1);
      if (close >= end) throw parse_error("Missing ] in '" + url_ + "'");
      if (text[host_start + 1] == 'v') {
        // "[v" one hex digit "." body "]"; the ']' stops any shorter form. The
        // `host` setter takes any version byte, but only 0 to 15 parse back.
        const int version = hex_value(text[host_start + 2]);
        if (version < 0 || text[host_start + 3] != '.') throw_invalid("Host address", text);
        host = text.substr(host_start + 4, close - host_start - 4);
        if (!all_admitted(host, kFutureChars)) throw_invalid("Host address", text);
        kind = static_cast<signed char>(version);
        host_needs_lowering = true;  // matters for version 0 only
      } else {
        host = text.substr(host_start + 1, close - host_start - 1);
        if (!ipv6_chars(host)) throw_invalid("Host address", text);
        kind = 6;
      }
      if (close + 1 < end && text[close + 1] == ':') port_start = close + 2;  // else ignored
    } else {
      // Digits and dots are name bytes: a refused byte rules out IPv4 too.
      const Piece name = scan_piece(authority, host_start, kInHost, kAtColon);
      if (!name.clean) throw_invalid("Host address", text);
      host = name.text;
      kind = looks_like_ipv4(host) ? 4 : 0;  // octets are left unchecked here
      host_needs_lowering = name.has(kUpper);
      const std::size_t host_end = host_start + host.size();
      if (host_end < end) port_start = host_end + 1;
    }
    if (port_start != kNone) {
      port = text.substr(port_start, end - port_start);
      if (!valid_port(port)) throw_invalid_piece("Port", port, text);
    }
    pos = end;
  }

  // Path up to '?' or '#', query up to '#', fragment to the end.
  const Piece path = scan_piece(text, pos, kInPath, kAtQuestion | kAtHash);
  if (!path.clean) throw_invalid_piece("Path", path.text, text);
  const std::size_t path_end = pos + path.text.size();
  std::string_view query;
  std::size_t query_end = path_end;
  if (path_end < n && text[path_end] == '?') {
    query_end = first_stop(text, path_end + 1, kAtHash);
    query = text.substr(path_end + 1, query_end - path_end - 1);
  }
  Piece fragment{{}, true, 0};
  if (query_end < n) {
    fragment = scan_piece(text, query_end + 1, kInFragment, 0);
    if (!fragment.clean) throw_invalid_piece("Fragment", fragment.text, text);
  }

  // Conversion, in the order that decides which failure is reported first.
  std::string new_scheme = ascii_str_to_lower(scheme);
  std::string new_user_info =
      user_info.find('%') == kNone ? std::string(user_info) : percent_decode(user_info);
  // No host form admits '%', so the host needs no decoding.
  std::string new_host = kind == 6                          ? normalize_ipv6(host)
                         : kind == 0 && host_needs_lowering ? ascii_str_to_lower(host)
                                                            : std::string(host);
  std::string new_path = decoded(path);
  normalize_path_in_place(new_path);
  std::vector<KeyVal> new_query = parse_query(query, text);
  std::string new_fragment = decoded(fragment);

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
