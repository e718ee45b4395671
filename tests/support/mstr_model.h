// SPDX-License-Identifier: Apache-2.0
// mstr_model.h - runs the same operations, read from a byte stream, on mvc::MStr and a
// std::string model; reports the first disagreement in a result, text, length or capacity.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "MStr.h"

namespace hxtest {

class MStrModel {
 public:
  // Runs operations read from the bytes until they are used up; "" when MStr always agreed.
  std::string run(const uint8_t* data, size_t size) {
    next_ = data;
    end_ = data + size;
    for (int step = 0; next_ != end_; ++step) {
      const Outcome out = apply();
      if (out.got == out.expected && same(subject_, model_, capacity_)) continue;
      return "step " + std::to_string(step) + " " + out.operation + ": " + std::to_string(out.got) +
             " (model " + std::to_string(out.expected) + "), text '" + subject_.c_str() +
             "' capacity " + std::to_string(subject_.capacity()) + " (model '" + model_ +
             "' capacity " + std::to_string(capacity_) + ")";
    }
    return "";
  }

 private:
  uint8_t next() { return next_ == end_ ? 0 : *next_++; }
  int in_range(int low, int high) { return low + (next() | next() << 8) % (high - low + 1); }
  // Up to 23 bytes: digits, letters, space bytes, \v, high bytes, rarely a NUL (MStr stops there).
  std::string random_text() {
    static constexpr char kAlphabet[] = "09%aAbBzZ_ \t\r\n\b\f\v\x80\xff";
    std::string result(next() % 24, 'a');
    for (char& c : result) {
      const uint8_t pick = next();
      c = pick == 255 ? '\0' : kAlphabet[pick % (sizeof kAlphabet - 1)];
    }
    return result;
  }
  struct Outcome {
    const char* operation;
    int got = 0, expected = 0;  // the operation's result, or 0 for none
  };
  static int sign(int value) { return (value > 0) - (value < 0); }
  static int index(size_t at) { return at == std::string::npos ? -1 : static_cast<int>(at); }
  // ASCII letters only, to upper or lower case.
  static std::string cased(std::string text, bool upper) {
    const char first = upper ? 'a' : 'A';
    for (char& c : text) c = (c >= first && c <= first + 25) ? static_cast<char>(c ^ 32) : c;
    return text;
  }
  static bool same(const mvc::MStr& s, const std::string& text, size_t capacity) {
    return s.length() == static_cast<int>(text.size()) &&
           s.capacity() == static_cast<int>(capacity) &&
           std::memcmp(s.c_str(), text.c_str(), text.size() + 1) == 0;
  }
  // The growth rule: exact the first time, doubling when that is enough.
  void grow(long long size) {
    if (size > capacity_) capacity_ = static_cast<int>(std::max<long long>(2LL * capacity_, size));
  }

  Outcome apply() {
    if (model_.size() > 2000) {  // keeps self-appends from doubling the text forever
      subject_.erase(0, 1900);
      model_.erase(0, 1900);
      return {"erase"};
    }
    const int length = static_cast<int>(model_.size());
    const std::string text = random_text();
    const char* const arg = text.c_str();  // MStr reads it up to its first NUL
    const int count = in_range(-1, 30);
    const int position = in_range(-2, length + 2);
    const int operation = next();
    // Odd operation bytes take the source from the string's own text.
    const bool own = operation & 1;
    const size_t start = static_cast<size_t>(std::min(std::max(position, 0), length));
    const char* source = own ? subject_.c_str() + start : arg;
    const std::string source_text = own ? model_.substr(start) : arg;
    const size_t requested = count < 0 ? source_text.size() : static_cast<size_t>(count);
    const bool in_text = position >= 0 && position <= length;
    const bool none = model_.empty() || *arg == '\0';  // what searches find nothing in or for
    // The comparisons read `count` bytes when it is positive, else all.
    const size_t read = count > 0 ? requested : std::string::npos;
    const std::string mine = model_.substr(0, read), theirs = std::string(arg).substr(0, read);
    switch ((operation >> 1) % 18) {
      case 0:
        if (source != subject_.c_str())  // its own buffer: a no-op
          grow(requested + 1LL), model_ = source_text.substr(0, requested);
        subject_.assign(source, count);
        return {"assign"};
      case 1:
        grow(length + 1LL + requested);
        count < 0 ? subject_.append(source) : subject_.append(source, count);  // inline, exported
        model_ += source_text.substr(0, requested);
        return {"append"};
      case 2:
        if (in_text) grow(length + 1LL + source_text.size()), model_.insert(start, source_text);
        return {"insert", subject_.insert(position, source), in_text ? 0 : -1};
      case 3:
        if (in_text && count >= 0) model_.erase(static_cast<size_t>(position), requested);
        return {"erase", subject_.erase(position, count), in_text && count >= 0 ? 0 : -1};
      case 4: {
        const bool inside = position >= 0 && position < length && count >= 1;
        const std::string part = inside ? model_.substr(start, requested) : "";
        return {"substr", same(subject_.substr(position, count), part, part.size() + 1), true};
      }
      case 5: {  // with a slice of its own text as an argument
        const std::string formatted =
            std::string(arg) + "|" + std::to_string(count) + "|" + model_.substr(start);
        grow((own ? length : 0) + 1LL + formatted.size());
        const auto format = own ? &mvc::MStr::appendfmt : &mvc::MStr::assignfmt;
        (subject_.*format)("%s|%d|%s", arg, count, subject_.c_str() + start);
        model_ = (own ? model_ : "") + formatted;
        return {"format"};
      }
      case 6:
        own ? subject_.tolower() : subject_.toupper();
        model_ = cased(model_, !own);
        return {"case"};
      // A count of 0 compares nothing: cmp tells whether this string is empty, casecmp gives 0.
      case 7:  // -1, 0 or 1 exactly when comparing whole texts
        return {"cmp", count < 0 ? subject_.cmp(arg, count) : sign(subject_.cmp(arg, count)),
                count == 0 ? length > 0 : sign(mine.compare(theirs))};
      case 8:
        return {"casecmp", sign(subject_.casecmp(arg, count)),
                count == 0 ? 0 : sign(cased(mine, false).compare(cased(theirs, false)))};
      case 9:
        return {"findstr", subject_.findstr(arg), none ? -1 : index(model_.find(arg))};
      case 10:
        return {"findcasestr", subject_.findcasestr(arg),
                none ? -1 : index(cased(model_, false).find(cased(arg, false)))};
      case 11:
        return {"countaccept", subject_.countaccept(arg),
                none ? 0 : index(std::min(model_.find_first_not_of(arg), model_.size()))};
      case 12:
        return {"countreject", subject_.countreject(arg),
                none ? 0 : index(std::min(model_.find_first_of(arg), model_.size()))};
      case 13:  // the character is converted to char; searching for NUL finds the end
        return {"findchar", subject_.findchar(text[0] + (own ? 256 : 0)),
                length == 0 ? -1 : index((model_ + '\0').find(text[0]))};
      case 14: {
        const int size = in_range(-1, std::min(2 * capacity_ + 2, 1 << 14));
        if (size >= 1) grow(size);
        return {"reserve", subject_.reserve(size), size < 1 ? -1 : capacity_};
      }
      case 15: {
        const mvc::MStr copy(subject_);
        mvc::MStr assigned(arg, count);
        assigned = subject_;
        return {"copy", same(copy, model_, model_.size() + 1) && assigned.cmp(subject_) == 0, true};
      }
      case 16: {  // trim scans the bytes it is given, stopping at a NUL
        const size_t scanned = std::min(static_cast<size_t>(std::max(count, 0)), std::strlen(arg));
        const char* kSpaces = "\b\t\n\f\r ";
        std::string expected(arg, scanned);
        expected.erase(expected.find_last_not_of(kSpaces) + 1);  // all of it when npos
        expected.erase(0, expected.find_first_not_of(kSpaces));
        return {"trim", mvc::MStr::trim(arg, static_cast<int>(scanned)).cmp(expected.c_str()), 0};
      }
      default:
        return {"operator[]", subject_[position],
                position >= 0 && position < length ? model_[static_cast<size_t>(position)] : 0};
    }
  }

  const uint8_t *next_ = nullptr, *end_ = nullptr;
  mvc::MStr subject_;
  std::string model_;
  int capacity_ = 1;
};

}  // namespace hxtest
