// HXUrl's builder, which writes the components back as percent-encoded text,
// and its one-line diagnostic print.
#include <ostream>

#include "HXUrl.h"
#include "detail/url_chars.h"
#include "detail/url_codec.h"
#include "detail/url_forms.h"

namespace {

using namespace hxcore::detail;

constexpr char kLowerHexDigits[] = "0123456789abcdef";

// The IPvFuture version in lower-case hex. A version byte of 128 to 255 given
// to `host` is stored negative and written as the hex of that negative int
// (ffffff80 for 128); such a text does not parse back.
void append_version(std::string& out, signed char kind) {
  auto value = static_cast<unsigned>(static_cast<int>(kind));
  char digits[8];
  int count = 0;
  do {
    digits[count++] = kLowerHexDigits[value & 0xFu];
    value >>= 4;
  } while (value != 0);
  while (count > 0) out += digits[--count];
}

}  // namespace

// Refusals are all decided before the text is touched, so a refused build
// keeps the previous text and the new one reuses its buffer.
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
  for (std::size_t i = 0; i < query_.size(); ++i) {
    if (query_[i].key().empty()) throw build_error(i == 0 ? "First query entry has no key" : "A query entry has no key");
  }

  std::string& out = url_;
  out.clear();
  if (!scheme_.empty()) {
    out += scheme_;
    out += ':';
  }
  if (!host_.empty()) {
    out += "//";
    if (!user_info_.empty()) {
      append_encoded(out, user_info_, kUserInfoWriteChars);
      out += '@';
    }
    if (ip_version_ == 0 || ip_version_ == 4) {
      out += host_;
    } else if (ip_version_ == 6) {
      out += '[';
      out += host_;
      out += ']';
    } else {
      out += "[v";
      append_version(out, ip_version_);
      out += '.';
      out += host_;
      out += ']';
    }
    if (!port_.empty() && !is_default_port(scheme_, port_)) {
      out += ':';
      out += port_;
    }
  }
  append_encoded(out, path_, kPathWriteChars);
  for (std::size_t i = 0; i < query_.size(); ++i) {
    out += i == 0 ? '?' : '&';
    append_query_key(out, query_[i].key());
    if (!query_[i].val().empty()) {
      out += '=';
      append_query_val(out, query_[i].val());
    }
  }
  if (!fragment_.empty()) {
    out += '#';
    append_encoded(out, fragment_, kQueryWriteChars);
  }
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
