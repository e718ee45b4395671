// SPDX-License-Identifier: Apache-2.0
// printf's commonest conversions written here, every other format handed to vsnprintf.
#include "detail/quick_format.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "detail/decimal.h"
#include "detail/hex.h"

namespace hxcore::detail {

namespace {

// Bytes of a %s argument copied one at a time before the rest goes in one copy.
constexpr int kShortText = 32;

// Appends to `buffer` while it has room (one byte kept for the NUL) and counts every byte.
class CountingWriter {
 public:
  CountingWriter(char* buffer, size_t size) : buffer_(buffer), room_(size > 0 ? size - 1 : 0) {}

  void bytes(const char* text, size_t n) {
    if (written_ < room_) {
      const size_t left = room_ - written_;
      std::memcpy(buffer_ + written_, text, n < left ? n : left);
    }
    written_ += n;
  }
  void byte(char c) {
    if (written_ < room_) buffer_[written_] = c;
    ++written_;
  }
  // A zero-terminated text: copied a byte at a time while short, then in one piece.
  void text(const char* s) {
    for (int i = 0; i < kShortText; ++i) {
      if (s[i] == '\0') return;
      byte(s[i]);
    }
    bytes(s + kShortText, std::strlen(s + kShortText));
  }
  // "%d" and "%u": the library's one decimal writer.
  template <typename Integer>
  void decimal(Integer value) {
    char text[kMaxDecimalLength];
    bytes(text, static_cast<size_t>(write_decimal(text, value) - text));
  }
  // "%x" and "%X": the digits of `value` in base 16, taken from `digits`.
  void hexadecimal(unsigned long long value, const char* digits) {
    char text[16];
    char* first = text + sizeof text;
    do {
      *--first = digits[value % 16];
      value /= 16;
    } while (value != 0);
    bytes(first, static_cast<size_t>(text + sizeof text - first));
  }
  // Ends the text with its NUL; the length, or -1 past what an int counts.
  int finish(size_t size) {
    if (size > 0) buffer_[written_ < room_ ? written_ : room_] = '\0';
    return written_ > INT_MAX ? -1 : static_cast<int>(written_);
  }

 private:
  char* buffer_;
  size_t room_;
  size_t written_ = 0;
};

enum class Size { kInt, kLong, kLongLong, kSizeT };


// One conversion's value, read at its size. The list goes by pointer: a va_list passed by value
// is a copy on some systems, and its reads would not advance the caller's.
unsigned long long unsigned_argument(Size size, va_list* arguments) {
  switch (size) {
    case Size::kLong:
      return va_arg(*arguments, unsigned long);
    case Size::kLongLong:
      return va_arg(*arguments, unsigned long long);
    case Size::kSizeT:
      return va_arg(*arguments, size_t);
    default:
      return va_arg(*arguments, unsigned int);
  }
}

long long signed_argument(Size size, va_list* arguments) {
  switch (size) {
    case Size::kLong:
      return va_arg(*arguments, long);
    case Size::kLongLong:
      return va_arg(*arguments, long long);
    case Size::kSizeT:
      return static_cast<long long>(va_arg(*arguments, size_t));
    default:
      return va_arg(*arguments, int);
  }
}

// The quick path: false, with `arguments` partly read, at the first conversion it does not do.
// Formats are short: their literal parts are copied a byte at a time.
bool quick_format(CountingWriter& out, const char* format, va_list* arguments) {
  for (;;) {
    while (*format != '%') {
      if (*format == '\0') return true;
      out.byte(*format++);
    }
    const char* at = format + 1;
    Size size = Size::kInt;
    if (*at == 'l' && at[1] == 'l') {
      at += 2;
      size = Size::kLongLong;
    } else if (*at == 'l') {
      ++at;
      size = Size::kLong;
    } else if (*at == 'z') {
      ++at;
      size = Size::kSizeT;
    }
    switch (*at) {
      case 'd':
      case 'i': {
        out.decimal(signed_argument(size, arguments));
        break;
      }
      case 'u':
        out.decimal(unsigned_argument(size, arguments));
        break;
      case 'x':
        out.hexadecimal(unsigned_argument(size, arguments), kLowerHexDigits);
        break;
      case 'X':
        out.hexadecimal(unsigned_argument(size, arguments), kUpperHexDigits);
        break;
      case 'c':
        if (size != Size::kInt) return false;  // %lc is a wide character
        out.byte(static_cast<char>(va_arg(*arguments, int)));
        break;
      case 's': {
        if (size != Size::kInt) return false;  // %ls is a wide text
        const char* text = va_arg(*arguments, const char*);
        out.text(text != nullptr ? text : "(null)");
        break;
      }
      case '%':
        if (size != Size::kInt) return false;
        out.byte('%');
        break;
      default:
        return false;
    }
    format = at + 1;
  }
}

}  // namespace

int format_text(char* buffer, size_t size, const char* format, va_list arguments) {
  CountingWriter out(buffer, size);
  va_list copy;
  va_copy(copy, arguments);
  const bool quick = quick_format(out, format, &copy);
  va_end(copy);
  return quick ? out.finish(size) : std::vsnprintf(buffer, size, format, arguments);
}

}  // namespace hxcore::detail
