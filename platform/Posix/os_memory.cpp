// SPDX-License-Identifier: Apache-2.0
// Backing memory ahead of writes on POSIX: Linux populates a range in one
// call, where page faults would cost a trap a page, and backs a large block
// with 2 MiB pages (transparent huge pages, advised), 512 times fewer faults.
#include "detail/os_memory.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace hxcore::detail {

namespace {

uintptr_t page_size() { return static_cast<uintptr_t>(sysconf(_SC_PAGESIZE)); }

#if defined(__GLIBC__) && defined(MADV_HUGEPAGE)
constexpr size_t kLargePage = size_t{2} << 20;
// glibc takes a block from its heap below a threshold that frees of large blocks raise, up to
// this much; a block this large or larger is always a mapping of its own.
constexpr size_t kAlwaysMapped = 4 * 1024 * 1024 * sizeof(long);
// glibc maps a large block on its own, its header of two words in front of
// the data and one word of the request's rounding behind it: a request this
// much short of whole large pages gets a mapping of exactly whole large pages.
constexpr size_t kMappedOverhead = 3 * sizeof(size_t);
#endif

}  // namespace

void os_back_for_writing(void* begin, size_t bytes) {
#if defined(MADV_POPULATE_WRITE)
  const uintptr_t page = page_size();
  const uintptr_t first = (reinterpret_cast<uintptr_t>(begin) + page - 1) / page * page;
  const uintptr_t end = (reinterpret_cast<uintptr_t>(begin) + bytes) / page * page;
  // Older kernels refuse the advice; the writes then fault the pages in.
  if (end > first) madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
#else
  (void)begin, (void)bytes;
#endif
}

#if defined(__GLIBC__) && defined(MADV_HUGEPAGE)

size_t os_large_block_size(size_t bytes) {
  const size_t mapped = bytes > kAlwaysMapped ? bytes : kAlwaysMapped;
  const size_t pages = (mapped + kMappedOverhead + kLargePage - 1) / kLargePage;
  return pages * kLargePage - kMappedOverhead;
}

void os_prefer_large_pages(void* block) {
  // The advice covers the block's whole mapping, or the mapping would be split in two and
  // `realloc` could no longer remap it; a block inside the heap is left alone.
  const uintptr_t page = page_size();
  const uintptr_t begin = reinterpret_cast<uintptr_t>(block);
  const uintptr_t mapping = begin / page * page;
  const uintptr_t end = begin + malloc_usable_size(block);
  if (end % page == 0 && begin - mapping == 2 * sizeof(size_t)) {
    madvise(reinterpret_cast<void*>(mapping), end - mapping, MADV_HUGEPAGE);
  }
}

#else

size_t os_large_block_size(size_t bytes) { return bytes; }

void os_prefer_large_pages(void*) {}

#endif

}  // namespace hxcore::detail
