// SPDX-License-Identifier: Apache-2.0
/// @class mvc::MStr MStr.h <hxcore/MStr.h>
/// A growable 8-bit text string, and static helpers over NUL-terminated
/// character arrays (bounded copy, concatenation and formatting into caller
/// buffers, comparisons, trimming, number conversions).
///
/// Every string owns a heap buffer of `capacity()` bytes holding the text and a
/// NUL; the text never contains a NUL (a source is read only up to its first NUL,
/// whatever count is given). Capacity grows to exactly the first request and
/// doubles after that; it never shrinks. Copies are deep. Sources may point into
/// the string's own text. Not thread-safe: one string, one user at a time.
/// Failures are results, never faults: bad positions give -1, null texts are
/// ignored or compared as nothing; only a failed allocation throws std::bad_alloc
/// (the old text stays), as does a text that would reach 2 GiB. Case folding is
/// ASCII ('A'-'Z' only) on every system and in every locale. Example:
/// @code
///   mvc::MStr s("id=");
///   s.appendfmt("%d", 42);   // "id=42"
/// @endcode
#pragma once

#include <cstdarg>
#include <cstring>

#include "hxcore_export.h"

namespace mvc {

class MStr {
 public:
  /// Empty text, capacity 1.
  HXCORE_API MStr();
  /// Empty source: as the default constructor; otherwise capacity is exactly the
  /// source's length + 1.
  HXCORE_API MStr(const MStr& other);
  /// `assign(text, count)` onto a string with no buffer; a null text gives the
  /// default string.
  HXCORE_API MStr(const char* text, int count = -1);
  HXCORE_API ~MStr();

  /// `assign(other)`; self-assignment leaves the string unchanged.
  HXCORE_API MStr& operator=(const MStr& other);
  /// `assign(text)`.
  HXCORE_API MStr& operator=(const char* text);
  /// `assign(other.c_str(), other.length())`.
  HXCORE_API MStr& assign(const MStr& other);
  /// Replaces the text with at most `count` bytes of `text` (all of it when
  /// `count` is negative), stopping at its NUL. Reserves `count` + 1 bytes even
  /// when the text is shorter. A null text, or this string's own buffer, changes
  /// nothing; a text elsewhere inside the buffer is copied as it stood.
  HXCORE_API MStr& assign(const char* text, int count = -1);
  /// Replaces the text with the printf-formatted text. A null format, or a
  /// format error, leaves the string as it was.
  HXCORE_API MStr& assignfmt(const char* format, ...) HXCORE_PRINTF_FORMAT(2, 3);

  /// The NUL-terminated text, never null; valid until the string next changes.
  const char* c_str() const { return buffer_; }
  /// Bytes of text, without the NUL.
  int length() const { return length_; }
  /// Bytes of the buffer, the NUL included.
  int capacity() const { return capacity_; }
  /// True for a length of 0.
  bool empty() const { return length_ == 0; }
  /// The byte at `index`; NUL when `index` is negative or not below the length.
  HXCORE_API char operator[](int index) const;

  /// Appends all of `text`, as `append(text, -1)` does. Inline: a text that fits
  /// the free room is copied in place, anything else goes to `append(text, -1)`.
  MStr& append(const char* text) {
    if (text != nullptr) {
      const size_t n = std::strlen(text);
      if (n < static_cast<size_t>(capacity_ - length_)) {
        // Moved with its NUL; the text may be this string's own, whose NUL is the
        // first byte written.
        std::memmove(buffer_ + length_, text, n + 1);
        length_ += static_cast<int>(n);
        return *this;
      }
    }
    return append(text, -1);
  }
  /// Appends at most `count` bytes of `text` (all of it when negative). A null
  /// text or a count of 0 changes nothing; the text may be this string's own.
  HXCORE_API MStr& append(const char* text, int count);
  ///@{
  /// Appends all of `other` (or `text`), as `append(text)` does.
  HXCORE_API MStr& append(const MStr& other);
  HXCORE_API MStr& operator+=(const MStr& other);
  HXCORE_API MStr& operator+=(const char* text);
  ///@}
  /// Appends the printf-formatted text; a null format or a format error changes
  /// nothing. Arguments may point into this string.
  HXCORE_API MStr& appendfmt(const char* format, ...) HXCORE_PRINTF_FORMAT(2, 3);
  /// Inserts `text` before `position` (position == length appends). Returns 0, or
  /// -1 for a position outside 0..length; a null or empty text returns 0.
  HXCORE_API int insert(int position, const char* text);
  /// @overload
  HXCORE_API int insert(int position, MStr& text);
  /// Removes `count` bytes at `position` (fewer when the text ends first).
  /// Returns 0, or -1 for a position outside 0..length or a negative count.
  HXCORE_API int erase(int position, int count);
  /// Makes the capacity at least `size`: unchanged when already enough, else the
  /// larger of twice the capacity and `size`. Returns the capacity, or -1 when
  /// `size` < 1.
  HXCORE_API int reserve(int size);
  ///@{
  /// Folds ASCII letters only; other bytes unchanged.
  HXCORE_API void tolower();
  HXCORE_API void toupper();
  ///@}
  ///@{
  /// Replaces the text with the decimal text of the value; doubles as "%g"
  /// ("1.23457e+06").
  HXCORE_API void setValue(int value);
  HXCORE_API void setValue(long long value);
  HXCORE_API void setValue(double value);
  ///@}

  /// The `count` bytes at `position`, cut at the end of the text; an empty string
  /// unless 0 <= position < length and count >= 1.
  HXCORE_API MStr substr(int position, int count);
  /// Null text or a count of 0: 1 when this string is non-empty, else 0. A
  /// positive count: strncmp over `count` bytes (sign only). Negative: -1, 0 or 1
  /// comparing whole texts as unsigned bytes.
  HXCORE_API int cmp(const char* text, int count = -1) const;
  /// `cmp(other.c_str())`: whole texts.
  HXCORE_API int cmp(const MStr& other) const;
  /// As `cmp`, ignoring case, but a count of 0 compares nothing and gives 0.
  HXCORE_API int casecmp(const char* text, int count = -1) const;
  /// `casecmp(other.c_str())`: whole texts.
  HXCORE_API int casecmp(const MStr& other) const;
  /// Index of the first byte equal to `(char)c`; searching for 0 gives the
  /// length; -1 when absent or this string is empty.
  HXCORE_API int findchar(int c) const;
  /// Index of the first occurrence of `text`; -1 when absent, or when this string
  /// or `text` is empty or null.
  HXCORE_API int findstr(const char* text) const;
  /// As `findstr`, ignoring case.
  HXCORE_API int findcasestr(const char* text) const;
  ///@{
  /// Length of the leading run made only of (not of) bytes in `set`; 0 when this
  /// string or `set` is empty or null.
  HXCORE_API int countaccept(const char* set) const;
  HXCORE_API int countreject(const char* set) const;
  ///@}
  ///@{
  /// The text read as a number by `atoi`, `atoi64` or `atod`.
  HXCORE_API int asInt() const;
  HXCORE_API long long asInt64() const;
  HXCORE_API double asDouble() const;
  ///@}

  /// The first `length` bytes of `text` without leading and trailing space bytes
  /// (see `space`); a NUL stops the scans. Empty for a null text or length <= 0.
  HXCORE_API static MStr trim(const char* text, int length);
  /// True exactly for bytes 8, 9, 10, 12, 13 and 32 (not 11).
  HXCORE_API static bool space(char c);
  /// Copies at most size - 1 bytes and a NUL; returns the bytes copied. 0 (and no
  /// write) for a null buffer or source or a size below 1.
  HXCORE_API static int strcpy_x(char* destination, int size, const char* source);
  /// Appends to the text in `destination`; returns the new total length, or 0
  /// with no write when there is no room left (or on a null argument or size < 1).
  HXCORE_API static int strcat_x(char* destination, int size, const char* source);
  /// snprintf into `destination`; returns the length written, which is size - 1
  /// when the text was cut or the format failed. 0 with no write on a null
  /// argument or size < 1.
  HXCORE_API static int sprintf_x(char* destination, int size, const char* format, ...)
      HXCORE_PRINTF_FORMAT(3, 4);
  /// The standard strncpy of exactly `count` bytes (pads with NULs, leaves the
  /// result unterminated when the source is that long); null on a null argument
  /// or a negative count.
  HXCORE_API static char* strncpy(char* destination, const char* source, int count);
  /// -1, 0 or 1 comparing unsigned bytes. No null checks, like the three below.
  HXCORE_API static int strcmp(const char* a, const char* b);
  /// Sign only is meaningful; a negative count compares whole texts.
  HXCORE_API static int strncmp(const char* a, const char* b, int count);
  ///@{
  /// Both sides folded to ASCII lower case; sign only is meaningful. A count of 0
  /// gives 0; a negative count compares whole texts.
  HXCORE_API static int stricmp(const char* a, const char* b);
  HXCORE_API static int strnicmp(const char* a, const char* b, int count);
  static int strcasecmp(const char* a, const char* b) { return stricmp(a, b); }
  static int strncasecmp(const char* a, const char* b, int count) { return strnicmp(a, b, count); }
  ///@}
  ///@{
  /// Leading white space, a sign, decimal digits; 0 for null or no digits. An int
  /// out of range saturates at INT_MIN or INT_MAX (so does the 64-bit one).
  HXCORE_API static int atoi(const char* text);
  HXCORE_API static long long atoi64(const char* text);
  ///@}
  /// The standard atof; 0.0 for null.
  HXCORE_API static double atod(const char* text);
  ///@{
  /// Decimal text and a NUL; `destination` must hold 12 bytes (21 for 64 bits).
  HXCORE_API static char* itoa(int value, char* destination);
  HXCORE_API static char* i64toa(long long value, char* destination);
  ///@}
  /// "%g" text and a NUL; `destination` must hold 32 bytes.
  HXCORE_API static char* dtoa(double value, char* destination);

 private:
  /// Writes the formatted text at `offset` (0 or the length) and makes the text
  /// end there; unchanged on a format error.
  void format_at(int offset, const char* format, va_list arguments);
  /// The growth rule of `reserve`: when `size` exceeds the capacity, moves to a
  /// buffer of the larger of twice the capacity and `size`, keeping only the
  /// first `kept` bytes of the text. Throws std::bad_alloc past INT_MAX bytes.
  void grow_to(long long size, int kept);

  char* buffer_;
  int length_;
  int capacity_;
};

}  // namespace mvc
