// SPDX-License-Identifier: Apache-2.0
// Memory for a growing block on POSIX: Linux reserves the block's address space
// on 2 MiB pages (transparent huge pages, advised), 512 times fewer faults than
// 4 KiB ones, and populates a range in one call, where page faults would cost a
// trap a page.
#include "detail/os_memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace hxcore::detail {

void os_back_for_writing(void* begin, size_t bytes) {
#if defined(MADV_POPULATE_WRITE)
  const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t first = (reinterpret_cast<uintptr_t>(begin) + page - 1) / page * page;
  const uintptr_t end = (reinterpret_cast<uintptr_t>(begin) + bytes) / page * page;
  // Older kernels refuse the advice; the writes then fault the pages in.
  if (end > first) madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
#else
  (void)begin, (void)bytes;
#endif
}

#if defined(MADV_HUGEPAGE)

namespace {

constexpr size_t kLargePage = size_t{2} << 20;

}  // namespace

void* os_reserve_block(size_t bytes) {
  // The C allocator maps a block this large on its own, untouched but for its header. Aligned
  // to a large page, the block starts on a page of its own, the header at the end of the page
  // before it: unaligned, the header's write, made before the advice, would keep the block's
  // first large page to small pages. The advice splits the mapping there, which `free` and a
  // `realloc` that cuts the block back both take in their stride.
  void* block = nullptr;
  if (posix_memalign(&block, kLargePage, bytes) != 0) return nullptr;
  madvise(block, bytes, MADV_HUGEPAGE);
  return block;
}

#else

void* os_reserve_block(size_t) { return nullptr; }

#endif

}  // namespace hxcore::detail
