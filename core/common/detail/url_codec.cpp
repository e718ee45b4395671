// Percent-decoding and percent-encoding of URL components.
#include "detail/url_codec.h"

#include "HXUrl.h"
#include "detail/url_chars.h"

namespace hxcore::detail {

namespace {

constexpr char kUpperHexDigits[] = "0123456789ABCDEF";

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

void append_escape(std::string& out, char c) {
  const auto byte = static_cast<unsigned char>(c);
  out += '%';
  out += kUpperHexDigits[byte >> 4];
  out += kUpperHexDigits[byte & 0xF];
}

// The query encoders differ only in whether '=' may stay as it is.
template <bool kKeepEquals>
void append_query_part(std::string& out, std::string_view text) {
  std::size_t run = 0;  // start of the bytes written as they are
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool special = c == ' ' || c == '+' || c == '&' || c == ';' || (c == '=' && !kKeepEquals);
    if (!special && admitted(c, kQueryWriteChars)) continue;
    out.append(text.data() + run, i - run);
    run = i + 1;
    if (c == ' ') {
      out += '+';
    } else {
      append_escape(out, c);
    }
  }
  out.append(text.data() + run, text.size() - run);
}

}  // namespace

std::string percent_decode(std::string_view text) { return decode<false>(text); }

std::string query_decode(std::string_view text) { return decode<true>(text); }

void append_encoded(std::string& out, std::string_view text, std::uint8_t mask) {
  std::size_t run = 0;  // start of the bytes written as they are
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (admitted(text[i], mask)) continue;
    out.append(text.data() + run, i - run);
    append_escape(out, text[i]);
    run = i + 1;
  }
  out.append(text.data() + run, text.size() - run);
}

void append_query_key(std::string& out, std::string_view key) { append_query_part<false>(out, key); }

void append_query_val(std::string& out, std::string_view val) { append_query_part<true>(out, val); }

}  // namespace hxcore::detail
