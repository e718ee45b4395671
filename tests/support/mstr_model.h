// mstr_model.h - drives mvc::MStr and a std::string model with the same
// operations, read from a byte stream (random bytes in the unit tests, fuzz
// input in the fuzzer), and reports the first disagreement in a result, the
// text, the length or the capacity (the model follows the growth rule too).
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "MStr.h"

namespace hxtest {

class ByteSource {
 public:
  ByteSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool done() const { return position_ >= size_; }
  uint8_t next() { return done() ? 0 : data_[position_++]; }
  int in_range(int low, int high) { return low + (next() | next() << 8) % (high - low + 1); }
  // Up to 23 bytes of letters in both cases, the space bytes, vertical tab,
  // high bytes and, rarely, a NUL (where MStr stops reading).
  std::string text() {
    static constexpr char kAlphabet[] =
        "aAbBzZ_ \t\r\n\b\f\v\x80\xff"
        "09%";
    std::string result(next() % 24, 'a');
    for (char& c : result) {
      const uint8_t pick = next();
      c = pick == 255 ? '\0' : kAlphabet[pick % (sizeof kAlphabet - 1)];
    }
    return result;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
};

class MStrModel {
 public:
  // Runs operations until the source is used up; "" when MStr always agreed.
  std::string run(ByteSource& in) {
    for (int step = 0; !in.done(); ++step) {
      std::string problem = apply(in);
      if (problem.empty() && !same(subject_, model_, capacity_)) {
        problem = std::string("text '") + subject_.c_str() + "' capacity " +
                  std::to_string(subject_.capacity()) + ", model '" + model_ + "' capacity " +
                  std::to_string(capacity_);
      }
      if (!problem.empty()) return "step " + std::to_string(step) + ": " + problem;
    }
    return "";
  }

 private:
  static int sign(int value) { return (value > 0) - (value < 0); }
  static int index(size_t found) {
    return found == std::string::npos ? -1 : static_cast<int>(found);
  }
  static std::string lower(std::string text) {
    for (char& c : text) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    return text;
  }
  // What MStr reads of a text argument with a count (negative: all of it).
  static std::string readable(const char* text, int count) {
    return std::string(text).substr(0, count < 0 ? std::string::npos : static_cast<size_t>(count));
  }
  static int requested(const char* text, int count) {
    return count < 0 ? static_cast<int>(std::strlen(text)) : count;
  }
  static bool same(const mvc::MStr& s, const std::string& text, int capacity) {
    return s.length() == static_cast<int>(text.size()) && s.capacity() == capacity &&
           std::memcmp(s.c_str(), text.c_str(), text.size() + 1) == 0;
  }
  // The growth rule: exact the first time, doubling when that is enough.
  void grow(long long size) {
    if (size > capacity_) capacity_ = static_cast<int>(std::max<long long>(2LL * capacity_, size));
  }

  std::string apply(ByteSource& in) {
    if (model_.size() > 2000) {  // keeps self-appends from doubling the text forever
      subject_.erase(0, 1900);
      model_.erase(0, 1900);
      return "";
    }
    const int length = static_cast<int>(model_.size());
    const std::string text = in.text();
    const int count = in.in_range(-1, 30);
    const int position = in.in_range(-2, length + 2);
    const int operation = in.next();
    // Odd operation bytes take the source from the string's own text.
    const int start = std::min(std::max(position, 0), length);
    const bool own = operation & 1;
    const char* source = own ? subject_.c_str() + start : text.c_str();
    const std::string source_text = own ? model_.substr(static_cast<size_t>(start)) : text.c_str();
    switch ((operation >> 1) % 14) {
      case 0:
        if (source == subject_.c_str()) return "";  // its own buffer: a no-op
        grow(requested(source, count) + 1LL);
        subject_.assign(source, count);
        model_ = readable(source_text.c_str(), count);
        return "";
      case 1:
        if (count != 0) grow(length + 1LL + requested(source, count));
        subject_.append(source, count);
        model_ += readable(source_text.c_str(), count);
        return "";
      case 2: {
        const bool valid = position >= 0 && position <= length;
        if (subject_.insert(position, source) != (valid ? 0 : -1)) return "insert result";
        if (valid && !source_text.empty()) {
          grow(length + 1LL + static_cast<long long>(source_text.size()));
          model_.insert(static_cast<size_t>(position), source_text);
        }
        return "";
      }
      case 3: {
        const bool valid = position >= 0 && position <= length && count >= 0;
        if (subject_.erase(position, count) != (valid ? 0 : -1)) return "erase result";
        if (valid) model_.erase(static_cast<size_t>(position), static_cast<size_t>(count));
        return "";
      }
      case 4: {
        const mvc::MStr part = subject_.substr(position, count);
        if (position < 0 || position >= length || count < 1)
          return same(part, "", 1) ? "" : "substr";
        const std::string expected =
            model_.substr(static_cast<size_t>(position), static_cast<size_t>(count));
        return same(part, expected, static_cast<int>(expected.size()) + 1) ? "" : "substr";
      }
      case 5: {  // with a slice of its own text as an argument
        const char* slice = subject_.c_str() + start;
        const std::string formatted = std::string(text.c_str()) + "|" + std::to_string(count) +
                                      "|" + model_.substr(static_cast<size_t>(start));
        grow((own ? length : 0) + 1LL + static_cast<long long>(formatted.size()));
        if (own) {
          subject_.appendfmt("%s|%d|%s", text.c_str(), count, slice);
          model_ += formatted;
        } else {
          subject_.assignfmt("%s|%d|%s", text.c_str(), count, slice);
          model_ = formatted;
        }
        return "";
      }
      case 6:
        if (own) {
          subject_.tolower();
          model_ = lower(model_);
        } else {
          subject_.toupper();
          for (char& c : model_) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
        }
        return "";
      case 7: {
        const std::string other = readable(text.c_str(), count > 0 ? count : -1);
        const std::string mine = count > 0 ? model_.substr(0, static_cast<size_t>(count)) : model_;
        if (sign(subject_.cmp(text.c_str(), count)) !=
            (count == 0 ? length > 0 : sign(mine.compare(other)))) {
          return "cmp";
        }
        const int folded = count == 0 ? 0 : sign(lower(mine).compare(lower(other)));
        return sign(subject_.casecmp(text.c_str(), count)) == folded ? "" : "casecmp";
      }
      case 8: {
        const std::string needle = text.c_str();
        const bool none = model_.empty() || needle.empty();
        if (subject_.findstr(needle.c_str()) != (none ? -1 : index(model_.find(needle))))
          return "findstr";
        if (subject_.findcasestr(needle.c_str()) !=
            (none ? -1 : index(lower(model_).find(lower(needle))))) {
          return "findcasestr";
        }
        const int accepted = none ? 0 : index(model_.find_first_not_of(needle));
        if (subject_.countaccept(needle.c_str()) != (accepted < 0 ? length : accepted))
          return "countaccept";
        const int rejected = none ? 0 : index(model_.find_first_of(needle));
        if (subject_.countreject(needle.c_str()) != (rejected < 0 ? length : rejected))
          return "countreject";
        const char wanted = text.empty() ? '\0' : text[0];
        const int found = length == 0 ? -1 : wanted == '\0' ? length : index(model_.find(wanted));
        return subject_.findchar(wanted) == found ? "" : "findchar";
      }
      case 9: {
        const int size = in.in_range(-1, std::min(2 * capacity_ + 2, 1 << 14));
        if (size >= 1) grow(size);
        return subject_.reserve(size) == (size < 1 ? -1 : capacity_) ? "" : "reserve result";
      }
      case 10: {
        const mvc::MStr copy(subject_);
        mvc::MStr assigned(text.c_str(), count);
        assigned = subject_;
        return same(copy, model_, length + 1) && assigned.cmp(subject_) == 0 ? "" : "copy";
      }
      case 11: {
        const int scanned =
            std::min(std::max(count, 0), static_cast<int>(std::strlen(text.c_str())));
        const char* kSpaces = "\b\t\n\f\r ";
        std::string expected = text.substr(0, static_cast<size_t>(scanned));
        expected.erase(std::min(expected.size(), expected.find_last_not_of(kSpaces) + 1));
        expected.erase(0, std::min(expected.size(), expected.find_first_not_of(kSpaces)));
        return mvc::MStr::trim(text.c_str(), scanned).cmp(expected.c_str()) == 0 ? "" : "trim";
      }
      default:
        return subject_[position] == (position >= 0 && position < length ? model_[position] : '\0')
                   ? ""
                   : "operator[]";
    }
  }

  mvc::MStr subject_;
  std::string model_;
  int capacity_ = 1;
};

}  // namespace hxtest
