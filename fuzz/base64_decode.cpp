// SPDX-License-Identifier: Apache-2.0
// Fuzzes the tolerant Base64 decoder: both forms agree, the buffer form never writes past the
// announced length, and whatever decodes re-encodes to a text that decodes to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "detail/base64.h"

using namespace hxcore::detail;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const int64_t expected = base64_expected_length(text.data(), text.size());
  std::string decoded, encoded, again;
  const bool ok = base64_decode(text, decoded);
  if (expected < 0 ? ok || !decoded.empty() : decoded.size() != static_cast<size_t>(expected))
    std::abort();
  const size_t capacity = expected < 0 ? 0 : static_cast<size_t>(expected);
  std::vector<unsigned char> buffer(capacity + 8, 0xA5);  // a guard after the announced length
  if (base64_decode(text.data(), text.size(), buffer.data(), capacity) != ok ||
      std::vector<unsigned char>(buffer.begin() + capacity, buffer.end()) !=
          std::vector<unsigned char>(8, 0xA5) ||
      (ok && std::string(buffer.begin(), buffer.begin() + capacity) != decoded))
    std::abort();
  if (ok && !(base64_encode(decoded, encoded) && base64_decode(encoded, again) && again == decoded))
    std::abort();
  return 0;
}
