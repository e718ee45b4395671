// SPDX-License-Identifier: Apache-2.0
// log_capture.h - while it lives, the log callback keeps every record delivered from the given
// threshold up (debug by default); both are restored when it dies. Thread-safe.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "HXLog.h"

namespace hxtest {

struct LogRecord {
  int level;
  std::string text;
};

class LogCapture {
 public:
  explicit LogCapture(int threshold = 1) : saved_threshold_(GetHXLogLevel()) {
    SetHXLogLevel(threshold);
    SetHXLogCallback(&LogCapture::receive, this);
  }
  ~LogCapture() { SetHXLogCallback(nullptr, nullptr), SetHXLogLevel(saved_threshold_); }

  std::vector<LogRecord> records() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return records_;
  }
  // Records at `level` whose text contains `fragment`.
  size_t count(int level, const std::string& fragment) const {
    size_t n = 0;
    for (const LogRecord& r : records())
      n += r.level == level && r.text.find(fragment) != std::string::npos;
    return n;
  }
  // What follows the header's "): ".
  static std::string message(const std::string& text) { return text.substr(text.find("): ") + 3); }
  void clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    records_.clear();
  }

 private:
  static void receive(int level, const char* text, uint64_t length, void* self) {
    auto* log = static_cast<LogCapture*>(self);
    std::lock_guard<std::mutex> lock(log->mutex_);
    log->records_.push_back({level, std::string(text, length)});
  }

  int saved_threshold_;
  mutable std::mutex mutex_;
  std::vector<LogRecord> records_;
};

// "(function): message" of every error record, in order.
inline std::vector<std::string> errors(const LogCapture& log) {
  std::vector<std::string> out;
  for (const LogRecord& r : log.records())
    if (r.level == 4) out.push_back(r.text.substr(r.text.rfind('(', r.text.find("): "))));
  return out;
}

}  // namespace hxtest
