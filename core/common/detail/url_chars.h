// SPDX-License-Identifier: Apache-2.0
// url_chars.h - the byte classes that decide what a URL component may hold.
//
// One constant table gives each byte at most one class bit; a byte is admitted
// under a mask when its entry shares a bit with the mask. Each parse mask is its
// write mask plus '%': text being read may carry escapes, text being written
// escapes every '%'. Pure and stateless, callable from any thread.
// Example:
//   if (!all_admitted(host, kHostChars)) throw ...;
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace hxcore::detail {

// Class bits, one per byte at most.
constexpr std::uint8_t kUnreservedOrSubDelim = 0x01;
constexpr std::uint8_t kAtSign = 0x02;
constexpr std::uint8_t kColon = 0x04;
constexpr std::uint8_t kSlash = 0x08;
constexpr std::uint8_t kQuestionMark = 0x10;
constexpr std::uint8_t kPercent = 0x20;

// Masks in use.
constexpr std::uint8_t kHostChars = kUnreservedOrSubDelim;                             // 0x01
constexpr std::uint8_t kFutureChars = kHostChars | kColon;                              // 0x05
constexpr std::uint8_t kUserInfoWriteChars = kFutureChars;                              // 0x05
constexpr std::uint8_t kUserInfoParseChars = kUserInfoWriteChars | kPercent;            // 0x25
constexpr std::uint8_t kPathWriteChars = kFutureChars | kAtSign | kSlash;               // 0x0F
constexpr std::uint8_t kPathParseChars = kPathWriteChars | kPercent;                    // 0x2F
constexpr std::uint8_t kQueryWriteChars = kPathWriteChars | kQuestionMark;              // 0x1F
constexpr std::uint8_t kQueryParseChars = kQueryWriteChars | kPercent;                  // 0x3F

constexpr std::array<std::uint8_t, 256> make_url_char_classes() {
  std::array<std::uint8_t, 256> table{};
  for (int c = 'A'; c <= 'Z'; ++c) table[c] = kUnreservedOrSubDelim;
  for (int c = 'a'; c <= 'z'; ++c) table[c] = kUnreservedOrSubDelim;
  for (int c = '0'; c <= '9'; ++c) table[c] = kUnreservedOrSubDelim;
  for (char c : {'-', '.', '_', '~', '!', '$', '&', '\'', '(', ')', '*', '+', ',', ';', '='}) {
    table[static_cast<unsigned char>(c)] = kUnreservedOrSubDelim;
  }
  table['@'] = kAtSign;
  table[':'] = kColon;
  table['/'] = kSlash;
  table['?'] = kQuestionMark;
  table['%'] = kPercent;
  return table;
}

// The class bits of every byte; 0 for controls, blank, "#<>[\]^`{|}, 0x7F and 0x80-0xFF.
inline constexpr std::array<std::uint8_t, 256> kUrlCharClasses = make_url_char_classes();

// True when byte `c` has a class bit in `mask`.
inline bool admitted(char c, std::uint8_t mask) {
  return (kUrlCharClasses[static_cast<unsigned char>(c)] & mask) != 0;
}

// Offset of the first byte of `text` that `mask` does not admit, or npos.
inline std::size_t first_not_admitted(std::string_view text, std::uint8_t mask) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!admitted(text[i], mask)) return i;
  }
  return std::string_view::npos;
}

// True when every byte of `text` is admitted under `mask` (so also when empty).
inline bool all_admitted(std::string_view text, std::uint8_t mask) {
  return first_not_admitted(text, mask) == std::string_view::npos;
}

}  // namespace hxcore::detail
