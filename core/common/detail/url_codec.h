// SPDX-License-Identifier: Apache-2.0
// url_codec.h - percent-decoding of parsed components, percent-encoding of
// written ones.
//
// Decoders turn each '%' and two hex digits (either case) into that byte and
// throw `HXUrl::parse_error` "Invalid percent encoding" for a '%' without two
// hex digits after it; `query_decode` also reads '+' as a blank. Encoders
// write into a buffer with room for `kMaxEncodedGrowth` bytes per input byte
// and return the end of what they wrote, escaping as %XX (upper-case hex)
// every byte the mask does not admit; the query encoders write a blank as '+'
// and escape '+', '&', ';' (and '=' in keys) so entries split back the same.
// Pure, any thread. Example:
//   query_decode("a+b%2B") == "a b+"
//   char buf[3 * 3]; std::string(buf, write_query_key(buf, "x=y")) == "x%3Dy"
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace hxcore::detail {

std::string percent_decode(std::string_view text);
std::string query_decode(std::string_view text);

// An escape writes three bytes for one.
constexpr std::size_t kMaxEncodedGrowth = 3;

// Writes `text` at `out` with every byte outside `mask` written as %XX.
char* write_encoded(char* out, std::string_view text, std::uint8_t mask);
char* write_query_key(char* out, std::string_view key);
char* write_query_val(char* out, std::string_view val);

}  // namespace hxcore::detail
