// SPDX-License-Identifier: Apache-2.0
// HXUrl's builder, which writes the components back as percent-encoded text,
// and its one-line diagnostic print.
#include <ostream>
#include <string_view>

#include "HXUrl.h"
#include "detail/hex.h"
#include "detail/url_chars.h"
#include "detail/url_codec.h"
#include "detail/url_forms.h"

namespace {

using namespace hxcore::detail;


constexpr std::size_t kMaxVersionDigits = 8;  // a negative kind as 32-bit hex

char* write_text(char* out, std::string_view text) {
  text.copy(out, text.size());
  return out + text.size();
}

// The IPvFuture version in lower-case hex. A version byte of 128 to 255 given
// to `host` is stored negative and written as the hex of that negative int
// (ffffff80 for 128); such a text does not parse back.
char* write_version(char* out, signed char kind) {
  return write_lower_hex(out, static_cast<std::uint32_t>(static_cast<int>(kind)));
}

}  // namespace

// Refusals are all decided before the text is touched, so a refused build
// keeps the previous text. The text is written into its own buffer, sized
// first for the longest form every component could take.
void HXUrl::build_url() const {
  lazy_parse();
  if (host_.empty()) {
    if (!user_info_.empty()) throw build_error("User info defined, but host is empty");
    if (!port_.empty()) throw build_error("Port defined, but host is empty");
    const std::size_t first = path_.find_first_of(":/");
    if (first != std::string::npos && path_[first] == ':') {
      throw build_error("The first segment of the relative path can't contain ':'");
    }
  } else if (!path_.empty() && path_[0] != '/') {
    throw build_error("Path must start with '/' when host is not empty");
  }
  std::size_t longest = scheme_.size() + 1 + 2 + user_info_.size() * kMaxEncodedGrowth + 1 + host_.size() +
                        kMaxVersionDigits + 4 + 1 + port_.size() + path_.size() * kMaxEncodedGrowth + 1 +
                        fragment_.size() * kMaxEncodedGrowth;
  for (std::size_t i = 0; i < query_.size(); ++i) {
    if (query_[i].key().empty()) throw build_error(i == 0 ? "First query entry has no key" : "A query entry has no key");
    longest += 2 + (query_[i].key().size() + query_[i].val().size()) * kMaxEncodedGrowth;
  }

  url_.resize(longest);
  char* const begin = &url_[0];
  char* out = begin;
  if (!scheme_.empty()) {
    out = write_text(out, scheme_);
    *out++ = ':';
  }
  if (!host_.empty()) {
    out = write_text(out, "//");
    if (!user_info_.empty()) {
      out = write_encoded(out, user_info_, kUserInfoWriteChars);
      *out++ = '@';
    }
    if (ip_version_ == 0 || ip_version_ == 4) {
      out = write_text(out, host_);
    } else if (ip_version_ == 6) {
      *out++ = '[';
      out = write_text(out, host_);
      *out++ = ']';
    } else {
      out = write_text(out, "[v");
      out = write_version(out, ip_version_);
      *out++ = '.';
      out = write_text(out, host_);
      *out++ = ']';
    }
    if (!port_.empty() && !is_default_port(scheme_, port_)) {
      *out++ = ':';
      out = write_text(out, port_);
    }
  }
  out = write_encoded(out, path_, kPathWriteChars);
  for (std::size_t i = 0; i < query_.size(); ++i) {
    *out++ = i == 0 ? '?' : '&';
    out = write_query_key(out, query_[i].key());
    if (!query_[i].val().empty()) {
      *out++ = '=';
      out = write_query_val(out, query_[i].val());
    }
  }
  if (!fragment_.empty()) {
    *out++ = '#';
    out = write_encoded(out, fragment_, kQueryWriteChars);
  }
  url_.resize(static_cast<std::size_t>(out - begin));
}

std::ostream& HXUrl::output(std::ostream& os) const {
  lazy_parse();
  if (!built_) build_url();
  os << "Url:{url(" << url_ << ")";
  if (!scheme_.empty()) os << " scheme(" << scheme_ << ")";
  if (!user_info_.empty()) os << " user_info(" << user_info_ << ")";
  if (ip_version_ != -1) os << " host(" << host_ << ") IPv(" << static_cast<int>(ip_version_) << ")";
  if (!port_.empty()) os << " port(" << port_ << ")";
  if (!path_.empty()) os << " path(" << path_ << ")";
  if (!query_.empty()) {
    os << " query(";
    for (std::size_t i = 0; i < query_.size(); ++i) {
      if (i > 0) os << ' ';  // the blank after the last entry is left out
      os << "<key(" << query_[i].key() << ") val(" << query_[i].val() << ")>";
    }
    os << ")";
  }
  if (!fragment_.empty()) os << "fragment(" << fragment_ << ") ";
  os << "}";
  return os;
}
