// SPDX-License-Identifier: Apache-2.0
#include "MStr.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <new>

#include "detail/ascii.h"
#include "detail/decimal.h"
#include "detail/quick_format.h"

namespace mvc {

namespace {

// Case folding is ASCII only, so that comparisons agree with `tolower`/`toupper`
// of this class.
constexpr unsigned char fold(char c) {
  return static_cast<unsigned char>(hxcore::detail::ascii_tolower(c));
}

// Bit i set for the space bytes 8, 9, 10, 12, 13 and 32.
constexpr unsigned long long kSpaceBits =
    (1ull << 8) | (1ull << 9) | (1ull << 10) | (1ull << 12) | (1ull << 13) | (1ull << 32);

// Length of `text` up to its first NUL, looking at no more than `limit` bytes.
int bounded_length(const char* text, int limit) {
  const void* nul = std::memchr(text, '\0', static_cast<size_t>(limit));
  return nul != nullptr ? static_cast<int>(static_cast<const char*>(nul) - text) : limit;
}

// The count asked for and the bytes actually there (up to the NUL) for a text
// argument with a count; a negative count means the whole text.
struct SourceSpan {
  int requested;
  int available;
};

SourceSpan measure(const char* text, int count) {
  if (count < 0) {
    const size_t length = std::strlen(text);
    if (length > static_cast<size_t>(INT_MAX) - 1) throw std::bad_alloc();
    return {static_cast<int>(length), static_cast<int>(length)};
  }
  return {count, bounded_length(text, count)};
}

// True when `pointer` lies in the `size` bytes at `buffer`. std::less gives a
// total order even for pointers into different arrays.
bool lies_in(const char* pointer, const char* buffer, int size) {
  const std::less<const char*> before;
  return buffer != nullptr && !before(pointer, buffer) && before(pointer, buffer + size);
}

// Room on the stack for a formatted text; a longer one is formatted a second
// time, where it fits.
constexpr int kStackFormatSize = 512;

int format_with_copy(char* destination, size_t size, const char* format, va_list arguments) {
  va_list copy;
  va_copy(copy, arguments);
  const int result = hxcore::detail::format_text(destination, size, format, copy);
  va_end(copy);
  return result;
}

}  // namespace

MStr::MStr() : buffer_(new char[1]), length_(0), capacity_(1) { buffer_[0] = '\0'; }

MStr::MStr(const MStr& other) : MStr(other.empty() ? nullptr : other.buffer_, other.length_) {}

MStr::MStr(const char* text, int count) : buffer_(nullptr), length_(0), capacity_(0) {
  if (text == nullptr) {
    buffer_ = new char[1];
    buffer_[0] = '\0';
    capacity_ = 1;
    return;
  }
  assign(text, count);
}

MStr::~MStr() {
  delete[] buffer_;
  buffer_ = nullptr;
  length_ = 0;
  capacity_ = 0;
}

MStr& MStr::operator=(const MStr& other) { return assign(other); }

MStr& MStr::operator=(const char* text) { return assign(text, -1); }

MStr& MStr::assign(const MStr& other) { return assign(other.buffer_, other.length_); }

MStr& MStr::assign(const char* text, int count) {
  if (text == nullptr || text == buffer_) return *this;
  const SourceSpan span = measure(text, count);
  if (lies_in(text, buffer_, capacity_)) {
    // The source is a tail of our own text: move it to the front first, so the
    // growth below (which keeps the text) cannot lose it.
    std::memmove(buffer_, text, static_cast<size_t>(span.available));
    length_ = span.available;
    buffer_[length_] = '\0';
    grow_to(static_cast<long long>(span.requested) + 1, length_);
    return *this;
  }
  // Grow before dropping the text, so a failed allocation loses nothing; the
  // old text is not copied into the new buffer.
  grow_to(static_cast<long long>(span.requested) + 1, 0);
  const int copied = std::min(span.available, capacity_ - 1);
  std::memcpy(buffer_, text, static_cast<size_t>(copied));
  length_ = copied;
  buffer_[length_] = '\0';
  return *this;
}

MStr& MStr::assignfmt(const char* format, ...) {
  if (format == nullptr) return *this;
  va_list arguments;
  va_start(arguments, format);
  format_at(0, format, arguments);
  va_end(arguments);
  return *this;
}

char MStr::operator[](int index) const {
  return index >= 0 && index < length_ ? buffer_[index] : '\0';
}

MStr& MStr::append(const char* text, int count) {
  if (text == nullptr || count == 0) return *this;
  const SourceSpan span = measure(text, count);
  const long long needed = static_cast<long long>(length_) + 1 + span.requested;
  if (needed > capacity_) {
    // The growth may move our own text, which `text` may point into.
    const bool inside = lies_in(text, buffer_, capacity_);
    const ptrdiff_t offset = text - buffer_;
    grow_to(needed, length_);
    if (inside) text = buffer_ + offset;
  }
  const int copied = std::min(span.available, capacity_ - length_ - 1);
  std::memmove(buffer_ + length_, text, static_cast<size_t>(copied));
  length_ += copied;
  buffer_[length_] = '\0';
  return *this;
}

MStr& MStr::append(const MStr& other) { return append(other.buffer_, other.length_); }

MStr& MStr::operator+=(const MStr& other) { return append(other); }

MStr& MStr::operator+=(const char* text) { return append(text, -1); }

MStr& MStr::appendfmt(const char* format, ...) {
  if (format == nullptr) return *this;
  va_list arguments;
  va_start(arguments, format);
  format_at(length_, format, arguments);
  va_end(arguments);
  return *this;
}

void MStr::format_at(int offset, const char* format, va_list arguments) {
  // The text is only touched once formatting has succeeded: a format error
  // loses nothing, and arguments pointing into our own text stay readable.
  // A short text is formatted once, on the stack; a longer one is formatted
  // again, into the free room beyond the terminator (which the text does not
  // use) when it fits there, else on the heap.
  char stack[kStackFormatSize];
  const int needed = format_with_copy(stack, sizeof stack, format, arguments);
  if (needed < 0) return;
  const char* formatted = stack;
  std::unique_ptr<char[]> heap;
  if (needed >= kStackFormatSize) {
    char* target = buffer_ + length_ + 1;
    if (needed >= capacity_ - length_ - 1) {
      heap.reset(new char[static_cast<size_t>(needed) + 1]);
      target = heap.get();
    }
    if (format_with_copy(target, static_cast<size_t>(needed) + 1, format, arguments) != needed) {
      return;  // the arguments changed under us: keep the old text
    }
    formatted = target;
  }
  grow_to(static_cast<long long>(offset) + 1 + needed, offset);
  std::memmove(buffer_ + offset, formatted, static_cast<size_t>(needed));
  length_ = offset + needed;
  buffer_[length_] = '\0';
}

int MStr::insert(int position, const char* text) {
  if (position < 0 || position > length_) return -1;
  if (text == nullptr || text[0] == '\0') return 0;
  if (lies_in(text, buffer_, capacity_)) {
    const MStr copy(text);
    return insert(position, copy.buffer_);
  }
  const int inserted = measure(text, -1).available;
  grow_to(static_cast<long long>(length_) + inserted + 1, length_);
  std::memmove(buffer_ + position + inserted, buffer_ + position,
               static_cast<size_t>(length_ - position));
  std::memcpy(buffer_ + position, text, static_cast<size_t>(inserted));
  length_ += inserted;
  buffer_[length_] = '\0';
  return 0;
}

int MStr::insert(int position, MStr& text) { return insert(position, text.buffer_); }

int MStr::erase(int position, int count) {
  if (position < 0 || position > length_ || count < 0) return -1;
  const int removed = std::min(count, length_ - position);
  std::memmove(buffer_ + position, buffer_ + position + removed,
               static_cast<size_t>(length_ - position - removed));
  length_ -= removed;
  buffer_[length_] = '\0';
  return 0;
}

int MStr::reserve(int size) {
  if (size < 1) return -1;
  grow_to(size, length_);
  return capacity_;
}

void MStr::grow_to(long long size, int kept) {
  if (size <= capacity_) return;
  if (size > INT_MAX) throw std::bad_alloc();
  // Twice the capacity, or the request when that is more; a doubling past
  // INT_MAX stops at INT_MAX, which still satisfies the request.
  const long long doubled = std::min<long long>(2LL * capacity_, INT_MAX);
  const int new_capacity = static_cast<int>(std::max(doubled, size));
  char* fresh = new char[static_cast<size_t>(new_capacity)];
  if (kept > 0) std::memcpy(fresh, buffer_, static_cast<size_t>(kept));
  fresh[kept] = '\0';
  delete[] buffer_;
  buffer_ = fresh;
  length_ = kept;
  capacity_ = new_capacity;
}

void MStr::tolower() {
  for (int i = 0; i < length_; ++i) buffer_[i] = hxcore::detail::ascii_tolower(buffer_[i]);
}

void MStr::toupper() {
  for (int i = 0; i < length_; ++i) buffer_[i] = hxcore::detail::ascii_toupper(buffer_[i]);
}

void MStr::setValue(int value) {
  char text[32] = {};
  assign(itoa(value, text), -1);
}

void MStr::setValue(long long value) {
  char text[32] = {};
  assign(i64toa(value, text), -1);
}

void MStr::setValue(double value) {
  char text[32] = {};
  assign(dtoa(value, text), -1);
}

MStr MStr::substr(int position, int count) {
  if (position < 0 || position >= length_ || count < 1) return MStr();
  return MStr(buffer_ + position, std::min(count, length_ - position));
}

int MStr::cmp(const char* text, int count) const {
  if (text == nullptr || count == 0) return length_ > 0 ? 1 : 0;
  if (count > 0) return strncmp(buffer_, text, count);
  return strcmp(buffer_, text);
}

int MStr::cmp(const MStr& other) const { return cmp(other.buffer_, -1); }

int MStr::casecmp(const char* text, int count) const {
  if (text == nullptr) return length_ > 0 ? 1 : 0;
  if (count < 0) return stricmp(buffer_, text);
  return strnicmp(buffer_, text, count);
}

int MStr::casecmp(const MStr& other) const { return casecmp(other.buffer_, -1); }

int MStr::findchar(int c) const {
  if (length_ == 0) return -1;
  const char wanted = static_cast<char>(c);
  if (wanted == '\0') return length_;
  const void* found = std::memchr(buffer_, wanted, static_cast<size_t>(length_));
  return found != nullptr ? static_cast<int>(static_cast<const char*>(found) - buffer_) : -1;
}

int MStr::findstr(const char* text) const {
  if (length_ == 0 || text == nullptr || text[0] == '\0') return -1;
  const char* found = std::strstr(buffer_, text);
  return found != nullptr ? static_cast<int>(found - buffer_) : -1;
}

int MStr::findcasestr(const char* text) const {
  if (length_ == 0 || text == nullptr || text[0] == '\0') return -1;
  const unsigned char first = fold(text[0]);
  const size_t wanted = std::strlen(text);
  if (wanted > static_cast<size_t>(length_)) return -1;
  // A match cannot start closer to the end than the length of `text`.
  const int last_start = length_ - static_cast<int>(wanted);
  for (int i = 0; i <= last_start; ++i) {
    if (fold(buffer_[i]) != first) continue;
    int j = 1;
    while (text[j] != '\0' && fold(buffer_[i + j]) == fold(text[j])) ++j;
    if (text[j] == '\0') return i;
  }
  return -1;
}

int MStr::countaccept(const char* set) const {
  if (length_ == 0 || set == nullptr || set[0] == '\0') return 0;
  return static_cast<int>(std::strspn(buffer_, set));
}

int MStr::countreject(const char* set) const {
  if (length_ == 0 || set == nullptr || set[0] == '\0') return 0;
  return static_cast<int>(std::strcspn(buffer_, set));
}

int MStr::asInt() const { return atoi(buffer_); }

long long MStr::asInt64() const { return atoi64(buffer_); }

double MStr::asDouble() const { return atod(buffer_); }

MStr MStr::trim(const char* text, int length) {
  if (text == nullptr || length <= 0) return MStr();
  int start = 0;
  while (start < length && space(text[start])) ++start;
  if (start == length) return MStr();
  int end = length;
  while (end > start && space(text[end - 1])) --end;
  // Built directly, not assigned into an empty string: the capacity is the
  // same (count + 1 >= 2), with one allocation instead of two.
  return MStr(text + start, end - start);
}

bool MStr::space(char c) {
  const unsigned byte = static_cast<unsigned char>(c);
  return byte <= 32 && ((kSpaceBits >> byte) & 1u) != 0;
}

int MStr::strcpy_x(char* destination, int size, const char* source) {
  if (destination == nullptr || size < 1 || source == nullptr) return 0;
  const int copied = bounded_length(source, size - 1);
  std::memmove(destination, source, static_cast<size_t>(copied));
  destination[copied] = '\0';
  return copied;
}

int MStr::strcat_x(char* destination, int size, const char* source) {
  if (destination == nullptr || size < 1 || source == nullptr) return 0;
  const int existing = bounded_length(destination, size);
  if (existing >= size - 1) return 0;
  const int copied = bounded_length(source, size - existing - 1);
  std::memmove(destination + existing, source, static_cast<size_t>(copied));
  destination[existing + copied] = '\0';
  return existing + copied;
}

int MStr::sprintf_x(char* destination, int size, const char* format, ...) {
  if (destination == nullptr || size < 1 || format == nullptr) return 0;
  va_list arguments;
  va_start(arguments, format);
  const int result = std::vsnprintf(destination, static_cast<size_t>(size), format, arguments);
  va_end(arguments);
  if (result >= 0 && result <= size - 1) return result;
  destination[size - 1] = '\0';
  return size - 1;
}

char* MStr::strncpy(char* destination, const char* source, int count) {
  if (destination == nullptr || source == nullptr || count < 0) return nullptr;
  return std::strncpy(destination, source, static_cast<size_t>(count));
}

int MStr::strcmp(const char* a, const char* b) {
  const int result = std::strcmp(a, b);
  return (result > 0) - (result < 0);
}

int MStr::strncmp(const char* a, const char* b, int count) {
  if (count < 0) return std::strcmp(a, b);
  return std::strncmp(a, b, static_cast<size_t>(count));
}

int MStr::stricmp(const char* a, const char* b) { return strnicmp(a, b, -1); }

int MStr::strnicmp(const char* a, const char* b, int count) {
  // A negative count never reaches 0, so the whole texts are compared.
  for (; count != 0; ++a, ++b, --count) {
    const int difference = fold(*a) - fold(*b);
    if (difference != 0 || *a == '\0') return difference;
  }
  return 0;
}

int MStr::atoi(const char* text) {
  return static_cast<int>(std::clamp<long long>(atoi64(text), INT_MIN, INT_MAX));
}

long long MStr::atoi64(const char* text) {
  if (text == nullptr) return 0;
  // strtoll saturates out of range (atoll's result there is undefined) and
  // sets errno, which this function must not leak to the caller.
  const int saved_errno = errno;
  const long long value = std::strtoll(text, nullptr, 10);
  errno = saved_errno;
  return value;
}

double MStr::atod(const char* text) { return text == nullptr ? 0.0 : std::atof(text); }

char* MStr::itoa(int value, char* destination) {
  *hxcore::detail::write_decimal(destination, value) = '\0';
  return destination;
}

char* MStr::i64toa(long long value, char* destination) {
  *hxcore::detail::write_decimal(destination, value) = '\0';
  return destination;
}

char* MStr::dtoa(double value, char* destination) {
  // "%g" needs at most 13 bytes ("-1.79769e+308") or a word like "-nan".
  std::snprintf(destination, 32, "%g", value);
  return destination;
}

}  // namespace mvc
