// log_capture.h - a test double that records every delivered log record.
//
// While a LogCapture lives, the log callback stores (level, text) pairs and
// the threshold is the one given (debug by default); both are restored when
// it dies. Thread-safe. Example:
//   LogCapture log;
//   do_something_that_fails();
//   EXPECT_TRUE(log.contains(4, "(HXCurl::get_data_from_url): "));
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
  ~LogCapture() {
    SetHXLogCallback(nullptr, nullptr);
    SetHXLogLevel(saved_threshold_);
  }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  std::vector<LogRecord> records() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return records_;
  }
  // Records at `level` whose text contains `fragment`.
  size_t count(int level, const std::string& fragment) const {
    std::lock_guard<std::mutex> lock(mutex_);
    size_t n = 0;
    for (const LogRecord& r : records_) n += (r.level == level && r.text.find(fragment) != std::string::npos);
    return n;
  }
  bool contains(int level, const std::string& fragment) const { return count(level, fragment) > 0; }
  // The message part of a record: what follows the header's "): ".
  static std::string message(const std::string& text) {
    const size_t at = text.find("): ");
    return at == std::string::npos ? text : text.substr(at + 3);
  }
  void clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    records_.clear();
  }

 private:
  static void receive(int level, const char* text, uint64_t length, void* user) {
    auto* self = static_cast<LogCapture*>(user);
    std::lock_guard<std::mutex> lock(self->mutex_);
    self->records_.push_back({level, std::string(text, length)});
  }

  int saved_threshold_;
  mutable std::mutex mutex_;
  std::vector<LogRecord> records_;
};

// "(function): message" of every error record, in order.
inline std::vector<std::string> errors(const LogCapture& log) {
  std::vector<std::string> out;
  for (const LogRecord& r : log.records()) {
    if (r.level == 4) out.push_back(r.text.substr(r.text.rfind('(', r.text.find("): "))));
  }
  return out;
}

}  // namespace hxtest
