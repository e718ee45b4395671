// SPDX-License-Identifier: Apache-2.0
#include "MMD5.h"

#include <cstdint>
#include <cstring>

#include "detail/hex.h"

namespace mvc {

namespace {

constexpr uint32_t kInitialState[4] = {0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u};

// The padding: one 1 bit, then zeros up to 56 bytes modulo 64.
constexpr unsigned char kPadding[64] = {0x80};

inline uint32_t load_le32(const unsigned char* bytes) {
  // Compilers turn this into one load on little-endian machines.
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

inline void store_le32(unsigned char* bytes, uint32_t word) {
  bytes[0] = static_cast<unsigned char>(word);
  bytes[1] = static_cast<unsigned char>(word >> 8);
  bytes[2] = static_cast<unsigned char>(word >> 16);
  bytes[3] = static_cast<unsigned char>(word >> 24);
}

template <int Shift>
inline uint32_t rotate_left(uint32_t word) {
  return (word << Shift) | (word >> (32 - Shift));
}

// The four round functions, each in the form with the shortest dependency
// chain on `b` (the value the previous step just produced).
template <int Shift>
inline void round_f(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t word,
                    uint32_t constant) {
  a += word + constant + (d ^ (b & (c ^ d)));
  a = rotate_left<Shift>(a) + b;
}

template <int Shift>
inline void round_g(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t word,
                    uint32_t constant) {
  // (b & d) | (c & ~d) as a sum of two disjoint parts: the c part does not wait for b.
  a += word + constant + (c & ~d);
  a += b & d;
  a = rotate_left<Shift>(a) + b;
}

template <int Shift>
inline void round_h(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t word,
                    uint32_t constant) {
  a += word + constant + (b ^ c ^ d);
  a = rotate_left<Shift>(a) + b;
}

template <int Shift>
inline void round_i(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t word,
                    uint32_t constant) {
  a += word + constant + (c ^ (b | ~d));
  a = rotate_left<Shift>(a) + b;
}

// Compresses `blocks` consecutive 64-byte blocks into `state`, which stays in
// registers from one block to the next.
void compress(uint32_t state[4], const unsigned char* data, size_t blocks) {
  uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
  for (; blocks > 0; --blocks, data += 64) {
    const auto x = [data](int i) { return load_le32(data + 4 * i); };
    const uint32_t old_a = a, old_b = b, old_c = c, old_d = d;

    round_f<7>(a, b, c, d, x(0), 0xd76aa478u);
    round_f<12>(d, a, b, c, x(1), 0xe8c7b756u);
    round_f<17>(c, d, a, b, x(2), 0x242070dbu);
    round_f<22>(b, c, d, a, x(3), 0xc1bdceeeu);
    round_f<7>(a, b, c, d, x(4), 0xf57c0fafu);
    round_f<12>(d, a, b, c, x(5), 0x4787c62au);
    round_f<17>(c, d, a, b, x(6), 0xa8304613u);
    round_f<22>(b, c, d, a, x(7), 0xfd469501u);
    round_f<7>(a, b, c, d, x(8), 0x698098d8u);
    round_f<12>(d, a, b, c, x(9), 0x8b44f7afu);
    round_f<17>(c, d, a, b, x(10), 0xffff5bb1u);
    round_f<22>(b, c, d, a, x(11), 0x895cd7beu);
    round_f<7>(a, b, c, d, x(12), 0x6b901122u);
    round_f<12>(d, a, b, c, x(13), 0xfd987193u);
    round_f<17>(c, d, a, b, x(14), 0xa679438eu);
    round_f<22>(b, c, d, a, x(15), 0x49b40821u);

    round_g<5>(a, b, c, d, x(1), 0xf61e2562u);
    round_g<9>(d, a, b, c, x(6), 0xc040b340u);
    round_g<14>(c, d, a, b, x(11), 0x265e5a51u);
    round_g<20>(b, c, d, a, x(0), 0xe9b6c7aau);
    round_g<5>(a, b, c, d, x(5), 0xd62f105du);
    round_g<9>(d, a, b, c, x(10), 0x02441453u);
    round_g<14>(c, d, a, b, x(15), 0xd8a1e681u);
    round_g<20>(b, c, d, a, x(4), 0xe7d3fbc8u);
    round_g<5>(a, b, c, d, x(9), 0x21e1cde6u);
    round_g<9>(d, a, b, c, x(14), 0xc33707d6u);
    round_g<14>(c, d, a, b, x(3), 0xf4d50d87u);
    round_g<20>(b, c, d, a, x(8), 0x455a14edu);
    round_g<5>(a, b, c, d, x(13), 0xa9e3e905u);
    round_g<9>(d, a, b, c, x(2), 0xfcefa3f8u);
    round_g<14>(c, d, a, b, x(7), 0x676f02d9u);
    round_g<20>(b, c, d, a, x(12), 0x8d2a4c8au);

    round_h<4>(a, b, c, d, x(5), 0xfffa3942u);
    round_h<11>(d, a, b, c, x(8), 0x8771f681u);
    round_h<16>(c, d, a, b, x(11), 0x6d9d6122u);
    round_h<23>(b, c, d, a, x(14), 0xfde5380cu);
    round_h<4>(a, b, c, d, x(1), 0xa4beea44u);
    round_h<11>(d, a, b, c, x(4), 0x4bdecfa9u);
    round_h<16>(c, d, a, b, x(7), 0xf6bb4b60u);
    round_h<23>(b, c, d, a, x(10), 0xbebfbc70u);
    round_h<4>(a, b, c, d, x(13), 0x289b7ec6u);
    round_h<11>(d, a, b, c, x(0), 0xeaa127fau);
    round_h<16>(c, d, a, b, x(3), 0xd4ef3085u);
    round_h<23>(b, c, d, a, x(6), 0x04881d05u);
    round_h<4>(a, b, c, d, x(9), 0xd9d4d039u);
    round_h<11>(d, a, b, c, x(12), 0xe6db99e5u);
    round_h<16>(c, d, a, b, x(15), 0x1fa27cf8u);
    round_h<23>(b, c, d, a, x(2), 0xc4ac5665u);

    round_i<6>(a, b, c, d, x(0), 0xf4292244u);
    round_i<10>(d, a, b, c, x(7), 0x432aff97u);
    round_i<15>(c, d, a, b, x(14), 0xab9423a7u);
    round_i<21>(b, c, d, a, x(5), 0xfc93a039u);
    round_i<6>(a, b, c, d, x(12), 0x655b59c3u);
    round_i<10>(d, a, b, c, x(3), 0x8f0ccc92u);
    round_i<15>(c, d, a, b, x(10), 0xffeff47du);
    round_i<21>(b, c, d, a, x(1), 0x85845dd1u);
    round_i<6>(a, b, c, d, x(8), 0x6fa87e4fu);
    round_i<10>(d, a, b, c, x(15), 0xfe2ce6e0u);
    round_i<15>(c, d, a, b, x(6), 0xa3014314u);
    round_i<21>(b, c, d, a, x(13), 0x4e0811a1u);
    round_i<6>(a, b, c, d, x(4), 0xf7537e82u);
    round_i<10>(d, a, b, c, x(11), 0xbd3af235u);
    round_i<15>(c, d, a, b, x(2), 0x2ad7d2bbu);
    round_i<21>(b, c, d, a, x(9), 0xeb86d391u);

    a += old_a;
    b += old_b;
    c += old_c;
    d += old_d;
  }
  state[0] = a;
  state[1] = b;
  state[2] = c;
  state[3] = d;
}

}  // namespace

void MMD5::Init() {
  std::memcpy(state_, kInitialState, sizeof state_);
  count_[0] = 0;
  count_[1] = 0;
}

void MMD5::Update(const char* data, int length) {
  if (data == nullptr || length <= 0) return;
  const unsigned char* input = reinterpret_cast<const unsigned char*>(data);
  size_t remaining = static_cast<size_t>(length);
  const unsigned index = (count_[0] >> 3) & 63u;
  const uint32_t bits = static_cast<uint32_t>(length) << 3;
  count_[0] += bits;
  if (count_[0] < bits) ++count_[1];
  count_[1] += static_cast<uint32_t>(length) >> 29;

  if (index != 0) {
    const size_t room = 64 - index;
    if (remaining < room) {
      std::memcpy(buffer_ + index, input, remaining);
      return;
    }
    std::memcpy(buffer_ + index, input, room);
    compress(state_, buffer_, 1);
    input += room;
    remaining -= room;
  }
  compress(state_, input, remaining / 64);
  std::memcpy(buffer_, input + (remaining & ~size_t{63}), remaining & 63);
}

void MMD5::Final(char* const digest) {
  unsigned char length_bytes[8];
  Encode(length_bytes, count_, 8);
  const unsigned index = (count_[0] >> 3) & 63u;
  const unsigned padding = index < 56 ? 56 - index : 120 - index;
  Update(reinterpret_cast<const char*>(kPadding), static_cast<int>(padding));
  Update(reinterpret_cast<const char*>(length_bytes), 8);
  if (digest != nullptr) Encode(reinterpret_cast<unsigned char*>(digest), state_, 16);
  std::memset(state_, 0, sizeof state_);
}

void MMD5::Final(MStr* digest) {
  unsigned char bytes[16];
  Final(reinterpret_cast<char*>(bytes));
  if (digest == nullptr) return;
  char hex[32];
  hxcore::detail::write_hex(hex, bytes, sizeof bytes, hxcore::detail::kUpperHexDigits);
  digest->assign(hex, 32);
}

void MMD5::Digest(const char* data, int length, MStr* digest) {
  MMD5 context;
  context.Init();
  context.Update(data, length);
  context.Final(digest);
}

void MMD5::Digest(const char* data, int length, char* const digest) {
  MMD5 context;
  context.Init();
  context.Update(data, length);
  context.Final(digest);
}

void MMD5::Transform(unsigned char* const block) { compress(state_, block, 1); }

void MMD5::Encode(unsigned char* output, const unsigned int* input, int length) {
  for (int i = 0; i * 4 < length; ++i) store_le32(output + 4 * i, input[i]);
}

void MMD5::Decode(unsigned int* output, const unsigned char* input, int length) {
  for (int i = 0; i * 4 < length; ++i) output[i] = load_le32(input + 4 * i);
}

}  // namespace mvc
