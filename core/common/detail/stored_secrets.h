// SPDX-License-Identifier: Apache-2.0
// detail/stored_secrets.h - the secrets built into the library.
//
// The RSA private key (its PEM text with every line break written "=="), the
// AES key and the AES IV live in writable data as scrambled strings, made at
// build time from the build's secrets folder by tools/scramble_secrets into a
// generated source. Each is decoded in place on its first use and stays plain
// afterwards (the one plain copy the library keeps); decoding is not
// thread-safe, so the first use is the caller's to serialise. Example:
//   std::string_view key = hxcore::detail::reveal_stored_string(built_in_secrets().aesKey);
#pragma once

#include <cstddef>
#include <string_view>

#include "detail/scrambled_string.h"

namespace hxcore::detail {

// One scrambled string in writable storage that ends in a zero byte.
struct StoredString {
  unsigned char* storage;
  size_t size;
};

struct StoredSecrets {
  StoredString privateKey;
  StoredString aesKey;
  StoredString aesIv;
};

// The key every stored string of the library is scrambled with. It and the
// stored strings carry names that say nothing (kTable0, table1...): a symbol
// table and debug information show the names of objects.
extern const ScrambleKey kTable0;

// The three secrets of this build (defined in the generated source).
StoredSecrets built_in_secrets();

// The plain text of `stored`, decoding it in place on first use: a view of the
// storage itself, so no copy of the secret is made. "" when the storage is
// malformed.
std::string_view reveal_stored_string(const StoredString& stored);

}  // namespace hxcore::detail
