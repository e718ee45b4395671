// SPDX-License-Identifier: Apache-2.0
// detail/quick_format.h - vsnprintf, with its commonest conversions done without stdio.
//
// `format_text` has vsnprintf's contract: at most `size` - 1 bytes and a NUL written (nothing
// for a size of 0), the length of the whole text returned, a negative value on a format error.
// A format whose conversions are all %d, %i, %u, %x, %X, %c, %s or %%, with no flags, width or
// precision and at most an l, ll or z size, is written here, byte for byte as glibc writes it
// (a null %s is "(null)"); any other goes to vsnprintf. Reads `arguments` as vsnprintf does: the
// caller passes a copy when it needs them again. Example:
//   const int n = format_text(buffer, sizeof buffer, "id=%d", arguments);
#pragma once

#include <cstdarg>
#include <cstddef>

namespace hxcore::detail {

int format_text(char* buffer, size_t size, const char* format, va_list arguments);

}  // namespace hxcore::detail
