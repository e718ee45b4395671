// SPDX-License-Identifier: Apache-2.0
// HXUrl: construction, copying, the lazy flags, getters and setters.
#include "HXUrl.h"

#include <utility>

#include "detail/ascii.h"
#include "detail/url_chars.h"
#include "detail/url_forms.h"

namespace {

constexpr std::size_t kMaxHost = 253;
constexpr std::size_t kMaxUserInfo = 256;
constexpr std::size_t kMaxFragment = 256;
constexpr std::size_t kMaxPath = 8000;

std::string quoted(const char* words, const std::string& argument) {
  return words + ("'" + argument + "'");
}

// Stores `value` in `field` unless it is there already; true when it changed.
template <class Value>
bool replace(Value& field, Value value) {
  if (field == value) return false;
  field = std::move(value);
  return true;
}

[[noreturn]] void throw_bad_index(std::size_t index) {
  throw std::out_of_range("Invalid Url query index (" + std::to_string(index) + ")");
}

}  // namespace

HXUrl::parse_error::parse_error(const std::string& reason) : std::invalid_argument(reason) {}
HXUrl::parse_error::~parse_error() = default;
HXUrl::build_error::build_error(const std::string& reason) : std::runtime_error(reason) {}
HXUrl::build_error::~build_error() = default;

HXUrl::HXUrl() : parsed_(true), built_(true), ip_version_(-1) {}

HXUrl::HXUrl(const std::string& url) : url_(url), parsed_(false), built_(false), ip_version_(-1) {}

HXUrl::HXUrl(const HXUrl& other) : parsed_(false), built_(false), ip_version_(-1) { assign(other); }

HXUrl::HXUrl(HXUrl&& other) noexcept : parsed_(false), built_(false), ip_version_(-1) {
  assign(std::move(other));
}

HXUrl& HXUrl::operator=(const HXUrl& other) {
  assign(other);
  return *this;
}

HXUrl& HXUrl::operator=(HXUrl&& other) noexcept {
  assign(std::move(other));
  return *this;
}

HXUrl& HXUrl::operator=(const std::string& url) { return str(url); }

HXUrl::~HXUrl() = default;

// A source still holding unparsed text hands over its text and flags only; a
// parsed source whose text is stale hands over its components only. Assigning
// an object to itself changes nothing.
void HXUrl::assign(const HXUrl& other) {
  if (this == &other) return;
  parsed_ = other.parsed_;
  built_ = other.built_;
  if (other.parsed_) {
    scheme_ = other.scheme_;
    user_info_ = other.user_info_;
    host_ = other.host_;
    ip_version_ = other.ip_version_;
    port_ = other.port_;
    path_ = other.path_;
    query_ = other.query_;
    fragment_ = other.fragment_;
  }
  if (!other.parsed_ || other.built_) url_ = other.url_;
}

void HXUrl::assign(HXUrl&& other) {
  if (this == &other) return;
  parsed_ = other.parsed_;
  built_ = other.built_;
  if (other.parsed_) {
    scheme_ = std::move(other.scheme_);
    user_info_ = std::move(other.user_info_);
    host_ = std::move(other.host_);
    ip_version_ = other.ip_version_;
    port_ = std::move(other.port_);
    path_ = std::move(other.path_);
    query_ = std::move(other.query_);
    fragment_ = std::move(other.fragment_);
  }
  if (!other.parsed_ || other.built_) url_ = std::move(other.url_);
}

std::string HXUrl::str() const {
  if (!built_) build_url();
  return url_;
}

HXUrl& HXUrl::str(const std::string& url) {
  url_ = url;
  parsed_ = false;
  built_ = false;
  return *this;
}

void HXUrl::reset() const {
  url_.clear();
  scheme_.clear();
  user_info_.clear();
  host_.clear();
  port_.clear();
  path_.clear();
  query_.clear();
  fragment_.clear();
  parsed_ = true;
  built_ = true;
  ip_version_ = -1;
}

HXUrl& HXUrl::clear() {
  reset();
  return *this;
}

void HXUrl::lazy_parse() const {
  if (!parsed_) parse_url();
}

const std::string& HXUrl::scheme() const {
  lazy_parse();
  return scheme_;
}

const std::string& HXUrl::user_info() const {
  lazy_parse();
  return user_info_;
}

const std::string& HXUrl::host() const {
  lazy_parse();
  return host_;
}

signed char HXUrl::ip_version() const {
  lazy_parse();
  return ip_version_;
}

const std::string& HXUrl::port() const {
  lazy_parse();
  return port_;
}

const std::string& HXUrl::path() const {
  lazy_parse();
  return path_;
}

const std::vector<HXUrl::KeyVal>& HXUrl::query() const {
  lazy_parse();
  return query_;
}

const HXUrl::KeyVal& HXUrl::query(std::size_t index) const {
  lazy_parse();
  if (index >= query_.size()) throw_bad_index(index);
  return query_[index];
}

const std::string& HXUrl::fragment() const {
  lazy_parse();
  return fragment_;
}

HXUrl& HXUrl::scheme(const std::string& scheme) {
  if (!hxcore::detail::valid_scheme(scheme)) throw parse_error(quoted("Invalid scheme ", scheme));
  lazy_parse();
  if (replace(scheme_, hxcore::detail::ascii_str_to_lower(scheme))) {
    built_ = false;
    if (hxcore::detail::is_default_port(scheme_, port_)) port_.clear();
  }
  return *this;
}

HXUrl& HXUrl::user_info(const std::string& user_info) {
  if (user_info.size() > kMaxUserInfo) {
    throw parse_error(quoted("User info is longer than 256 characters ", user_info));
  }
  lazy_parse();
  if (replace(user_info_, user_info)) built_ = false;
  return *this;
}

HXUrl& HXUrl::host(const std::string& host, unsigned char ip_v) {
  using namespace hxcore::detail;
  if (host.size() > kMaxHost) throw parse_error(quoted("Host is longer than 253 characters ", host));
  lazy_parse();
  std::string new_host;
  signed char new_kind = -1;
  if (host.empty()) {
    // no host, whatever the version says
  } else if (looks_like_ipv4(host)) {
    if (!is_ipv4(host)) throw parse_error(quoted("Invalid IPv4 address ", host));
    new_host = host;
    new_kind = 4;
  } else if (ip_v != 0 && ip_v != 4 && ip_v != 6) {
    if (!ipv6_chars(host)) throw parse_error(quoted("Invalid IPvFuture address ", host));
    new_host = host;
    new_kind = static_cast<signed char>(ip_v);
  } else if (ipv6_chars(host)) {
    if (!is_ipv6(host)) throw parse_error(quoted("Invalid IPv6 address ", host));
    new_host = normalize_ipv6(host);
    new_kind = 6;
  } else {
    if (!all_admitted(host, kHostChars)) throw parse_error(quoted("Invalid host ", host));
    new_host = ascii_str_to_lower(host);
    new_kind = 0;
  }
  if (new_host != host_ || new_kind != ip_version_) {
    host_ = std::move(new_host);
    ip_version_ = new_kind;
    built_ = false;
  }
  return *this;
}

HXUrl& HXUrl::port(const std::string& port) {
  if (!hxcore::detail::valid_port(port)) throw parse_error(quoted("Invalid port ", port));
  lazy_parse();
  if (replace(port_, hxcore::detail::is_default_port(scheme_, port) ? std::string() : port)) built_ = false;
  return *this;
}

HXUrl& HXUrl::port(unsigned short port) { return this->port(std::to_string(port)); }

HXUrl& HXUrl::path(const std::string& path) {
  if (path.size() > kMaxPath) throw parse_error(quoted("Path is longer than 8000 characters ", path));
  lazy_parse();
  if (replace(path_, hxcore::detail::normalize_path(path))) built_ = false;
  return *this;
}

HXUrl& HXUrl::fragment(const std::string& fragment) {
  if (fragment.size() > kMaxFragment) {
    throw parse_error(quoted("Fragment is longer than 256 characters ", fragment));
  }
  lazy_parse();
  if (replace(fragment_, fragment)) built_ = false;
  return *this;
}

HXUrl& HXUrl::set_query(const std::vector<KeyVal>& query) {
  lazy_parse();
  if (replace(query_, query)) built_ = false;
  return *this;
}

std::vector<HXUrl::KeyVal>& HXUrl::set_query() {
  lazy_parse();
  built_ = false;
  return query_;
}

HXUrl::KeyVal& HXUrl::set_query(std::size_t index) {
  lazy_parse();
  if (index >= query_.size()) throw_bad_index(index);
  built_ = false;
  return query_[index];
}

HXUrl& HXUrl::add_query(const std::string& key, const std::string& val) { return add_query(KeyVal(key, val)); }

HXUrl& HXUrl::add_query(const std::string& key) { return add_query(KeyVal(key)); }

HXUrl& HXUrl::add_query(const KeyVal& entry) {
  lazy_parse();
  query_.push_back(entry);
  built_ = false;
  return *this;
}
