// SPDX-License-Identifier: Apache-2.0
// Thread handles on Windows: the kernel's own handle, as CreateThread gives it.
#include "detail/os_thread.h"

#include <windows.h>

namespace hxcore::detail {

void* os_thread_create(unsigned long stack_size, OsThreadStart start, void* argument,
                       unsigned long creation_flags, unsigned long* thread_id) {
  if (start == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  // On x64 the start routine's calling convention is the system's one.
  return CreateThread(nullptr, stack_size, reinterpret_cast<LPTHREAD_START_ROUTINE>(start),
                      argument, creation_flags, thread_id);
}

void* os_thread_duplicate(void* handle) {
  HANDLE copy = nullptr;
  const HANDLE process = GetCurrentProcess();
  if (!DuplicateHandle(process, handle, process, &copy, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
    return nullptr;
  }
  return copy;
}

unsigned long os_thread_wait(void* handle, unsigned long milliseconds) {
  return WaitForSingleObject(handle, milliseconds);
}

void os_thread_close(void* handle) { CloseHandle(handle); }

}  // namespace hxcore::detail
