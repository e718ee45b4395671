// SPDX-License-Identifier: Apache-2.0
// Fuzzes the scrambled-string format: any text survives encoding and two decodes (odd first
// byte), and the decoder never reads or writes outside arbitrary storage (even first byte).
#include "detail/scrambled_string.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace hxcore::detail;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr ScrambleKey kKey = {{0x243F6A88u, 0x85A308D3u, 0x13198A2Eu, 0x03707344u}};
  if (size == 0) return 0;
  std::vector<unsigned char> storage(data + 1, data + size);
  if (data[0] & 1) {
    std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    text.resize(std::strlen(text.c_str()));  // a text ends at its first zero
    storage.assign(scrambled_storage_size(text.size()), 0);
    size_t length = 0;
    encode_scrambled_string(text.c_str(), storage.data(), &length, kKey);
    const char* first = decode_scrambled_string(storage.data(), storage.size(), kKey);
    if (length + 1 != storage.size() || first == nullptr || text != first ||
        decode_scrambled_string(storage.data(), storage.size(), kKey) != first || text != first)
      std::abort();
    return 0;
  }
  storage.push_back(0);
  const char* plain = decode_scrambled_string(storage.data(), storage.size(), kKey);
  const auto* end = reinterpret_cast<const char*>(storage.data() + storage.size());
  if (plain != nullptr && std::memchr(plain, 0, static_cast<size_t>(end - plain)) == nullptr)
    std::abort();  // unterminated
  return 0;
}
