// SPDX-License-Identifier: Apache-2.0
// Fetching into memory over libcurl, and libcurl's counted global set-up.
#include "HXCurl.h"

#include <curl/curl.h>

#include <cstdlib>
#include <cstring>

#include "detail/log.h"
#include "detail/openssl_crypto.h"
#include "detail/receive_buffer.h"

namespace {

constexpr char kUserAgent[] =
    "Mozilla/5.0 (Windows NT 6.1; WOW64; rv:13.0) Gecko/20100101 Firefox/13.0.1";
constexpr long kConnectTimeoutSeconds = 5;
constexpr long kTransferTimeoutSeconds = 8;
// The value `type` 2 writes to `size`, whatever was received.
constexpr int kFixedSizeForType2 = 16;
// Every part of libcurl's global initialisation: SSL and the Windows socket layer.
constexpr long kGlobalInitFlags = 3;
static_assert(kGlobalInitFlags == CURL_GLOBAL_ALL, "libcurl's global flags changed meaning");

// Drops the first '\r' and everything after it by writing the terminator in its place.
void cut_at_carriage_return(char* url) {
  if (char* cr = std::strchr(url, '\r')) *cr = '\0';
}

// The write callback a handle keeps once a fetch is over: it refuses every byte, so a later
// direct perform fails with CURLE_WRITE_ERROR and reaches nothing of the finished call.
size_t refuse_data(char* /*bytes*/, size_t /*size*/, size_t /*count*/, void* /*target*/) {
  return 0;
}

// Leaves `refuse_data`, with no target, on the caller's handle however the fetch ends.
class WriteTargetReset {
 public:
  explicit WriteTargetReset(void* curl) : curl_(curl) {}
  ~WriteTargetReset() {
    curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, &refuse_data);
    curl_easy_setopt(curl_, CURLOPT_WRITEDATA, nullptr);
  }
  WriteTargetReset(const WriteTargetReset&) = delete;
  WriteTargetReset& operator=(const WriteTargetReset&) = delete;

 private:
  void* curl_;
};

}  // namespace

int HXCurl::curl_reference_count_ = 0;
std::mutex HXCurl::curl_mutex_;

char* HXCurl::get_data_from_url(void* curl, char* url, int& size, int type) {
  if (url != nullptr) cut_at_carriage_return(url);
  hxcore::detail::ReceiveBuffer buffer;
  const WriteTargetReset reset(curl);

  // Results are ignored: a bad option surfaces as the transfer's own error.
  curl_easy_setopt(curl, CURLOPT_URL, url);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &hxcore::detail::receive_chunk);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &buffer);
  curl_easy_setopt(curl, CURLOPT_USERAGENT, kUserAgent);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 0L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 0L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, kTransferTimeoutSeconds);

  const CURLcode result = curl_easy_perform(curl);
  if (result != CURLE_OK) {
    size = 0;
    return HX_FAIL(nullptr, "HXCurl::get_data_from_url",
                   "get_data_from_url error,  url =[%s], curl_easy_perform ret=%d",
                   url != nullptr ? url : "", static_cast<int>(result));
  }
  if (type == 1 || type == 3) {
    size = static_cast<int>(buffer.length());
  } else if (type == 2) {
    size = kFixedSizeForType2;
  }
  return buffer.release();
}

void HXCurl::free_data(char* data) { std::free(data); }

void HXCurl::global_init_curl() {
  std::lock_guard<std::mutex> lock(curl_mutex_);
  if (curl_reference_count_ == 0) {
    // libcurl's TLS may be the process's OpenSSL: started here first, it registers
    // no exit handler.
    hxcore::detail::init_openssl();
    curl_global_init(kGlobalInitFlags);
    HX_LOG_DEBUG("HXCurl::global_init_curl", "curl_global_init");
  }
  ++curl_reference_count_;
}

void HXCurl::global_deinit_curl() {
  std::lock_guard<std::mutex> lock(curl_mutex_);
  if (curl_reference_count_-- == 1) {
    curl_global_cleanup();
    HX_LOG_DEBUG("HXCurl::global_deinit_curl", "curl_global_cleanup");
  }
}
