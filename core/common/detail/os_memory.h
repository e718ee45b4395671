// detail/os_memory.h - blocks of pages that grow without copying.
//
// A block starts zeroed and grows in place, keeping its content, and what it
// gains is zero too: its largest size is reserved up front as address space
// only, and growing opens (POSIX) or commits (Windows) more of that range,
// so a block grown a step at a time is never copied and costs what it holds,
// not its square. The system supplies pages only as they are first touched.
// Implemented in platform/Posix/os_memory.cpp and
// platform/Windows/os_memory.cpp. A failure returns null and leaves the block
// as it was. Not thread-safe per block.
#pragma once

#include <cstddef>

namespace hxcore::detail {

// A zeroed block of `bytes` that may later grow up to `most_bytes`.
void* os_block_allocate(size_t bytes, size_t most_bytes);

// Grows `block` from `bytes` to `new_bytes` (at most the `most_bytes` it was
// made with) and returns it. Null, with `block` untouched, when the system
// has no room.
void* os_block_grow(void* block, size_t bytes, size_t new_bytes);

// Returns a block made with `most_bytes` to the system; null is ignored.
void os_block_free(void* block, size_t most_bytes);

}  // namespace hxcore::detail
