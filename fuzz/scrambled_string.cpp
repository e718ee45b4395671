// Fuzzes the scrambled-string format: any text survives encoding and two
// decodes, and the decoder never reads or writes outside arbitrary storage.
// The first input byte picks the mode.
#include "detail/scrambled_string.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace hxcore::detail;

namespace {

constexpr ScrambleKey kKey = {{0x243F6A88u, 0x85A308D3u, 0x13198A2Eu, 0x03707344u}};

void roundTrip(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  text = text.substr(0, text.find('\0'));  // a text ends at its first zero
  std::vector<unsigned char> storage(scrambledStorageSize(text.size()));
  size_t length = 0;
  encodeScrambledString(text.c_str(), storage.data(), &length, kKey);
  if (length + 1 != storage.size()) std::abort();
  const char* first = decodeScrambledString(storage.data(), storage.size(), kKey);
  if (first == nullptr || text != first) std::abort();
  const char* second = decodeScrambledString(storage.data(), storage.size(), kKey);
  if (second != first || text != second) std::abort();
}

void arbitraryStorage(const uint8_t* data, size_t size) {
  std::vector<unsigned char> storage(data, data + size);
  storage.push_back(0);
  const char* plain = decodeScrambledString(storage.data(), storage.size(), kKey);
  if (plain != nullptr) {
    const auto* end = reinterpret_cast<const char*>(storage.data() + storage.size());
    if (std::memchr(plain, 0, static_cast<size_t>(end - plain)) == nullptr)
      std::abort();  // unterminated
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  if (data[0] & 1) {
    roundTrip(data + 1, size - 1);
  } else {
    arbitraryStorage(data + 1, size - 1);
  }
  return 0;
}
