// SPDX-License-Identifier: Apache-2.0
// Backing memory ahead of writes on Windows: committed pages are backed as
// they are touched, and no call does it in bulk for the heap; large pages
// need a privilege a client does not hold. Nothing to do.
#include "detail/os_memory.h"

namespace hxcore::detail {

void os_back_for_writing(void*, size_t) {}

size_t os_large_block_size(size_t bytes) { return bytes; }

void os_prefer_large_pages(void*) {}

}  // namespace hxcore::detail
