// SPDX-License-Identifier: Apache-2.0
// detail/ascii.h - ASCII character classes and case folding.
//
// Only the 26 letters of each case and the ten digits are known; every other
// byte, 0x80-0xFF included, is no letter, no digit and folds to itself. The
// answers are the same on every system and in every locale, unlike <cctype>,
// so URLs and `mvc::MStr` compare alike everywhere. constexpr or inline, so the
// loops that call them (case-blind search, host names) keep them inlined.
// Pure, any thread. Example:
//   ascii_tolower('Q') == 'q', ascii_tolower('\xC9') == '\xC9'
//   ascii_str_to_lower("HTTP") == "http"
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace hxcore::detail {

constexpr bool ascii_isdigit(char c) { return c >= '0' && c <= '9'; }

constexpr bool ascii_isalpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Each byte's lower-case form. A table: the case-blind search folds every
// byte it reads, and one load is quicker there than two comparisons.
constexpr std::array<unsigned char, 256> make_ascii_lower_table() {
  std::array<unsigned char, 256> table{};
  for (std::size_t i = 0; i < table.size(); ++i) {
    table[i] = static_cast<unsigned char>(i >= 'A' && i <= 'Z' ? i - 'A' + 'a' : i);
  }
  return table;
}
inline constexpr std::array<unsigned char, 256> kAsciiLower = make_ascii_lower_table();

constexpr char ascii_tolower(char c) {
  return static_cast<char>(kAsciiLower[static_cast<unsigned char>(c)]);
}

constexpr char ascii_toupper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// `text` with A to Z turned into a to z.
inline std::string ascii_str_to_lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = ascii_tolower(c);
  return lower;
}

}  // namespace hxcore::detail
