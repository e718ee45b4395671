// SPDX-License-Identifier: Apache-2.0
// url_forms.h - address checks and the canonical forms of hosts and paths.
//
// Pure functions on byte ranges: the IPv4 check, the IPv6 character screen,
// the full IPv6 check, the IPv6 normal form and the path normalisation. Only
// `normalize_ipv6` throws (`HXUrl::parse_error`); the checks answer false and
// leave the message to their caller. Stateless, callable from any thread.
// Example:
//   if (ipv6_chars(h) && is_ipv6(h)) host = normalize_ipv6(h);  // "1:0:0::1" -> "1::1"
//   normalize_path("/a/./b/../c") == "/a/c"
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace hxcore::detail {

// Four decimal octets joined by single dots, no leading zero ("0" alone is
// fine), each at most 255 however many digits it has.
bool is_ipv4(std::string_view text);

// 2 to 254 bytes, each a hexadecimal digit, ':' or '.'.
bool ipv6_chars(std::string_view text);

// A complete IPv6 address: eight groups of 1 to 4 hex digits, or fewer around
// one "::", the last two groups optionally an IPv4 address. Any length these
// take, so the full form with a dotted tail passes at its 45 bytes.
bool is_ipv6_literal(std::string_view text);

// `is_ipv6_literal` within 2 to 39 bytes: the `host` setter's check.
bool is_ipv6(std::string_view text);

// Lower-case groups without leading zeros, the longest run of two or more zero
// groups (the first on a tie) written "::", a dotted IPv4 tail kept as it is.
// Throws `HXUrl::parse_error` "IPv6 [TEXT] is invalid" for any text that
// `is_ipv6_literal` refuses; TEXT is `text` less one trailing ':' once the
// character screen has passed.
std::string normalize_ipv6(std::string_view text);

// A letter, then letters, digits, '+', '-' or '.'.
bool valid_scheme(std::string_view text);

// 7 to 254 bytes, each a decimal digit or '.': a host taken as IPv4 whatever
// else it could be.
bool looks_like_ipv4(std::string_view text);

// Decimal 0 to 65535, non-empty, digits only, no leading zero ("0" is fine).
bool valid_port(std::string_view text);

// True for port "80" under scheme "http" and "443" under "https": a port the
// text leaves out.
bool is_default_port(std::string_view scheme, std::string_view port);

// Drops empty and "." segments but the last, and lets ".." remove the last
// kept segment (none at the top: "/.." is "/", "../a" is "a"). A last "."
// leaves a trailing '/', a last ".." none; a leading '/' stays and "" stays "".
// `normalize_path_in_place` does the same inside `path` without allocating.
std::string normalize_path(std::string_view path);
void normalize_path_in_place(std::string& path);

}  // namespace hxcore::detail
