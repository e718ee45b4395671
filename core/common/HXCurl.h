// SPDX-License-Identifier: Apache-2.0
/// @class HXCurl HXCurl.h <hxcore/HXCurl.h>
/// Fetches a URL's body into memory over libcurl, and counts libcurl's global set-up.
///
/// Static members only. The caller creates and owns the libcurl easy handle; `get_data_from_url`
/// sets fixed options on it (they stay on the handle), performs the transfer and returns the
/// body in a buffer the caller then owns. The buffer comes from the C allocator (malloc and
/// realloc): release it with `free`, never `delete` or `delete[]`. `HXCurl::free_data` calls the
/// library's own `free`, for a client built against another C runtime.
/// Thread-safe: fetches on different handles may run at once; one handle serves one fetch at a
/// time. The global init and deinit calls are serialised by `curl_mutex_`.
/// Failures: any libcurl error gives null, `size` 0 and one error record naming the URL and
/// libcurl's code; a failure to lock `curl_mutex_` throws std::system_error.
/// Protocols and redirects: the library restricts neither beyond the caller's own handle
/// options. Any scheme the client's libcurl supports (file://, ftp://, ...) is fetched, and
/// redirects are followed if the caller turned CURLOPT_FOLLOWLOCATION on. A client that fetches
/// URLs it did not write itself restricts them on the handle before the call, for example
/// `curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "https")` and
/// `curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "https")`. Example:
/// @code
///   HXCurl::global_init_curl(); CURL* h = curl_easy_init(); int size = 0;
///   char* body = HXCurl::get_data_from_url(h, url, size, 1); free(body);
/// @endcode
#pragma once

#include <mutex>

#include "hxcore_export.h"

class HXCORE_API HXCurl {
 public:
  /// Fetches `url` on the caller's easy handle `curl` (a `CURL*` of <curl/curl.h> in any of
  /// libcurl's configurations: this header declares no libcurl type) and returns the body,
  /// followed by at least one zero byte, or null. `url` must be a writable zero-terminated text:
  /// it is cut in place at its first carriage return (a lone line feed is left alone). The options
  /// set here are the URL, the write callback and its target, the user agent "Mozilla/5.0 (Windows
  /// NT 6.1; WOW64; rv:13.0) Gecko/20100101 Firefox/13.0.1", no signals, no certificate or
  /// host-name check, 5 s to connect and 8 s in all; options the caller set before stay in force
  /// (redirects are not followed unless the caller asked for it). HTTP status codes are not
  /// examined: an error page or a redirect response is returned like any body. `type` picks what
  /// `size` receives on success: 1 or 3 the body's length, 2 the constant 16, any other value
  /// leaves `size` as it was. On failure `size` is 0 whatever the type. A body that would not fit
  /// below 2^31 bytes with its zero is refused as a failure, so a successful length always fits
  /// `size`. A null `url` or `curl` fails like a libcurl error. Whichever way the call ends, the
  /// handle is left with a write callback that refuses all data and points at nothing of the call:
  /// performing it directly afterwards fails with CURLE_WRITE_ERROR; another `get_data_from_url`
  /// sets its own options again.
  static char* get_data_from_url(void* curl, char* url, int& size, int type);

  /// Releases a buffer returned by `get_data_from_url` with the library's `free`; null is
  /// accepted and ignored. Calling `free` directly does the same.
  static void free_data(char* data);

  /// Counts up; the call that finds the count at 0 initialises libcurl (every global part).
  static void global_init_curl();

  /// Counts down; the call that brings the count from 1 to 0 cleans libcurl up. An unmatched
  /// call drives the count below 0, and the next init then only brings it back to 0.
  static void global_deinit_curl();

  /// `global_init_curl` calls not yet matched by `global_deinit_curl`; read it under
  /// `curl_mutex_`, and change it only through the two calls above.
  static int curl_reference_count_;
  /// Guards the count and libcurl's global initialisation and clean-up.
  static std::mutex curl_mutex_;
};
