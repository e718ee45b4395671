// SPDX-License-Identifier: Apache-2.0
// detail/wiped_string.h - a transient copy of a secret, wiped when it goes.
//
// Owns a string whose size is fixed when it is made and may only shrink, so its
// buffer is never reallocated and no block holding the secret is released
// unwiped. The destructor cleanses every byte of the buffer, heap block or the
// string's inline storage alike, with OPENSSL_cleanse (a wipe the compiler
// cannot drop as a dead store). Move-only: the moved-from object is wiped too.
// Not thread-safe; never throws but for std::bad_alloc when made. Example:
//   WipedString pem(storedText);   // the one copy, gone when `pem` goes
//   pem.shrink(restore_line_breaks_in_place(pem.data(), pem.size()));
#pragma once

#include <openssl/crypto.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace hxcore::detail {

class WipedString {
 public:
  // `size` zero bytes, or a copy of `text`.
  explicit WipedString(size_t size) : text_(size, '\0') {}
  explicit WipedString(std::string_view text) : text_(text) {}
  WipedString(WipedString&& other) noexcept : text_(std::move(other.text_)) {}
  WipedString(const WipedString&) = delete;
  WipedString& operator=(const WipedString&) = delete;
  WipedString& operator=(WipedString&&) = delete;
  ~WipedString() { OPENSSL_cleanse(text_.data(), text_.capacity() + 1); }

  char* data() { return text_.data(); }
  size_t size() const { return text_.size(); }
  // Keeps the first `size` bytes (no more than it holds) in the same buffer.
  void shrink(size_t size) {
    if (size < text_.size()) text_.resize(size);
  }
  // For interfaces that take a string; the caller must not keep a copy.
  const std::string& str() const { return text_; }

 private:
  std::string text_;
};

}  // namespace hxcore::detail
