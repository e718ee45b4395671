// SPDX-License-Identifier: Apache-2.0
// detail/base64.h - the library's Base64 codec (standard alphabet, "=" pads).
//
// The decoder is tolerant by design: a character outside the alphabet is read
// as the value 255 and its bits enter the output, and a text without pads
// decodes (two characters give one byte, three give two). It fails only when
// the bytes it writes differ in number from the expected length, so a "="
// inside the text fails. Buffer forms write nothing past `capacity`; string
// forms replace `out`. Pure functions, thread-safe. Example:
//   std::string bytes;
//   if (!hxcore::detail::base64_decode("QUJD", bytes)) return;   // bytes == "ABC"
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace hxcore::detail {

// 4 characters per started group of three bytes.
constexpr size_t base64_encoded_length(size_t byteCount) { return (byteCount + 2) / 3 * 4; }

// The decoded length a text announces: length * 6 / 8 minus its trailing "="
// characters. Negative for texts made mostly of "=" ("=" gives -1). Worked
// out in 64 bits, so a text past 2^31 / 6 characters is not mis-sized.
int64_t base64_expected_length(const char* text, size_t length);

// Writes exactly base64_encoded_length(length) characters, no terminator; false
// (nothing written) when `capacity` is smaller.
bool base64_encode(const unsigned char* bytes, size_t length, char* out, size_t capacity);
bool base64_encode(const std::string& bytes, std::string& out);

// False without writing when `capacity` is below the expected length (or that
// length is negative); false too when the text yields another number of bytes
// than expected, after writing at most the expected number.
bool base64_decode(const char* text, size_t length, unsigned char* out, size_t capacity);
// `out` is sized to the expected length (empty when it is negative) and holds
// what was decoded even on failure.
bool base64_decode(const std::string& text, std::string& out);

}  // namespace hxcore::detail
