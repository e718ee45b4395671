// SPDX-License-Identifier: Apache-2.0
// detail/gate_clock.h - the clock the throttling gate reads, and its seam.
//
// The gate reads `gate_now()`, which is `get_time()` unless a test installed a
// replacement with `set_gate_clock`. Not exported: tests reach it through the
// library's objects. Installing is thread-safe, but a test installs before it
// starts threads and restores (null) when it is done. Example:
//   hxcore::detail::set_gate_clock([] { return 60000LL; });
//   ... ; hxcore::detail::set_gate_clock(nullptr);
#pragma once

namespace hxcore::detail {

using GateClock = long long (*)();

// Milliseconds of the installed clock, `get_time()` by default.
long long gate_now();

// Installs `clock` (null restores `get_time`) and returns the one it replaces
// (null when that was the default).
GateClock set_gate_clock(GateClock clock);

}  // namespace hxcore::detail
