// SPDX-License-Identifier: Apache-2.0
/// @class HXUrl HXUrl.h <hxcore/HXUrl.h>
/// One URL held as text and as seven canonical components side by side.
///
/// Text given to the object is split into scheme, user info, host, port, path,
/// query entries and fragment only when a component is first read or changed;
/// the text is rebuilt, percent-encoded, only when it is asked for. Setters
/// validate and store canonical forms (lower-case scheme and host name, IPv6
/// normal form, path without dot segments, default port dropped). A plain value
/// class: copies are deep. Not thread-safe, not even for const calls, which
/// parse and build into the object. Failures throw: `HXUrl::parse_error` for a
/// refused argument or text, `HXUrl::build_error` for components with no text
/// form, `std::out_of_range` for a bad query index; a refusal changes no
/// component.
/// Example:
/// @code
///   HXUrl url("HTTP://Example.com:80/a/./b?x=1");
///   url.add_query("y", "2 3");   // url.str() == "http://example.com/a/b?x=1&y=2+3"
/// @endcode
#pragma once

#include <cstddef>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "hxcore_export.h"

class HXUrl {
 public:
  /// One query entry, key and value percent-decoded: read with `key()` and
  /// `val()`, changed with `key(k)` and `val(v)`, which chain. Equal when both
  /// key and value are equal byte for byte. An empty key may be stored; only
  /// building the text refuses it.
  class KeyVal {
   public:
    /// An entry of `key` with an empty value.
    KeyVal(std::string key) : key_(std::move(key)) {}  // NOLINT: {"k"} in lists
    /// An entry of `key` and `val`, both taken as they are (decoded text).
    KeyVal(std::string key, std::string val) : key_(std::move(key)), val_(std::move(val)) {}

    /// The key; the reference stays valid until the entry changes.
    const std::string& key() const { return key_; }
    /// Replaces the key; returns this entry.
    KeyVal& key(const std::string& key) {
      key_ = key;
      return *this;
    }
    /// The value; the reference stays valid until the entry changes.
    const std::string& val() const { return val_; }
    /// Replaces the value; returns this entry.
    KeyVal& val(const std::string& val) {
      val_ = val;
      return *this;
    }

    /// True when key and value are equal byte for byte.
    bool operator==(const KeyVal& other) const { return key_ == other.key_ && val_ == other.val_; }
    /// False when key and value are equal byte for byte.
    bool operator!=(const KeyVal& other) const { return !(*this == other); }

   private:
    std::string key_;
    std::string val_;
  };

  /// A refused setter argument, URL text or percent escape.
  class HXCORE_API parse_error : public std::invalid_argument {
   public:
    /// `what()` returns `reason`, which quotes the refused input.
    explicit parse_error(const std::string& reason);
    ~parse_error() override;
  };

  /// Components that have no text form (a port without host, a query entry
  /// without key...).
  class HXCORE_API build_error : public std::runtime_error {
   public:
    /// `what()` returns `reason`, which names the component set refused.
    explicit build_error(const std::string& reason);
    ~build_error() override;
  };

  /// An empty URL: `str()` is "" and every component empty, `ip_version()` -1.
  HXCORE_API HXUrl();
  /// Keeps `url` as it is; it is checked and split at the first use that needs
  /// the components, which throws `parse_error` for a bad text, and again at
  /// every later use until new text is assigned or `clear()` is called.
  HXCORE_API HXUrl(const std::string& url);  // NOLINT: a URL converts from its text
  /// A deep copy: the text, and the components once parsed. Never throws
  /// `parse_error`: a pending text is copied unchecked.
  HXCORE_API HXUrl(const HXUrl& other);
  /// Takes over `other`'s text and components; `other` stays valid but holds
  /// unspecified values until assigned or cleared.
  HXCORE_API HXUrl(HXUrl&& other) noexcept;
  /// As the copy constructor; assigning a URL to itself changes nothing.
  HXCORE_API HXUrl& operator=(const HXUrl& other);
  /// As the move constructor; assigning a URL to itself changes nothing.
  HXCORE_API HXUrl& operator=(HXUrl&& other) noexcept;
  /// Same as `str(url)`.
  HXCORE_API HXUrl& operator=(const std::string& url);
  HXCORE_API ~HXUrl();

  /// The URL text, built again from the components whenever they were parsed
  /// or changed (a default port and a lone '?' are left out, ';' between query
  /// entries comes back as '&'). Throws `parse_error` for a bad pending text and
  /// `build_error` for components without text form; both leave the object as
  /// it was.
  HXCORE_API std::string str() const;
  /// Replaces the text; the components stay until the next use parses it.
  HXCORE_API HXUrl& str(const std::string& url);

  /// Writes the one-line diagnostic form, e.g.
  /// Url:{url(a:b) scheme(a) path(b)}; throws as `str()` before writing.
  HXCORE_API std::ostream& output(std::ostream& os) const;

  /// Empties the text and every component; `ip_version()` becomes -1.
  HXCORE_API HXUrl& clear();

  ///@{
  /// A component as stored (decoded, canonical). Every getter parses pending
  /// text first (throwing `parse_error` for a bad one); the reference stays
  /// valid until the URL next changes or is destroyed.
  HXCORE_API const std::string& scheme() const;
  HXCORE_API const std::string& user_info() const;
  HXCORE_API const std::string& host() const;
  /// -1 no host, 0 registered name (also an empty host after "//"), 4 IPv4,
  /// 6 IPv6, any other value the version of an IPvFuture host.
  HXCORE_API signed char ip_version() const;
  HXCORE_API const std::string& port() const;
  HXCORE_API const std::string& path() const;
  HXCORE_API const std::vector<KeyVal>& query() const;
  /// Throws `std::out_of_range` "Invalid Url query index (N)" when `index` is
  /// at or beyond the number of entries.
  HXCORE_API const KeyVal& query(std::size_t index) const;
  HXCORE_API const std::string& fragment() const;
  ///@}

  /// @name Setters
  /// Each setter checks its argument before anything else and throws
  /// `parse_error` quoting it; a value equal to the stored one changes nothing.
  /// Each returns this URL, so calls chain.
  ///@{

  /// Letters, digits, '+', '-', '.', starting with a letter; stored lower-case.
  /// Turning the scheme into http with port 80 (https with 443) drops the port.
  HXCORE_API HXUrl& scheme(const std::string& scheme);
  /// At most 256 bytes, any bytes (escaped when written).
  HXCORE_API HXUrl& user_info(const std::string& user_info);
  /// At most 253 bytes. "" removes the host. 7+ digits and dots must be an
  /// IPv4 address; with `ip_v` other than 0, 4 or 6 the text is the body of an
  /// IPvFuture address of that version; otherwise text of hex digits, ':' and
  /// '.' must be an IPv6 address (stored in normal form) and anything else a
  /// registered name (stored lower-case). `ip_v` defaults to 0, automatic
  /// detection; a version above 15 has no text that parses back.
  HXCORE_API HXUrl& host(const std::string& host, unsigned char ip_v = 0);
  /// Decimal 0 to 65535 without leading zeros; never empty. 80 under http and
  /// 443 under https are stored as no port.
  HXCORE_API HXUrl& port(const std::string& port);
  /// @overload
  HXCORE_API HXUrl& port(unsigned short port);
  /// At most 8000 bytes, any bytes; stored without "." and ".." segments and
  /// without empty segments but a last one.
  HXCORE_API HXUrl& path(const std::string& path);
  /// At most 256 bytes, any bytes.
  HXCORE_API HXUrl& fragment(const std::string& fragment);
  ///@}

  /// Replaces the whole query; nothing is checked until the text is built.
  HXCORE_API HXUrl& set_query(const std::vector<KeyVal>& query);
  /// Hand out the entries for change; the next text always reflects them.
  /// The indexed form throws `std::out_of_range` as `query(index)`.
  HXCORE_API std::vector<KeyVal>& set_query();
  /// @overload
  HXCORE_API KeyVal& set_query(std::size_t index);
  /// Append one entry (the value empty for the key-only form).
  HXCORE_API HXUrl& add_query(const std::string& key, const std::string& val);
  /// @overload
  HXCORE_API HXUrl& add_query(const std::string& key);
  /// @overload
  HXCORE_API HXUrl& add_query(const KeyVal& entry);

 private:
  void lazy_parse() const;
  void parse_url() const;
  void build_url() const;
  void reset() const;
  void assign(const HXUrl& other);
  void assign(HXUrl&& other);

  mutable std::string scheme_;
  mutable std::string user_info_;
  mutable std::string host_;
  mutable std::string port_;
  mutable std::string path_;
  mutable std::vector<KeyVal> query_;
  mutable std::string fragment_;
  mutable std::string url_;
  mutable bool parsed_;
  mutable bool built_;
  mutable signed char ip_version_;
};
