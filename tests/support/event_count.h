// SPDX-License-Identifier: Apache-2.0
// event_count.h - counted events between threads, so tests synchronise instead of sleeping:
// `wait(n)` is true once `notify` ran n times, false after a minute (a failure, not a hang).
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace hxtest {

class EventCount {
 public:
  void notify() {  // under the lock, so a waiter that returns may destroy the counter at once
    std::lock_guard<std::mutex> lock(mutex_);
    ++count_, changed_.notify_all();
  }
  bool wait(int n = 1) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::minutes(1), [&] { return count_ >= n; });
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
