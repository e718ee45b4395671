// SPDX-License-Identifier: Apache-2.0
// Percent-decoding and percent-encoding of URL components.
#include "detail/url_codec.h"

#include "HXUrl.h"
#include "detail/hex.h"
#include "detail/url_chars.h"

namespace hxcore::detail {

namespace {

// Decoding never lengthens the text: write into a copy, then cut it.
template <bool kPlusIsBlank>
std::string decode(std::string_view text) {
  std::string out(text);
  const std::size_t n = text.size();
  std::size_t read = 0;
  while (read < n && text[read] != '%' && !(kPlusIsBlank && text[read] == '+')) ++read;
  std::size_t write = read;
  for (; read < n; ++read) {
    const char c = text[read];
    if (c == '%') {
      const int high = read + 1 < n ? hex_value(text[read + 1]) : -1;
      const int low = read + 2 < n ? hex_value(text[read + 2]) : -1;
      if (high < 0 || low < 0) throw HXUrl::parse_error("Invalid percent encoding");
      out[write++] = static_cast<char>(high * 16 + low);
      read += 2;
    } else if (kPlusIsBlank && c == '+') {
      out[write++] = ' ';
    } else {
      out[write++] = c;
    }
  }
  out.resize(write);
  return out;
}

char* write_escape(char* out, char c) {
  const auto byte = static_cast<unsigned char>(c);
  *out = '%';
  return write_hex(out + 1, &byte, 1, kUpperHexDigits);
}

// The query encoders differ only in whether '=' may stay as it is.
template <bool kKeepEquals>
char* write_query_part(char* out, std::string_view text) {
  for (char c : text) {
    const bool special = c == ' ' || c == '+' || c == '&' || c == ';' || (c == '=' && !kKeepEquals);
    if (!special && admitted(c, kQueryWriteChars)) {
      *out++ = c;
    } else if (c == ' ') {
      *out++ = '+';
    } else {
      out = write_escape(out, c);
    }
  }
  return out;
}

}  // namespace

std::string percent_decode(std::string_view text) { return decode<false>(text); }

std::string query_decode(std::string_view text) { return decode<true>(text); }

char* write_encoded(char* out, std::string_view text, std::uint8_t mask) {
  for (char c : text) {
    if (admitted(c, mask)) {
      *out++ = c;
    } else {
      out = write_escape(out, c);
    }
  }
  return out;
}

char* write_query_key(char* out, std::string_view key) { return write_query_part<false>(out, key); }

char* write_query_val(char* out, std::string_view val) { return write_query_part<true>(out, val); }

}  // namespace hxcore::detail
