// SPDX-License-Identifier: Apache-2.0
// The stored-secret format: LEB128 length prefix and XTEA-enciphered blocks.
#include "detail/scrambled_string.h"

#include <cstring>

namespace hxcore::detail {

namespace {

constexpr uint32_t kDelta = 0x9E3779B9u;
constexpr int kRounds = 16;
constexpr size_t kBlock = 8;
constexpr size_t kMaxPrefixBytes = 10;  // enough for any 64-bit length

uint32_t loadLittleEndian(const unsigned char* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

void storeLittleEndian(uint32_t value, unsigned char* p) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(value >> (8 * i));
}

void encipherBlock(unsigned char* block, const ScrambleKey& key) {
  uint32_t v0 = loadLittleEndian(block);
  uint32_t v1 = loadLittleEndian(block + 4);
  uint32_t sum = 0;
  for (int round = 0; round < kRounds; ++round) {
    v0 += (((v1 << 4) ^ (v1 >> 5)) + v1) ^ (sum + key[sum & 3]);
    sum += kDelta;
    v1 += (((v0 << 4) ^ (v0 >> 5)) + v0) ^ (sum + key[(sum >> 11) & 3]);
  }
  storeLittleEndian(v0, block);
  storeLittleEndian(v1, block + 4);
}

void decipherBlock(unsigned char* block, const ScrambleKey& key) {
  uint32_t v0 = loadLittleEndian(block);
  uint32_t v1 = loadLittleEndian(block + 4);
  uint32_t sum = kDelta * kRounds;
  for (int round = 0; round < kRounds; ++round) {
    v1 -= (((v0 << 4) ^ (v0 >> 5)) + v0) ^ (sum + key[(sum >> 11) & 3]);
    sum -= kDelta;
    v0 -= (((v1 << 4) ^ (v1 >> 5)) + v1) ^ (sum + key[sum & 3]);
  }
  storeLittleEndian(v0, block);
  storeLittleEndian(v1, block + 4);
}

size_t paddedLength(size_t length) { return (length + 7) / kBlock * kBlock; }

size_t prefixLength(size_t value) {
  size_t bytes = 1;
  while (value >= 0x80) {
    value >>= 7;
    ++bytes;
  }
  return bytes;
}

}  // namespace

size_t scrambled_storage_size(size_t length) {
  const size_t body = paddedLength(length);
  return prefixLength(body) + body + 1;
}

size_t encode_scrambled_string(const char* text, unsigned char* out, size_t* outLength,
                               const ScrambleKey& key) {
  const size_t length = std::strlen(text);
  const size_t body = paddedLength(length);
  size_t at = 0;
  for (size_t value = body;; value >>= 7) {
    const auto group = static_cast<unsigned char>(value & 0x7F);
    if (value < 0x80) {
      out[at++] = group;
      break;
    }
    out[at++] = group | 0x80;
  }
  unsigned char* bodyStart = out + at;
  std::memset(bodyStart, 0, body + 1);
  std::memcpy(bodyStart, text, length);
  for (size_t offset = 0; offset < body; offset += kBlock) encipherBlock(bodyStart + offset, key);
  const size_t written = at + body;
  if (outLength != nullptr) *outLength = written;
  return written;
}

const char* decode_scrambled_string(unsigned char* storage, size_t size, const ScrambleKey& key) {
  if (size == 0 || storage[size - 1] != 0) return nullptr;
  if (storage[0] == 0) {
    // Decoded before (or empty): the text starts at the first non-zero byte;
    // the final zero of the storage stops the skip.
    size_t at = size > 1 ? 1 : 0;  // a lone zero byte is an empty text
    while (at < size - 1 && storage[at] == 0) ++at;
    return reinterpret_cast<const char*>(storage + at);
  }
  uint64_t body = 0;
  size_t prefix = 0;
  for (;;) {
    if (prefix == kMaxPrefixBytes || prefix >= size) return nullptr;
    const unsigned char byte = storage[prefix];
    body |= uint64_t{byte & 0x7Fu} << (7 * prefix);
    ++prefix;
    if (byte < 0x80) break;
  }
  // The body must leave room for the zero byte that ends the storage.
  if (body % kBlock != 0 || body >= size - prefix) return nullptr;
  std::memset(storage, 0, prefix);
  for (uint64_t offset = 0; offset < body; offset += kBlock)
    decipherBlock(storage + prefix + offset, key);
  return reinterpret_cast<const char*>(storage + prefix);
}

}  // namespace hxcore::detail

namespace hxcore::detail {

std::string fold_line_breaks(const std::string& pem) {
  std::string stored;
  stored.reserve(pem.size() + pem.size() / 32);
  for (const char c : pem) {
    if (c == '\n') {
      stored += "==";
    } else {
      stored += c;
    }
  }
  return stored;
}

size_t restore_line_breaks_in_place(char* text, size_t length) {
  size_t written = 0;
  for (size_t at = 0; at < length; ++written) {
    const bool fold = at + 1 < length && text[at] == '=' && text[at + 1] == '=';
    text[written] = fold ? '\n' : text[at];
    at += fold ? 2 : 1;
  }
  return written;
}

std::string restore_line_breaks(const std::string& stored) {
  std::string pem = stored;
  pem.resize(restore_line_breaks_in_place(pem.data(), pem.size()));
  return pem;
}

}  // namespace hxcore::detail
