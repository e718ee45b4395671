// Growing blocks on Windows: the largest size is reserved up front and pages
// are committed as the block grows, so it never moves.
#include "detail/os_memory.h"

#include <windows.h>

namespace hxcore::detail {

void* os_block_allocate(size_t bytes, size_t most_bytes) {
  void* block = VirtualAlloc(nullptr, most_bytes, MEM_RESERVE, PAGE_NOACCESS);
  if (block == nullptr) return nullptr;
  if (VirtualAlloc(block, bytes, MEM_COMMIT, PAGE_READWRITE) == nullptr) {
    VirtualFree(block, 0, MEM_RELEASE);
    return nullptr;
  }
  return block;
}

// Committing pages that are already committed leaves their content alone.
void* os_block_grow(void* block, size_t /*bytes*/, size_t new_bytes) {
  return VirtualAlloc(block, new_bytes, MEM_COMMIT, PAGE_READWRITE) == nullptr ? nullptr : block;
}

void os_block_free(void* block, size_t /*most_bytes*/) {
  if (block != nullptr) VirtualFree(block, 0, MEM_RELEASE);
}

}  // namespace hxcore::detail
