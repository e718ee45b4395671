// SPDX-License-Identifier: Apache-2.0
// Memory for a growing block on Windows: the heap commits every block it hands
// out, so a block reserved for growth would be charged in full, and no call
// backs the heap's pages in bulk; large pages need a privilege a client does
// not hold. Nothing to do.
#include "detail/os_memory.h"

namespace hxcore::detail {

void os_back_for_writing(void*, size_t) {}

void* os_reserve_block(size_t) { return nullptr; }

}  // namespace hxcore::detail
