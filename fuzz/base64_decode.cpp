// Fuzzes the tolerant Base64 decoder: both forms agree, the buffer form never
// writes past the announced length, and whatever decodes re-encodes to a text
// that decodes to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "detail/base64.h"

using namespace hxcore::detail;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const int64_t expected = base64ExpectedLength(text.data(), text.size());

  std::string decoded;
  const bool ok = base64Decode(text, decoded);
  if (expected < 0 && (ok || !decoded.empty())) std::abort();
  if (expected >= 0 && decoded.size() != static_cast<size_t>(expected)) std::abort();

  // The buffer form, with a guard after the announced length.
  const size_t capacity = expected < 0 ? 0 : static_cast<size_t>(expected);
  std::vector<unsigned char> buffer(capacity + 8, 0xA5);
  const bool bufferOk = base64Decode(text.data(), text.size(), buffer.data(), capacity);
  if (bufferOk != ok) std::abort();
  for (size_t i = capacity; i < buffer.size(); ++i) {
    if (buffer[i] != 0xA5) std::abort();
  }
  if (ok && std::string(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(capacity)) !=
                decoded)
    std::abort();

  if (ok) {
    std::string encoded;
    std::string again;
    if (!base64Encode(decoded, encoded) || !base64Decode(encoded, again) || again != decoded)
      std::abort();
  }
  return 0;
}
