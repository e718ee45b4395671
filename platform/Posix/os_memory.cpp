// Growing blocks on POSIX: the largest size is reserved up front as address
// space only, and pages are opened for reading and writing as the block grows,
// so it never moves. Past its first few MiB a block asks for huge pages where
// the system offers them: a large block then costs a fault per 2 MiB instead
// of per 4 KiB, while a small one keeps to small pages and holds no more
// memory than it uses.
#include "detail/os_memory.h"

#include <sys/mman.h>

namespace hxcore::detail {

namespace {

// Pages are opened a huge page at a time, so that faults can fill them with
// huge pages; opening alone costs no memory.
constexpr size_t kGranule = 2 * 1024 * 1024;
constexpr size_t kHugePagesFrom = 2 * kGranule;

size_t whole_granules(size_t bytes) { return (bytes + kGranule - 1) / kGranule * kGranule; }

bool open_pages(void* block, size_t from, size_t to) {
  from = whole_granules(from);
  to = whole_granules(to);
  return to <= from ||
         mprotect(static_cast<char*>(block) + from, to - from, PROT_READ | PROT_WRITE) == 0;
}

}  // namespace

void* os_block_allocate(size_t bytes, size_t most_bytes) {
  most_bytes = whole_granules(most_bytes);
  void* block =
      mmap(nullptr, most_bytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (block == MAP_FAILED) return nullptr;
#if defined(MADV_HUGEPAGE)
  if (most_bytes > kHugePagesFrom) {  // a hint: a system without huge pages ignores it
    madvise(static_cast<char*>(block) + kHugePagesFrom, most_bytes - kHugePagesFrom,
            MADV_HUGEPAGE);
  }
#endif
  if (!open_pages(block, 0, bytes)) {
    munmap(block, most_bytes);
    return nullptr;
  }
  return block;
}

void* os_block_grow(void* block, size_t bytes, size_t new_bytes) {
  return open_pages(block, bytes, new_bytes) ? block : nullptr;
}

void os_block_free(void* block, size_t most_bytes) {
  if (block != nullptr) munmap(block, whole_granules(most_bytes));
}

}  // namespace hxcore::detail
