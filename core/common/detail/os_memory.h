// SPDX-License-Identifier: Apache-2.0
// detail/os_memory.h - room for a block to grow in, and memory backed ahead of the writes.
//
// Implemented in platform/Posix/os_memory.cpp (Linux: address space reserved on
// 2 MiB pages, transparent huge pages advised, and MADV_POPULATE_WRITE) and
// platform/Windows/os_memory.cpp (nothing: the heap commits what it hands out,
// and commit already backs pages). The backing is a hint only: it keeps the
// memory's content, and a system that cannot follow it does nothing.
// Thread-safe.
#pragma once

#include <cstddef>

namespace hxcore::detail {

// Backs the whole pages inside [`begin`, `begin` + `bytes`) with memory now,
// in one call, as writes would page by page; the range must be writable
// memory of the caller's.
void os_back_for_writing(void* begin, size_t bytes);

// A block of at least `bytes` bytes from the C allocator (released with `free`,
// cut back with `realloc`), `bytes` being large (hundreds of MiB, which the
// allocator maps on their own), that costs address space only: its pages are
// backed as they are written, on Linux on 2 MiB pages from its first byte where
// the system has them. Null where the system has no such blocks or refuses this
// one (a commit limit, a small address space); the caller then grows its block
// with `realloc` instead.
void* os_reserve_block(size_t bytes);

}  // namespace hxcore::detail
