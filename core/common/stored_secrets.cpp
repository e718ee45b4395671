// SPDX-License-Identifier: Apache-2.0
// Reading a stored secret of the library.
#include "detail/stored_secrets.h"

namespace hxcore::detail {

std::string revealStoredString(const StoredString& stored) {
  const char* plain = decodeScrambledString(stored.storage, stored.size, kTable0);
  return plain != nullptr ? std::string(plain) : std::string();
}

}  // namespace hxcore::detail
