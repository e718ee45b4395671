// SPDX-License-Identifier: Apache-2.0
/// @class HXThrottling HXThrottling.h <hxcore/HXThrottling.h>
/// A rate gate over a sliding window of the monotonic clock.
///
/// Only checks armed by `markAllow` are counted. With `slots` = N, at most N - 1
/// counted checks pass within any `windowSec`; the N-th is refused and shuts the
/// gate for `forbidSec` (end inclusive), when every check is refused. Outside
/// that period an unarmed check always passes and is not counted. Times are
/// `get_time()` milliseconds; since the gate starts shut "at 0", a gate counts
/// as shut during the first `forbidSec` seconds of that clock. Owns its ring of
/// times; not copyable. Thread-safe: all three members may be called from any
/// thread. Fails only at construction: `slots` below 1 throws
/// std::invalid_argument, a failed allocation std::bad_alloc. Example:
/// @code
///   HXThrottling gate(10, 4, 60);  // 3 armed actions per 10 s, then 60 s shut
///   gate.markAllow(); if (gate.checkAndUpdate()) send();
/// @endcode
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "hxcore_export.h"

class HXCORE_API HXThrottling {
 public:
  /// `windowSec` and `forbidSec` are meant to be at most 2,147,483 (their
  /// milliseconds fit 32 bits); larger ones are honoured, not overflowed.
  HXThrottling(int windowSec, int slots, int forbidSec);
  virtual ~HXThrottling();
  HXThrottling(const HXThrottling&) = delete;
  HXThrottling& operator=(const HXThrottling&) = delete;

  /// True when the action may go ahead. While shut: false, and a pending mark
  /// stays for the first check after. Unarmed: true, nothing recorded. Armed:
  /// consumes the mark, forgets times at least a window old, then refuses and
  /// shuts the gate if N - 1 times remain, or records now and passes.
  bool checkAndUpdate();

  /// True while `get_time()` is at most `forbidSec` * 1000 ms past the shutting.
  bool isForbidden() const;

  /// Arms the next check outside the forbidden period to be counted; arming
  /// twice is arming once.
  void markAllow();

 private:
  int window_;
  int forbid_;
  std::atomic<long long> forbidden_since_;
  int write_index_;
  int read_index_;
  std::unique_ptr<long long[]> ring_;
  int slots_;
  std::atomic<bool> allow_mark_;
  std::mutex mutex_;
};
