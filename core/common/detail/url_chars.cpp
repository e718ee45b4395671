// SPDX-License-Identifier: Apache-2.0
// ASCII lower-casing for schemes and registered host names.
#include "detail/url_chars.h"

namespace hxcore::detail {

std::string to_lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

}  // namespace hxcore::detail
