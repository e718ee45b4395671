// url_codec.h - percent-decoding of parsed components, percent-encoding of
// written ones.
//
// Decoders turn each '%' and two hex digits (either case) into that byte and
// throw `HXUrl::parse_error` "Invalid percent encoding" for a '%' without two
// hex digits after it; `query_decode` also reads '+' as a blank. Encoders
// append to a buffer, escaping as %XX (upper-case hex) every byte the mask
// does not admit; the query encoders write a blank as '+' and escape '+', '&',
// ';' (and '=' in keys) so entries split back the same. Pure, any thread.
// Example:
//   query_decode("a+b%2B") == "a b+"
//   std::string out; append_query_key(out, "x=y");   // out == "x%3Dy"
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace hxcore::detail {

std::string percent_decode(std::string_view text);
std::string query_decode(std::string_view text);

// Appends `text` with every byte outside `mask` written as %XX.
void append_encoded(std::string& out, std::string_view text, std::uint8_t mask);
void append_query_key(std::string& out, std::string_view key);
void append_query_val(std::string& out, std::string_view val);

}  // namespace hxcore::detail
