// SPDX-License-Identifier: Apache-2.0
/// @file
/// COSThread and the three functions that start, wait for and close its thread.

/// @class COSThread COSThread.h <hxcore/COSThread.h>
/// Owns one operating-system thread handle; create, wait, close.
///
/// `CreateThreadEx` starts a thread into the object, `WaitForSingleObjectEx`
/// waits for it to end (0 ended, 0x102 timed out, 0xFFFFFFFF failed or empty;
/// any number of times, also long after the end) and `CloseThreadEx` lets go of
/// the handle, which neither stops nor waits for the thread. The thread itself
/// is independent of the object and releases what it used when it ends; once
/// it has ended and every handle on it is closed, nothing is left behind.
/// Each object closes its own handle exactly once: a copy holds a duplicate
/// handle of its own. The thread also outlives an unload of the library, which
/// stays mapped until the process ends: the routine returns safely into it.
/// Not thread-safe: one thread uses an object at a time.
/// Failures are results only (-1, an empty object, 0xFFFFFFFF); the system's
/// error code (GetLastError, errno) is left for the caller. Example:
/// @code
///   COSThread t; unsigned long id = 0;
///   if (CreateThreadEx(t, 0, work, &job, 0, &id) == 0) WaitForSingleObjectEx(t, 0xFFFFFFFF);
/// @endcode
#pragma once

#include "hxcore_export.h"

class HXCORE_API COSThread {
 public:
  /// Empty: nothing to wait for, nothing to close.
  COSThread();
  /// A copy of an owning object owns a duplicate of its handle (both may wait,
  /// each closes its own); a copy of an empty object is empty, and so is a
  /// copy whose duplicate the system refused.
  COSThread(const COSThread& other);
  /// Closes what this object owned, then copies as the copy constructor does.
  COSThread& operator=(const COSThread& other);
  /// Same as `CloseThreadEx`: the thread runs on.
  virtual ~COSThread();

 private:
  friend HXCORE_API int CreateThreadEx(COSThread&, unsigned long, unsigned long (*)(void*), void*,
                                       unsigned long, unsigned long*);
  friend HXCORE_API void CloseThreadEx(COSThread&);
  friend HXCORE_API unsigned long WaitForSingleObjectEx(COSThread&, unsigned long);

  void* handle_;
  bool owned_;
};

/// Starts `start(argument)` on a new thread owned by `thread`; 0 on success,
/// -1 on failure (the object is then empty). A handle the object owned before
/// is closed first, so it is not lost. `stackSize` 0 is the default size (a
/// size below the system's minimum is raised to it). `creationFlags` are the
/// Windows ones; where a flag cannot be honoured (on Linux anything but
/// STACK_SIZE_PARAM_IS_A_RESERVATION, 0x10000, e.g. CREATE_SUSPENDED) the
/// create fails with -1. When `threadId` is not null the new thread's id is
/// stored there before the call returns: the id its log records carry.
HXCORE_API int CreateThreadEx(COSThread& thread, unsigned long stackSize,
                              unsigned long (*start)(void*), void* argument,
                              unsigned long creationFlags, unsigned long* threadId);

/// Closes the handle if the object owns one and empties the object; otherwise,
/// and when called again, does nothing.
HXCORE_API void CloseThreadEx(COSThread& thread);

/// Waits up to `milliseconds` (0xFFFFFFFF, or more, without limit) for the
/// thread to end: 0 when it has ended, 0x102 on time-out, 0xFFFFFFFF at once
/// for an empty object or when the system wait fails.
HXCORE_API unsigned long WaitForSingleObjectEx(COSThread& thread, unsigned long milliseconds);
