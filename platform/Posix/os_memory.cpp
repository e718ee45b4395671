// SPDX-License-Identifier: Apache-2.0
// Backing memory ahead of writes on POSIX: Linux populates a range in one
// call, where page faults would cost a trap a page.
#include "detail/os_memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace hxcore::detail {

void os_back_for_writing(void* begin, size_t bytes) {
#if defined(MADV_POPULATE_WRITE)
  const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t first = (reinterpret_cast<uintptr_t>(begin) + page - 1) / page * page;
  const uintptr_t end = (reinterpret_cast<uintptr_t>(begin) + bytes) / page * page;
  // Older kernels refuse the advice; the writes then fault the pages in.
  if (end > first) madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
#else
  (void)begin, (void)bytes;
#endif
}

}  // namespace hxcore::detail
