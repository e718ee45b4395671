// SPDX-License-Identifier: Apache-2.0
// The log facility: threshold first, then one record formatted on the stack
// and handed to the callback or the debugger output.
#include "HXLog.h"

#include <atomic>
#include <cstdarg>
#include <cstring>
#include <mutex>

#include "detail/clock.h"
#include "detail/decimal.h"
#include "detail/os_process.h"
#include "detail/quick_format.h"

namespace {

constexpr size_t kRecordBufferSize = 5120;
// The record text stops two bytes short of the buffer: 5,117 characters.
constexpr size_t kRecordTextMax = kRecordBufferSize - 3;
constexpr size_t kBaseNameMax = 31;

std::atomic<int> g_threshold{2};

// The callback and its user pointer change together under the log mutex and
// are read together under it, so a record never sees a half-replaced pair.
// `g_has_callback` lets the debugger path skip the mutex.
std::mutex g_log_mutex;
HXLogCallback g_callback = nullptr;
void* g_user = nullptr;
std::atomic<bool> g_has_callback{false};

// Each thread asks the system for its ids once and keeps them as the header
// shows them, "pid-tid".
struct ThreadIdsText {
  char text[24];
  size_t length = 0;
};
thread_local ThreadIdsText t_ids;

// "00" to "99", so a two-digit field is one copy.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Appends to a fixed buffer and never writes past `limit` characters; the
// header of a record is built with it so that an over-long tag or function
// name is cut rather than overflowing.
class BoundedWriter {
 public:
  BoundedWriter(char* buffer, size_t limit) : begin_(buffer), pos_(buffer), end_(buffer + limit) {}

  void text(const char* s, size_t n) {
    const size_t room = static_cast<size_t>(end_ - pos_);
    if (n > room) n = room;
    std::memcpy(pos_, s, n);
    pos_ += n;
  }
  // A zero-terminated text, copied a byte at a time: tags and function names
  // are short, and one pass both measures and copies them.
  void text(const char* s) {
    while (*s != '\0' && pos_ < end_) *pos_++ = *s++;
  }
  // A piece whose length is known here: one copy of that fixed size when it fits.
  template <size_t N>
  void literal(const char (&s)[N]) {
    if (static_cast<size_t>(end_ - pos_) < N - 1) return text(s, N - 1);
    std::memcpy(pos_, s, N - 1);
    pos_ += N - 1;
  }
  void character(char c) {
    if (pos_ < end_) *pos_++ = c;
  }
  // "%02d" and "%03d" for the values a clock shows, one copy each.
  void two_digits(int value) {
    if (value >= 0 && value < 100 && end_ - pos_ >= 2) {
      std::memcpy(pos_, &kDigitPairs[value * 2], 2);
      pos_ += 2;
    } else if (value >= 0 && value < 100) {
      text(&kDigitPairs[value * 2], 2);
    } else {
      number(value, 2);
    }
  }
  void three_digits(int value) {
    if (value >= 0 && value < 1000) {
      character(static_cast<char>('0' + value / 100));
      text(&kDigitPairs[(value % 100) * 2], 2);
    } else {
      number(value, 3);
    }
  }
  // Decimal like printf's "%0<width>d": the sign counts toward the width.
  void number(long long value, int width = 0) {
    char digits[hxcore::detail::kMaxDecimalLength];
    const char* const end = hxcore::detail::write_decimal(digits, value);
    const char* first = digits;
    if (value < 0) character(*first++);
    for (auto pad = width - (end - digits); pad > 0; --pad) character('0');
    text(first, static_cast<size_t>(end - first));
  }
  size_t length() const { return static_cast<size_t>(pos_ - begin_); }

 private:
  char* begin_;
  char* pos_;
  char* end_;
};

char level_letter(int level) {
  switch (level) {
    case 1: return 'D';
    case 2: return 'I';
    case 3: return 'W';
    case 4: return 'E';
    default: return '?';
  }
}

// The text after the last '/', or failing that after the last '\\'.
const char* base_name(const char* file) {
  if (const char* slash = std::strrchr(file, '/')) return slash + 1;
  if (const char* backslash = std::strrchr(file, '\\')) return backslash + 1;
  return file;
}

// "%02d-%02d %02d:%02d:%02d.%03d [%d-%d]\t[%s|%s]\t[%s:%d](%s): "
size_t write_header(char* record, int level, const char* tag, const char* file, int line,
                    const char* function) {
  ThreadIdsText& ids = t_ids;
  if (ids.length == 0) {
    // Printed as "%d" prints them: as signed 32-bit values.
    BoundedWriter text(ids.text, sizeof ids.text);
    text.number(static_cast<int32_t>(hxcore::detail::os_process_id()));
    text.character('-');
    text.number(static_cast<int32_t>(hxcore::detail::os_thread_id()));
    ids.length = text.length();
  }
  const hxcore::detail::LocalTime now = hxcore::detail::local_now();
  const char* base = base_name(file);

  BoundedWriter out(record, kRecordTextMax);
  out.two_digits(now.month);
  out.character('-');
  out.two_digits(now.day);
  out.character(' ');
  out.two_digits(now.hour);
  out.character(':');
  out.two_digits(now.minute);
  out.character(':');
  out.two_digits(now.second);
  out.character('.');
  out.three_digits(now.milliseconds);
  out.literal(" [");
  out.text(ids.text, ids.length);
  out.literal("]\t[");
  out.character(level_letter(level));
  out.character('|');
  out.text(tag);
  out.literal("]\t[");
  out.text(base, strnlen(base, kBaseNameMax));
  out.character(':');
  out.number(line);
  out.literal("](");
  out.text(function);
  out.literal("): ");
  return out.length();
}

void deliver(int level, const char* record) {
  if (g_has_callback.load(std::memory_order_acquire)) {
    std::lock_guard<std::mutex> lock(g_log_mutex);
    if (g_callback != nullptr) {
      g_callback(level, record, std::strlen(record), g_user);
      return;
    }
  }
  // A record the output dropped leaves no newline behind.
  if (hxcore::detail::os_debug_output(record)) hxcore::detail::os_debug_output("\n");
}

}  // namespace

extern "C" {

void MirvLog(int level, const char* tag, const char* file, int line, const char* function,
             const char* format, ...) {
  if (level < g_threshold.load(std::memory_order_relaxed)) return;

  char record[kRecordBufferSize];
  const size_t header = write_header(record, level, tag, file, line, function);
  va_list args;
  va_start(args, format);
  hxcore::detail::format_text(record + header, kRecordTextMax + 1 - header, format, args);
  va_end(args);
  deliver(level, record);
}

int GetHXLogLevel() { return g_threshold.load(std::memory_order_relaxed); }

void SetHXLogLevel(int level) { g_threshold.store(level, std::memory_order_relaxed); }

void SetHXLogCallback(HXLogCallback callback, void* user) {
  std::lock_guard<std::mutex> lock(g_log_mutex);
  g_callback = callback;
  g_user = user;
  g_has_callback.store(callback != nullptr, std::memory_order_release);
}

}  // extern "C"
