// mstr_model.h - drives mvc::MStr and a std::string model with the same
// operations, read from a byte stream (random bytes in the unit tests, fuzz
// input in the fuzzer), and reports the first disagreement in text, length or
// capacity (the model tracks the growth rule too).
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
  int in_range(int low, int high) {
    const int wide = next() | next() << 8;
    return low + wide % (high - low + 1);
  }
  // Up to 23 bytes from an alphabet of letters in both cases, the space bytes,
  // vertical tab, high bytes and (rarely) a NUL, which ends what MStr reads.
  std::string text() {
    static constexpr char kAlphabet[] = "aAbBzZ_ \t\r\n\b\f\v\x80\xff" "09%";
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

inline int sign(int value) { return (value > 0) - (value < 0); }

inline std::string ascii_lower(std::string text) {
  for (char& c : text) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  return text;
}

// What MStr reads of a text argument with a count (negative: all of it).
inline std::string readable(const char* text, int count) {
  const std::string whole(text);
  return count < 0 ? whole : whole.substr(0, static_cast<size_t>(count));
}

inline int grown(int capacity, long long size) {
  return size <= capacity ? capacity : static_cast<int>(std::max<long long>(2LL * capacity, size));
}

inline bool space_byte(char c) { return std::strchr("\b\t\n\f\r ", c) != nullptr && c != '\0'; }

class MStrModel {
 public:
  // Runs operations until the source is used up; "" when MStr always agreed.
  std::string run(ByteSource& in) {
    for (int step = 0; !in.done(); ++step) {
      const std::string problem = apply(in);
      if (!problem.empty()) return "step " + std::to_string(step) + ": " + problem;
      if (!same(subject_, model_, capacity_)) {
        return "step " + std::to_string(step) + ": text now '" + subject_.c_str() + "' (length " +
               std::to_string(subject_.length()) + ", capacity " +
               std::to_string(subject_.capacity()) + "), model '" + model_ + "' (capacity " +
               std::to_string(capacity_) + ")";
      }
    }
    return "";
  }

 private:
  static bool same(const mvc::MStr& s, const std::string& text, int capacity) {
    return s.length() == static_cast<int>(text.size()) && s.capacity() == capacity &&
           std::memcmp(s.c_str(), text.c_str(), text.size() + 1) == 0;
  }

  static std::string check(bool ok, const char* what) { return ok ? "" : std::string(what); }

  std::string apply(ByteSource& in) {
    if (model_.size() > 2000) {  // keep self-appends from doubling the text forever
      subject_.erase(0, 1900);
      model_.erase(0, 1900);
      return "";
    }
    const int length = static_cast<int>(model_.size());
    const std::string text = in.text();
    const char* t = text.c_str();
    const int count = in.in_range(-1, 30);
    const int position = in.in_range(-2, length + 2);
    const char* inside = subject_.c_str() + std::min(std::max(position, 0), length);
    const std::string inside_text = model_.substr(inside - subject_.c_str());
    switch (in.next() % 16) {
      case 0:
        subject_.assign(t, count);
        capacity_ = grown(capacity_, (count < 0 ? std::strlen(t) : count) + 1LL);
        model_ = readable(t, count);
        return "";
      case 1:
        if (count == 0) return check(&subject_.append(t, 0) == &subject_, "append result");
        subject_.append(t, count);
        capacity_ = grown(capacity_, length + 1LL + (count < 0 ? std::strlen(t) : count));
        model_ += readable(t, count);
        return "";
      case 2:  // a slice of its own text
        if (inside == subject_.c_str()) return "";  // assigning its own buffer is a no-op
        subject_.assign(inside, count);
        capacity_ = grown(capacity_, (count < 0 ? inside_text.size() : count) + 1LL);
        model_ = readable(inside_text.c_str(), count);
        return "";
      case 3:
        if (count == 0) return "";
        subject_.append(inside, count);
        capacity_ = grown(capacity_, length + 1LL + (count < 0 ? inside_text.size() : count));
        model_ += readable(inside_text.c_str(), count);
        return "";
      case 4:
      case 5: {
        const bool own = count % 2 != 0;
        const std::string inserted = own ? inside_text : readable(t, -1);
        const bool valid = position >= 0 && position <= length;
        if (subject_.insert(position, own ? inside : t) != (valid ? 0 : -1)) return "insert result";
        if (valid && !inserted.empty()) {
          capacity_ = grown(capacity_, length + 1LL + inserted.size());
          model_.insert(static_cast<size_t>(position), inserted);
        }
        return "";
      }
      case 6: {
        const bool valid = position >= 0 && position <= length && count >= 0;
        if (subject_.erase(position, count) != (valid ? 0 : -1)) return "erase result";
        if (valid) model_.erase(static_cast<size_t>(position), static_cast<size_t>(count));
        return "";
      }
      case 7: {
        const mvc::MStr part = subject_.substr(position, count);
        if (position < 0 || position >= length || count < 1) return check(same(part, "", 1), "substr empty");
        const std::string expected = model_.substr(static_cast<size_t>(position), static_cast<size_t>(count));
        return check(same(part, expected, static_cast<int>(expected.size()) + 1), "substr");
      }
      case 8: {
        const std::string formatted = readable(t, -1) + "|" + std::to_string(count) + "|" + inside_text;
        subject_.assignfmt("%s|%d|%s", t, count, inside);
        capacity_ = grown(capacity_, formatted.size() + 1LL);
        model_ = formatted;
        return "";
      }
      case 9: {
        const std::string formatted = inside_text + "<" + readable(t, -1) + ">";
        subject_.appendfmt("%s<%s>", inside, t);
        capacity_ = grown(capacity_, length + 1LL + formatted.size());
        model_ += formatted;
        return "";
      }
      case 10:
        if (count % 2) {
          subject_.tolower();
          model_ = ascii_lower(model_);
        } else {
          subject_.toupper();
          for (char& c : model_) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
        }
        return "";
      case 11: {
        const std::string other = readable(t, count > 0 ? count : -1);
        const std::string mine = count > 0 ? model_.substr(0, static_cast<size_t>(count)) : model_;
        const int expected = count == 0 ? (length > 0) : sign(mine.compare(other));
        if (sign(subject_.cmp(t, count)) != expected) return "cmp";
        const int folded = count == 0 ? 0 : sign(ascii_lower(mine).compare(ascii_lower(other)));
        return check(sign(subject_.casecmp(t, count)) == folded, "casecmp");
      }
      case 12: {
        const std::string needle = readable(t, -1);
        const auto index = [](size_t found) { return found == std::string::npos ? -1 : static_cast<int>(found); };
        const bool none = model_.empty() || needle.empty();
        if (subject_.findstr(t) != (none ? -1 : index(model_.find(needle)))) return "findstr";
        if (subject_.findcasestr(t) != (none ? -1 : index(ascii_lower(model_).find(ascii_lower(needle))))) {
          return "findcasestr";
        }
        const int accepted = none ? 0 : index(model_.find_first_not_of(needle));
        if (subject_.countaccept(t) != (accepted < 0 ? length : accepted)) return "countaccept";
        const int rejected = none ? 0 : index(model_.find_first_of(needle));
        if (subject_.countreject(t) != (rejected < 0 ? length : rejected)) return "countreject";
        const char wanted = text.empty() ? '\0' : text[0];
        const int found = length == 0 ? -1 : wanted == '\0' ? length : index(model_.find(wanted));
        return check(subject_.findchar(wanted) == found, "findchar");
      }
      case 13: {
        const int size = in.in_range(-1, std::min(2 * capacity_ + 2, 1 << 14));
        const int result = subject_.reserve(size);
        if (size >= 1) capacity_ = grown(capacity_, size);
        return check(result == (size < 1 ? -1 : capacity_), "reserve result");
      }
      case 14: {
        const mvc::MStr copy(subject_);
        if (!same(copy, model_, length + 1)) return "copy";
        mvc::MStr other(t, count);
        other = subject_;
        return check(other.length() == length && other.cmp(subject_) == 0, "operator=");
      }
      default: {
        const int scanned = std::min(count < 0 ? 0 : count, static_cast<int>(std::strlen(t)));
        std::string expected = text.substr(0, static_cast<size_t>(scanned));
        while (!expected.empty() && space_byte(expected.back())) expected.pop_back();
        expected.erase(0, std::min(expected.size(), expected.find_first_not_of("\b\t\n\f\r ")));
        if (mvc::MStr::trim(t, scanned).cmp(expected.c_str()) != 0) return "trim";
        return check(subject_[position] == (position >= 0 && position < length ? model_[position] : '\0'),
                     "operator[]");
      }
    }
  }

  mvc::MStr subject_;
  std::string model_;
  int capacity_ = 1;
};

}  // namespace hxtest
