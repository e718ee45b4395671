// SPDX-License-Identifier: Apache-2.0
/// @file HXClock.h
/// A monotonic millisecond and second clock, and a date text.
///
/// Both clocks read the system's high-resolution counter on every call and
/// count from its origin (about the system's start), not from the calendar
/// epoch; they never go backwards. The division is done in double precision and
/// truncated toward zero. Thread-safe, never fails, never allocates (but
/// `now_date`, which returns a string). Example:
/// @code
///   long long start = get_time();
///   ... ; long long elapsed_ms = get_time() - start;
/// @endcode
#pragma once

#include <string>

#include "hxcore_export.h"

/// Milliseconds of the monotonic counter.
HXCORE_API long long get_time();

/// Whole seconds of the monotonic counter.
HXCORE_API long long get_time_sec();

/// `get_time_sec()` read as seconds since 1970-01-01 UTC and shown in local
/// time as "YYYY:MM:DD HH:MM:SS.000" (colons in the date; the milliseconds
/// always read 000). On a machine up for two days it is a date in January 1970.
HXCORE_API std::string now_date();
