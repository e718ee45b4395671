// SPDX-License-Identifier: Apache-2.0
// detail/os_process.h - process facts and the debugger output.
//
// Implemented once per system: platform/Windows/os_process.cpp over
// GetCurrentProcessId, GetCurrentThreadId and OutputDebugStringA;
// platform/Posix/os_process.cpp over getpid, gettid and standard error.
#pragma once

#include <cstdint>

namespace hxcore::detail {

uint32_t os_process_id();

// The kernel's id of the calling thread (what debuggers and `ps -L` show).
uint32_t os_thread_id();

// Writes `text` to the debugger output as one write and tells whether it went
// out; never fails visibly. POSIX drops text that standard error cannot take
// whole within a short wait (see platform/Posix/os_process.cpp).
bool os_debug_output(const char* text);

}  // namespace hxcore::detail
