// signal.h - a counting signal between threads, for tests that must not sleep.
//
// `notify` adds one; `wait_for_count(n)` blocks until n notifications arrived.
// The wait is bounded only so that a broken library fails the test instead of
// hanging it: the bound is a minute, far beyond any honest delay, never a
// timing check. Thread-safe. Example:
//   hxtest::Signal ran; timer.setTimeout([&] { ran.notify(); }, 0);
//   ASSERT_TRUE(ran.wait_for_count(1));
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace hxtest {

inline constexpr std::chrono::seconds kHangBound{60};

class Signal {
 public:
  // Notifies under the lock, so a waiter that returns may destroy the signal
  // at once.
  void notify() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++count_;
    changed_.notify_all();
  }
  // True once `n` notifications arrived; false if the hang bound passed first.
  bool wait_for_count(int n) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, kHangBound, [&] { return count_ >= n; });
  }
  bool wait() { return wait_for_count(1); }
  int count() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return count_;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  int count_ = 0;
};

}  // namespace hxtest
