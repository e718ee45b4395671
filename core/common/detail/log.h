// SPDX-License-Identifier: Apache-2.0
// detail/log.h - how the library's own code writes its records.
//
// Every record carries the tag "HX", the calling file and line, and the
// qualified function name ("Class::member"). `HX_FAIL` writes one error record
// and yields the failure value, so a failing path is one line:
//   if (!ok) return HX_FAIL("", "IotPlatformImpl::signString", "hmac failed %d", rc);
#pragma once

#include "HXLog.h"

namespace hxcore::detail {

inline constexpr int kLogDebug = 1;
inline constexpr int kLogInfo = 2;
inline constexpr int kLogWarning = 3;
inline constexpr int kLogError = 4;

}  // namespace hxcore::detail

#define HX_LOG(level, function, ...) ::MirvLog((level), "HX", __FILE__, __LINE__, (function), __VA_ARGS__)

#define HX_LOG_DEBUG(function, ...) HX_LOG(::hxcore::detail::kLogDebug, function, __VA_ARGS__)
#define HX_LOG_INFO(function, ...) HX_LOG(::hxcore::detail::kLogInfo, function, __VA_ARGS__)
#define HX_LOG_WARNING(function, ...) HX_LOG(::hxcore::detail::kLogWarning, function, __VA_ARGS__)
#define HX_LOG_ERROR(function, ...) HX_LOG(::hxcore::detail::kLogError, function, __VA_ARGS__)

// Writes one error record and evaluates to `result`.
#define HX_FAIL(result, function, ...) (HX_LOG_ERROR(function, __VA_ARGS__), (result))
