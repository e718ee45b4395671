// SPDX-License-Identifier: Apache-2.0
// detail/scrambled_string.h - the format the library's stored secrets are kept in.
//
// A stored string is a length prefix L (unsigned LEB128) and L bytes holding
// the text, its terminating zero and zero padding, enciphered in independent
// 8-byte blocks with XTEA of 16 rounds; L is the text length plus 7 rounded
// down to a multiple of 8, so a text whose length is a multiple of 8 keeps its
// terminator just after the body. Decoding works in place and zeroes the
// prefix, so decoding again finds the plain text by skipping the zeros.
// Storage must end in a zero byte: it bounds the skip (an empty text is a lone
// zero prefix). Not thread-safe on one storage: decode it once before sharing.
// Example:
//   std::vector<unsigned char> s(scrambled_storage_size(strlen(t)));
//   encode_scrambled_string(t, s.data(), nullptr, key); const char* p =
//   decode_scrambled_string(s.data(), s.size(), key);
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace hxcore::detail {

using ScrambleKey = std::array<uint32_t, 4>;

// Bytes the encoder writes for a text of `length` bytes, plus the one zero
// byte that must follow in storage.
size_t scrambled_storage_size(size_t length);

// Writes prefix and enciphered body of `text` to `out` (which holds at least
// scrambled_storage_size(strlen(text)) bytes) and a zero byte after them; stores
// the count of prefix and body bytes in `*outLength` when it is not null and
// returns it.
size_t encode_scrambled_string(const char* text, unsigned char* out, size_t* outLength,
                               const ScrambleKey& key);

// Unscrambles the stored string in place and returns its zero-terminated plain
// text; a second call returns the same text. Null when the storage is too short
// for its prefix, or does not end in a zero byte.
const char* decode_scrambled_string(unsigned char* storage, size_t size, const ScrambleKey& key);

}  // namespace hxcore::detail

namespace hxcore::detail {

// The stored form of a PEM text: every "\n" written as "==".
std::string fold_line_breaks(const std::string& pem);

// The inverse, as the library applies it: every "==" becomes "\n", scanning
// from the left and resuming after each inserted break. A line ending in "="
// does not come back unchanged, so key material must have none.
std::string restore_line_breaks(const std::string& stored);

// The same on `length` bytes at `text`, in place (the text never grows);
// returns the restored length.
size_t restore_line_breaks_in_place(char* text, size_t length);

}  // namespace hxcore::detail
