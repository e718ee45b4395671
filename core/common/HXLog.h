// SPDX-License-Identifier: Apache-2.0
/// @file HXLog.h
/// The library's one log sink: a threshold, a callback, a record format.
///
/// Every record is one line of at most 5,117 characters,
/// `"MM-DD HH:MM:SS.mmm [pid-tid]\t[L|tag]\t[file:line](function): message"`,
/// formatted on the caller's stack and delivered on the caller's thread, either
/// to the registered callback (under the log mutex, so callback calls never
/// overlap) or, with no callback, to the debugger output (standard error on
/// POSIX) followed by a separate `"\n"`.
/// Thread-safe: any thread may log, and the callback may be replaced or cleared
/// while others log; each record reaches one consistent (callback, user) pair.
/// Nothing is reported to the caller: records below the threshold vanish, a long
/// body is cut without a mark, and a long tag or function name is cut too.
/// The callback must neither log nor call `SetHXLogCallback` (the log mutex is
/// not re-entrant); an exception it throws reaches `MirvLog`'s caller, with the
/// log mutex released. Example:
/// @code
///   SetHXLogCallback([](int, const char* text, uint64_t, void*) { puts(text); }, nullptr);
///   MirvLog(4, "APP", __FILE__, __LINE__, "Main::run", "failed: %d", rc);
/// @endcode
#pragma once

#include <stdint.h>

#include "hxcore_export.h"

/// Receives each delivered record: level, text (no line terminator, valid only
/// during the call), its length in bytes, and the user pointer given with it.
typedef void (*HXLogCallback)(int level, const char* text, uint64_t length, void* user);

extern "C" {

/// Formats and delivers one record when `level >= GetHXLogLevel()`; levels 1-4
/// print as D, I, W, E and any other level as "?". `file` may be a full path:
/// the text after its last '/' (or, without one, its last `'\\'`) is shown, at
/// most 31 characters of it. All pointer arguments must be non-null.
HXCORE_API void MirvLog(int level, const char* tag, const char* file, int line,
                        const char* function, const char* format, ...)
    HXCORE_PRINTF_FORMAT(6, 7);

/// The threshold; 2 (info) when the library loads.
HXCORE_API int GetHXLogLevel();

/// Any value is accepted: 0 or less lets every record through, 5 or more
/// suppresses the four named levels.
HXCORE_API void SetHXLogLevel(int level);

/// Registers `callback` with `user`; a null callback sends later records to the
/// debugger output again. Waits for a callback call in progress to finish.
HXCORE_API void SetHXLogCallback(HXLogCallback callback, void* user);

}  // extern "C"
