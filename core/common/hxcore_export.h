// SPDX-License-Identifier: Apache-2.0
/// @file hxcore_export.h
/// The one macro that marks what the library exports, and the one that lets
/// compilers check printf-like arguments.
#pragma once

/// @def HXCORE_API
/// Marks every exported class and function. A class with private member
/// functions (HXUrl, mvc::MStr) is not marked as a whole: each public member is,
/// so that what clients never call stays out of the export table. The
/// library's own build defines HXCORE_BUILDING (export); clients get "import"
/// on Windows and default visibility elsewhere; a static build defines
/// HXCORE_STATIC and the macro expands to nothing. Everything not marked stays
/// hidden.

#if defined(HXCORE_STATIC)
#define HXCORE_API
#elif defined(_WIN32)
#if defined(HXCORE_BUILDING)
#define HXCORE_API __declspec(dllexport)
#else
#define HXCORE_API __declspec(dllimport)
#endif
#else
#define HXCORE_API __attribute__((visibility("default")))
#endif

/// Lets GCC and clang check the arguments of a printf-like function against
/// its format (for a member, the implicit `this` counts as argument 1). Off on
/// Windows, where the runtime's printf has formats of its own.
#if defined(__GNUC__) && !defined(_WIN32)
#define HXCORE_PRINTF_FORMAT(format_index, first_argument) \
  __attribute__((format(printf, format_index, first_argument)))
#else
#define HXCORE_PRINTF_FORMAT(format_index, first_argument)
#endif
