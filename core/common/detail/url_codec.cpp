// Percent-decoding and percent-encoding of URL components.
#include "detail/url_codec.h"

#include "HXUrl.h"
#include "detail/url_chars.h"

namespace hxcore::detail {

namespace {

constexpr char kUpperHexDigits[] = "0123456789ABCDEF";

template <bool kPlusIsBlank>
std::string decode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '%') {
      const int high = i + 1 < text.size() ? hex_value(text[i + 1]) : -1;
      const int low = i + 2 < text.size() ? hex_value(text[i + 2]) : -1;
      if (high < 0 || low < 0) throw HXUrl::parse_error("Invalid percent encoding");
      out += static_cast<char>(high * 16 + low);
      i += 2;
    } else if (kPlusIsBlank && c == '+') {
      out += ' ';
    } else {
      out += c;
    }
  }
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
  for (char c : text) {
    switch (c) {
      case ' ':
        out += '+';
        break;
      case '+':
      case '&':
      case ';':
        append_escape(out, c);
        break;
      case '=':
        if (kKeepEquals) {
          out += c;
        } else {
          append_escape(out, c);
        }
        break;
      default:
        if (admitted(c, kQueryWriteChars)) {
          out += c;
        } else {
          append_escape(out, c);
        }
    }
  }
}

}  // namespace

std::string percent_decode(std::string_view text) { return decode<false>(text); }

std::string query_decode(std::string_view text) { return decode<true>(text); }

void append_encoded(std::string& out, std::string_view text, std::uint8_t mask) {
  for (char c : text) {
    if (admitted(c, mask)) {
      out += c;
    } else {
      append_escape(out, c);
    }
  }
}

void append_query_key(std::string& out, std::string_view key) { append_query_part<false>(out, key); }

void append_query_val(std::string& out, std::string_view val) { append_query_part<true>(out, val); }

}  // namespace hxcore::detail
