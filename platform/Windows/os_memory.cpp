// SPDX-License-Identifier: Apache-2.0
// Backing memory ahead of writes on Windows: committed pages are backed as
// they are touched, and no call does it in bulk for the heap; nothing to do.
#include "detail/os_memory.h"

namespace hxcore::detail {

void os_back_for_writing(void*, size_t) {}

}  // namespace hxcore::detail
