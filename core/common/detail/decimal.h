// SPDX-License-Identifier: Apache-2.0
// detail/decimal.h - integers written in decimal, without printf.
//
// `write_decimal` writes any integer as "%d" would (a '-' first when negative,
// the most negative value included) and no terminator, and returns the end of
// what it wrote: at most kMaxDecimalLength characters. Inline, so the log's
// header and `mvc::MStr`'s conversions keep it inlined. Pure, any thread.
// Example:
//   char text[kMaxDecimalLength + 1]; *write_decimal(text, -42) = '\0';  // "-42"
#pragma once

#include <type_traits>

namespace hxcore::detail {

// "-9223372036854775808", the longest 64-bit value.
inline constexpr int kMaxDecimalLength = 20;

template <typename Integer>
char* write_decimal(char* out, Integer value) {
  static_assert(std::is_integral_v<Integer> && sizeof(Integer) <= 8,
                "an integer of 64 bits at most");
  using Unsigned = std::make_unsigned_t<Integer>;
  auto magnitude = static_cast<Unsigned>(value);
  if constexpr (std::is_signed_v<Integer>) {
    if (value < 0) {
      *out++ = '-';
      magnitude = static_cast<Unsigned>(0u - magnitude);
    }
  }
  char digits[kMaxDecimalLength];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude = static_cast<Unsigned>(magnitude / 10);
  } while (magnitude != 0);
  while (count > 0) *out++ = digits[--count];
  return out;
}

}  // namespace hxcore::detail
