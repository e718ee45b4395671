// SPDX-License-Identifier: Apache-2.0
// Base64 with the library's tolerant decoding. Encoding looks up two output
// characters per 12 input bits; decoding looks up each character's bits already
// shifted into place and takes the exact (slow) path only for a group that
// holds a character outside the alphabet.
#include "detail/base64.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace hxcore::detail {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr unsigned char kInvalid = 255;
// Marks a group that holds an invalid character in the shifted tables.
constexpr uint32_t kInvalidFlag = 0x01000000u;

constexpr std::array<unsigned char, 256> makeValues() {
  std::array<unsigned char, 256> values{};
  for (unsigned char& v : values) v = kInvalid;
  for (int i = 0; i < 64; ++i)
    values[static_cast<unsigned char>(kAlphabet[i])] = static_cast<unsigned char>(i);
  return values;
}
constexpr std::array<unsigned char, 256> kValues = makeValues();

// Two characters for every 12-bit value, first character in the low byte.
constexpr std::array<uint16_t, 4096> makePairs() {
  std::array<uint16_t, 4096> pairs{};
  for (int i = 0; i < 4096; ++i) {
    pairs[i] = static_cast<uint16_t>(static_cast<unsigned char>(kAlphabet[i >> 6]) |
                                     (static_cast<unsigned char>(kAlphabet[i & 63]) << 8));
  }
  return pairs;
}
constexpr std::array<uint16_t, 4096> kPairs = makePairs();

// The 24-bit group a character contributes at position `slot` (0..3), or the
// invalid flag.
constexpr std::array<uint32_t, 256> makeShifted(int slot) {
  std::array<uint32_t, 256> shifted{};
  for (int c = 0; c < 256; ++c) {
    const unsigned char v = kValues[c];
    shifted[c] = v == kInvalid ? kInvalidFlag : static_cast<uint32_t>(v) << (18 - 6 * slot);
  }
  return shifted;
}
constexpr std::array<uint32_t, 256> kShifted0 = makeShifted(0);
constexpr std::array<uint32_t, 256> kShifted1 = makeShifted(1);
constexpr std::array<uint32_t, 256> kShifted2 = makeShifted(2);
constexpr std::array<uint32_t, 256> kShifted3 = makeShifted(3);

// The three bytes of one group, each sum taken modulo 256 (an invalid value
// 255 spills into its neighbour's bits by addition, not by OR).
void decodeGroupExactly(const unsigned char v[4], unsigned char out[3]) {
  out[0] = static_cast<unsigned char>((v[0] << 2) + ((v[1] >> 4) & 0x3));
  out[1] = static_cast<unsigned char>((v[1] << 4) + ((v[2] >> 2) & 0xF));
  out[2] = static_cast<unsigned char>((v[2] << 6) + v[3]);
}

// One group of four characters: the shifted tables when every character is in
// the alphabet, the exact sums otherwise.
inline void decodeGroup(const unsigned char* in, unsigned char out[3]) {
  const uint32_t group = kShifted0[in[0]] | kShifted1[in[1]] | kShifted2[in[2]] | kShifted3[in[3]];
  if ((group & kInvalidFlag) == 0) {
    out[0] = static_cast<unsigned char>(group >> 16);
    out[1] = static_cast<unsigned char>(group >> 8);
    out[2] = static_cast<unsigned char>(group);
    return;
  }
  const unsigned char values[4] = {kValues[in[0]], kValues[in[1]], kValues[in[2]], kValues[in[3]]};
  decodeGroupExactly(values, out);
}

}  // namespace

int64_t base64_expected_length(const char* text, size_t length) {
  size_t pads = 0;
  while (pads < length && text[length - 1 - pads] == '=') ++pads;
  return static_cast<int64_t>(length) * 6 / 8 - static_cast<int64_t>(pads);
}

bool base64_encode(const unsigned char* bytes, size_t length, char* out, size_t capacity) {
  if (capacity < base64_encoded_length(length)) return false;
  size_t i = 0;
  for (; i + 3 <= length; i += 3) {
    const uint32_t group =
        (uint32_t{bytes[i]} << 16) | (uint32_t{bytes[i + 1]} << 8) | bytes[i + 2];
    const uint16_t pairs[2] = {kPairs[group >> 12], kPairs[group & 0xFFF]};
    std::memcpy(out, pairs, sizeof(pairs));  // pairs hold their first character in the low byte
    out += 4;
  }
  const size_t rest = length - i;
  if (rest > 0) {
    const uint32_t group =
        (uint32_t{bytes[i]} << 16) | (rest == 2 ? uint32_t{bytes[i + 1]} << 8 : 0);
    out[0] = kAlphabet[group >> 18];
    out[1] = kAlphabet[(group >> 12) & 63];
    out[2] = rest == 2 ? kAlphabet[(group >> 6) & 63] : '=';
    out[3] = '=';
  }
  return true;
}

bool base64_encode(const std::string& bytes, std::string& out) {
  out.resize(base64_encoded_length(bytes.size()));
  return base64_encode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                       out.data(), out.size());
}

bool base64_decode(const char* text, size_t length, unsigned char* out, size_t capacity) {
  const int64_t expected = base64_expected_length(text, length);
  if (expected < 0 || capacity < static_cast<uint64_t>(expected)) return false;
  const auto* in = reinterpret_cast<const unsigned char*>(text);
  const void* firstPad = std::memchr(text, '=', length);
  const size_t end =
      firstPad != nullptr ? static_cast<size_t>(static_cast<const char*>(firstPad) - text) : length;

  // Whole groups that fit the announced length are decoded without checks; a
  // text that holds more fills the announced length and fails.
  const size_t limit = static_cast<size_t>(expected);
  const size_t wholeGroups = end / 4;
  const size_t fittingGroups = std::min(wholeGroups, limit / 3);
  size_t written = 0;
  size_t i = 0;
  unsigned char bytes[3];
  for (; i < fittingGroups * 4; i += 4) {
    decodeGroup(in + i, bytes);
    out[written] = bytes[0];
    out[written + 1] = bytes[1];
    out[written + 2] = bytes[2];
    written += 3;
  }
  if (wholeGroups > fittingGroups) {
    decodeGroup(in + i, bytes);
    for (size_t k = 0; written < limit; ++k) out[written++] = bytes[k];
    return false;
  }
  const size_t rest = end - i;
  if (rest > 1) {
    unsigned char values[4] = {0, 0, 0, 0};
    for (size_t k = 0; k < rest; ++k) values[k] = kValues[in[i + k]];
    decodeGroupExactly(values, bytes);
    for (size_t k = 0; k + 1 < rest; ++k) {
      if (written == limit) return false;
      out[written++] = bytes[k];
    }
  }
  return written == limit;
}

bool base64_decode(const std::string& text, std::string& out) {
  const int64_t expected = base64_expected_length(text.data(), text.size());
  out.assign(expected < 0 ? 0 : static_cast<size_t>(expected), '\0');
  if (expected < 0) return false;
  return base64_decode(text.data(), text.size(), reinterpret_cast<unsigned char*>(out.data()),
                       out.size());
}

}  // namespace hxcore::detail
