// SPDX-License-Identifier: Apache-2.0
// detail/os_thread.h - the operating system's thread handle, for COSThread.
//
// Implemented once per system: platform/Windows/os_thread.cpp over
// CreateThread, WaitForSingleObject, DuplicateHandle and CloseHandle;
// platform/Posix/os_thread.cpp over a detached pthread and a reference-counted
// record of its end. A handle is an opaque non-null pointer; every handle that
// create or duplicate returned is closed exactly once by its owner.
#pragma once

namespace hxcore::detail {

using OsThreadStart = unsigned long (*)(void*);

inline constexpr unsigned long kWaitEnded = 0;
inline constexpr unsigned long kWaitTimedOut = 0x102;
inline constexpr unsigned long kWaitFailed = 0xFFFFFFFF;
inline constexpr unsigned long kWaitForever = 0xFFFFFFFF;

// Starts `start(argument)`; null on failure, leaving the system's error code
// (GetLastError, errno). Writes the kernel's id of the new thread to
// `thread_id` when it is not null, before returning.
void* os_thread_create(unsigned long stack_size, OsThreadStart start, void* argument,
                       unsigned long creation_flags, unsigned long* thread_id);

// A second handle on the same thread, or null when the system refuses one.
void* os_thread_duplicate(void* handle);

// Waits for the thread's end: kWaitEnded, kWaitTimedOut or kWaitFailed.
// `milliseconds` >= kWaitForever waits without limit.
unsigned long os_thread_wait(void* handle, unsigned long milliseconds);

// Releases the handle; the thread runs on.
void os_thread_close(void* handle);

}  // namespace hxcore::detail
