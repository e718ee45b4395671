// event_count.h - counted events between threads, for tests that must not sleep.
//
// `notify` adds one (under the lock, so a waiter that returns may destroy the
// counter at once); `wait(n)` blocks until n notifications arrived. The wait is
// bounded only so that a broken library fails a test instead of hanging the
// suite: a minute, far beyond any honest delay, never a timing check. Example:
//   hxtest::EventCount ran; timer.setTimeout([&] { ran.notify(); }, 0);
//   ASSERT_TRUE(ran.wait());
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace hxtest {

inline constexpr std::chrono::seconds kHangBound{60};

class EventCount {
 public:
  void notify() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++count_;
    changed_.notify_all();
  }
  bool wait(int n = 1) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, kHangBound, [&] { return count_ >= n; });
  }
  int count() {
    std::lock_guard<std::mutex> lock(mutex_);
    return count_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int count_ = 0;
};

}  // namespace hxtest
