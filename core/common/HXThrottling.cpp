// SPDX-License-Identifier: Apache-2.0
// The throttling gate: a ring of recorded times that keeps one slot empty.
#include "HXThrottling.h"

#include <stdexcept>
#include <string>

#include "detail/clock.h"

namespace {

constexpr long long kMsPerSecond = 1000;

// The seconds are widened before the multiplication, so a value past
// 2,147,483 s means what it says instead of wrapping.
long long to_ms(int seconds) { return seconds * kMsPerSecond; }

// A ring of 0 slots has no modulus and a negative one no size: refused before
// anything is allocated.
int checked_slots(int slots) {
  if (slots < 1) {
    throw std::invalid_argument("HXThrottling: slots must be at least 1, got " +
                                std::to_string(slots));
  }
  return slots;
}

// Whether a gate shut at `since` for `forbid` seconds is still shut at `now`.
bool shut_at(long long now, long long since, int forbid) { return now - since <= to_ms(forbid); }

}  // namespace

HXThrottling::HXThrottling(int windowSec, int slots, int forbidSec)
    : window_(windowSec),
      forbid_(forbidSec),
      forbidden_since_(0),
      write_index_(0),
      read_index_(0),
      ring_(new long long[checked_slots(slots)]),
      slots_(slots),
      allow_mark_(false) {}

HXThrottling::~HXThrottling() = default;

bool HXThrottling::checkAndUpdate() {
  std::lock_guard<std::mutex> lock(mutex_);
  const long long now = hxcore::detail::now_ms();  // one clock read per check
  if (shut_at(now, forbidden_since_, forbid_)) return false;
  // Only checks clear the mark, under the mutex: a mark seen unset here may be
  // set meanwhile and is kept whole for the next check; one seen set is
  // cleared by this check alone.
  if (!allow_mark_.load()) return true;
  allow_mark_ = false;

  while (read_index_ != write_index_ && now - ring_[read_index_] >= to_ms(window_)) {
    read_index_ = (read_index_ + 1) % slots_;
  }
  const int next_write = (write_index_ + 1) % slots_;
  if (next_write == read_index_) {
    forbidden_since_ = now;
    return false;
  }
  ring_[write_index_] = now;
  write_index_ = next_write;
  return true;
}

bool HXThrottling::isForbidden() const {
  return shut_at(hxcore::detail::now_ms(), forbidden_since_, forbid_);
}

void HXThrottling::markAllow() { allow_mark_ = true; }
