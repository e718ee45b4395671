// SPDX-License-Identifier: Apache-2.0
// detail/hex.h - hexadecimal digits, written and read, for every part of the library.
//
// The digit tables map a nibble (0 to 15) to its digit. `write_hex` writes two
// digits a byte, high nibble first; `write_lower_hex` writes a number without
// leading zeros; `hex_value` reads one digit of either case. No terminator is
// written: each writer returns the end of what it wrote. All inline or
// constexpr, so the hot paths (an MD5 digest's text, a URL's escapes) keep
// them inlined. Pure, any thread. Example:
//   char text[2 * 16]; write_hex(text, digest, 16, kUpperHexDigits);
//   hex_value('b') == 11, hex_value('g') == -1
#pragma once

#include <cstddef>
#include <cstdint>

namespace hxcore::detail {

inline constexpr char kUpperHexDigits[] = "0123456789ABCDEF";
inline constexpr char kLowerHexDigits[] = "0123456789abcdef";

// Writes the `length` bytes at `bytes` as 2 * `length` digits taken from
// `digits` (`kUpperHexDigits` or `kLowerHexDigits`).
inline char* write_hex(char* out, const unsigned char* bytes, std::size_t length,
                       const char* digits) {
  for (std::size_t i = 0; i < length; ++i) {
    *out++ = digits[bytes[i] >> 4];
    *out++ = digits[bytes[i] & 0xF];
  }
  return out;
}

// Writes `value` in lower-case hex without leading zeros ("0" for 0): at most
// 8 characters.
inline char* write_lower_hex(char* out, std::uint32_t value) {
  char digits[8];
  int count = 0;
  do {
    digits[count++] = kLowerHexDigits[value & 0xFu];
    value >>= 4;
  } while (value != 0);
  while (count > 0) *out++ = digits[--count];
  return out;
}

// Value of a hexadecimal digit of either case, or -1 for any other byte.
constexpr int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace hxcore::detail
