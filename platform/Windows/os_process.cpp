// SPDX-License-Identifier: Apache-2.0
// Process facts and the debugger output on Windows.
#include "detail/os_process.h"

#include <windows.h>

namespace hxcore::detail {

uint32_t os_process_id() { return GetCurrentProcessId(); }

uint32_t os_thread_id() { return GetCurrentThreadId(); }

bool os_debug_output(const char* text) {
  OutputDebugStringA(text);
  return true;
}

}  // namespace hxcore::detail
