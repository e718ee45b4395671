// SPDX-License-Identifier: Apache-2.0
// Address checks, the IPv6 normal form and the path normalisation.
#include "detail/url_forms.h"

#include <cstdint>
#include <cstring>

#include "HXUrl.h"
#include "detail/ascii.h"
#include "detail/hex.h"

namespace hxcore::detail {

namespace {

constexpr std::size_t kMaxIpv6Text = 39;
constexpr int kIpv6Groups = 8;
constexpr int kGroupsBeforeIpv4Tail = 6;

[[noreturn]] void throw_bad_ipv6(std::string_view quoted) {
  std::string message = "IPv6 [";
  message.append(quoted.data(), quoted.size());
  message += "] is invalid";
  throw HXUrl::parse_error(message);
}

// Only an empty segment before the last, or one that starts with '.', can
// change; a path without "//", "/." and a leading '.' is already normal.
bool may_change(const std::string& path) {
  if (path[0] == '.') return true;
  for (std::size_t i = 1; i < path.size(); ++i) {
    if (path[i - 1] == '/' && (path[i] == '/' || path[i] == '.')) return true;
  }
  return false;
}

}  // namespace

bool is_ipv4(std::string_view text) {
  const std::size_t n = text.size();
  std::size_t i = 0;
  for (int octet = 0; octet < 4; ++octet) {
    if (i >= n || !ascii_isdigit(text[i])) return false;
    if (text[i] == '0') {
      ++i;  // a '0' is the whole octet
    } else {
      const std::size_t start = i;
      unsigned value = 0;
      while (i < n && ascii_isdigit(text[i])) {
        if (i - start == 3) return false;  // four digits are 1000 or more
        value = value * 10 + static_cast<unsigned>(text[i] - '0');
        ++i;
      }
      if (value > 255) return false;
    }
    if (octet < 3) {
      if (i + 1 >= n || text[i] != '.') return false;
      ++i;
    }
  }
  return i == n;
}

bool valid_scheme(std::string_view text) {
  if (text.empty() || !ascii_isalpha(text[0])) return false;
  for (char c : text.substr(1)) {
    if (!ascii_isalpha(c) && !ascii_isdigit(c) && c != '+' && c != '-' && c != '.') return false;
  }
  return true;
}

bool looks_like_ipv4(std::string_view text) {
  if (text.size() < 7 || text.size() > 254) return false;
  for (char c : text) {
    if (!ascii_isdigit(c) && c != '.') return false;
  }
  return true;
}

bool valid_port(std::string_view text) {
  if (text.empty() || text.size() > 5) return false;  // six digits are 100000 or more
  if (text[0] == '0') return text.size() == 1;
  unsigned value = 0;
  for (char c : text) {
    if (!ascii_isdigit(c)) return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  return value <= 65535;
}

bool is_default_port(std::string_view scheme, std::string_view port) {
  return (scheme == "http" && port == "80") || (scheme == "https" && port == "443");
}

bool ipv6_chars(std::string_view text) {
  if (text.size() < 2 || text.size() > 254) return false;
  for (char c : text) {
    if (hex_value(c) < 0 && c != ':' && c != '.') return false;
  }
  return true;
}

bool is_ipv6_literal(std::string_view text) {
  const std::size_t n = text.size();
  if (n < 2) return false;
  std::size_t i = 0;
  bool gap = false;
  if (text[0] == ':') {
    if (text[1] != ':') return false;
    if (n == 2) return true;
    gap = true;
    i = 2;
  }
  int groups = 0;
  int digits = 0;
  std::size_t group_start = i;
  for (; i < n; ++i) {
    const char c = text[i];
    if (hex_value(c) >= 0) {
      if (++digits > 4) return false;
    } else if (c == ':') {
      if (digits > 0) {
        ++groups;
        digits = 0;
      } else if (gap) {
        return false;  // a second "::", or ":::"
      } else {
        gap = true;
      }
      group_start = i + 1;
    } else if (c == '.') {
      if (!is_ipv4(text.substr(group_start))) return false;
      return gap ? groups <= kGroupsBeforeIpv4Tail : groups == kGroupsBeforeIpv4Tail;
    } else {
      return false;
    }
  }
  if (digits > 0) {
    ++groups;
  } else if (text[n - 2] != ':') {
    return false;  // ends in a single ':'
  }
  return gap ? groups < kIpv6Groups : groups == kIpv6Groups;
}

bool is_ipv6(std::string_view text) { return text.size() <= kMaxIpv6Text && is_ipv6_literal(text); }

// Only complete addresses are converted: whatever `is_ipv6_literal` refuses (a
// ninth group, five digits, a second "::", a misplaced '.') is refused here
// with the same message rather than given some partial form.
std::string normalize_ipv6(std::string_view text) {
  if (!ipv6_chars(text)) throw_bad_ipv6(text);
  if (text == "::") return "::";
  if (!is_ipv6_literal(text)) {
    throw_bad_ipv6(text.back() == ':' ? text.substr(0, text.size() - 1) : text);
  }

  std::uint16_t read[kIpv6Groups] = {};
  int count = 0;
  int gap_at = -1;
  std::string_view tail;
  std::size_t i = 0;
  if (text[0] == ':') {
    gap_at = 0;
    i = 2;
  }
  while (i < text.size()) {
    std::size_t end = i;
    std::uint16_t group = 0;
    bool dotted = false;
    for (; end < text.size() && text[end] != ':'; ++end) {
      dotted = dotted || text[end] == '.';
      group = static_cast<std::uint16_t>(group * 16 + hex_value(text[end]));
    }
    if (dotted) {
      tail = text.substr(i);
      break;
    }
    if (end == i) {
      gap_at = count;
    } else {
      read[count++] = group;
    }
    i = end + 1;
  }

  const int expected = tail.empty() ? kIpv6Groups : kGroupsBeforeIpv4Tail;
  std::uint16_t groups[kIpv6Groups] = {};
  const int moved = gap_at < 0 ? 0 : count - gap_at;
  for (int k = 0; k < count - moved; ++k) groups[k] = read[k];
  for (int k = 0; k < moved; ++k) groups[expected - moved + k] = read[count - moved + k];

  int run_start = -1;
  int run_length = 1;  // a single zero group is no run
  for (int k = 0; k < expected;) {
    int end = k;
    while (end < expected && groups[end] == 0) ++end;
    if (end - k > run_length) {
      run_start = k;
      run_length = end - k;
    }
    k = end == k ? k + 1 : end;
  }

  // Eight groups of four digits and seven colons at most; a tail follows six
  // groups and fits in the text it came from.
  char out[kMaxIpv6Text + 1];
  char* end = out;
  for (int k = 0; k < expected;) {
    if (k == run_start) {
      *end++ = ':';
      *end++ = ':';
      k += run_length;
      continue;
    }
    if (end != out && end[-1] != ':') *end++ = ':';
    end = write_lower_hex(end, groups[k]);
    ++k;
  }
  std::string normal(out, end);
  if (!tail.empty()) {
    // A zero run just before the tail already ends in "::": no third colon.
    if (normal.back() != ':') normal += ':';
    normal.append(tail.data(), tail.size());
  }
  return normal;
}

void normalize_path_in_place(std::string& path) {
  if (path.empty() || !may_change(path)) return;
  const std::size_t root = path[0] == '/' ? 1 : 0;
  const std::size_t n = path.size();
  std::size_t write = root;  // never beyond the segment being read
  std::size_t kept = 0;

  auto keep = [&](std::size_t from, std::size_t length) {
    if (kept > 0) path[write++] = '/';
    if (from != write) std::memmove(&path[0] + write, path.data() + from, length);
    write += length;
    ++kept;
  };
  auto drop_last_kept = [&] {
    if (kept == 0) return;
    write = --kept == 0 ? root : path.rfind('/', write - 1);
  };

  std::size_t read = 0;
  for (;;) {
    std::size_t end = read;
    while (end < n && path[end] != '/') ++end;
    const bool last = end == n;
    const std::size_t length = end - read;
    const bool dot = length == 1 && path[read] == '.';
    const bool dot_dot = length == 2 && path[read] == '.' && path[read + 1] == '.';
    if (dot_dot) {
      drop_last_kept();
    } else if (last) {
      keep(read, dot ? 0 : length);
    } else if (length > 0 && !dot) {
      keep(read, length);
    }
    if (last) break;
    read = end + 1;
  }
  path.resize(write);
}

std::string normalize_path(std::string_view path) {
  std::string normal(path);
  normalize_path_in_place(normal);
  return normal;
}

}  // namespace hxcore::detail
