// SPDX-License-Identifier: Apache-2.0
// detail/os_memory.h - backing memory ahead of the writes that need it.
//
// Implemented in platform/Posix/os_memory.cpp (Linux's MADV_POPULATE_WRITE)
// and platform/Windows/os_memory.cpp (nothing: commit already backs pages).
// A hint only: it keeps the range's content, and a system that cannot do it
// does nothing. Thread-safe.
#pragma once

#include <cstddef>

namespace hxcore::detail {

// Backs the whole pages inside [`begin`, `begin` + `bytes`) with memory now,
// in one call, as writes would page by page; the range must be writable
// memory of the caller's.
void os_back_for_writing(void* begin, size_t bytes);

}  // namespace hxcore::detail
