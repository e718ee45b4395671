// SPDX-License-Identifier: Apache-2.0
// detail/os_memory.h - backing memory ahead of the writes that need it.
//
// Implemented in platform/Posix/os_memory.cpp (Linux's MADV_POPULATE_WRITE
// and transparent huge pages) and platform/Windows/os_memory.cpp (nothing:
// commit already backs pages). Hints only: they keep the memory's content,
// and a system that cannot follow them does nothing. Thread-safe.
#pragma once

#include <cstddef>

namespace hxcore::detail {

// Backs the whole pages inside [`begin`, `begin` + `bytes`) with memory now,
// in one call, as writes would page by page; the range must be writable
// memory of the caller's.
void os_back_for_writing(void* begin, size_t bytes);

// The size to ask the C allocator for when a growing block needs `bytes`: at
// least `bytes`. On Linux, at least 32 MiB, so that the block is a mapping of
// its own (address space only: pages are backed as they are written), and as
// many more as make that mapping a whole number of large pages, which the
// system then places, and `realloc` moves, on large-page boundaries.
size_t os_large_block_size(size_t bytes);

// Asks for large pages under `block`, from the C allocator, when it is a
// mapping of its own (the whole mapping, so `realloc` can still remap it in
// one piece); pages already written keep their size.
void os_prefer_large_pages(void* block);

}  // namespace hxcore::detail
