// SPDX-License-Identifier: Apache-2.0
// Reading a stored secret of the library.
#include "detail/stored_secrets.h"

namespace hxcore::detail {

std::string_view reveal_stored_string(const StoredString& stored) {
  const char* plain = decode_scrambled_string(stored.storage, stored.size, kTable0);
  return plain != nullptr ? std::string_view(plain) : std::string_view();
}

}  // namespace hxcore::detail
