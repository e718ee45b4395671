// SPDX-License-Identifier: Apache-2.0
// Fetching into memory over libcurl, the receive buffer, and libcurl's counted global set-up.
#include "HXCurl.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "detail/log.h"
#include "detail/openssl_crypto.h"
#include "detail/os_memory.h"
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

}  // namespace

namespace hxcore::detail {

uint64_t capacity_for_append(uint64_t capacity, uint64_t length, uint64_t n) {
  if (n >= kReceiveStep) return 0;
  const uint64_t needed = length + 1 + n;
  if (needed <= capacity) return capacity;
  if (needed > kReceiveCapacityLimit) return 0;
  // Half as much again in whole steps: at least one step more, which a chunk smaller than a
  // step and the zero after the data always fit in.
  const uint64_t grown = (capacity + capacity / 2 + kReceiveStep - 1) / kReceiveStep * kReceiveStep;
  return std::min(grown, kReceiveCapacityLimit);
}

ReceiveBuffer::ReceiveBuffer()
    : data_(static_cast<char*>(std::calloc(kReceiveStep, 1))),
      capacity_(kReceiveStep),
      length_(0),
      backed_(kBackAhead) {
  if (data_ == nullptr) throw std::bad_alloc();
}

ReceiveBuffer::~ReceiveBuffer() { std::free(data_); }

bool ReceiveBuffer::append(const char* bytes, size_t n) {
  const uint64_t needed = capacity_for_append(capacity_, length_, n);
  if (needed == 0 || (needed != capacity_ && !reallocate(needed))) return false;
  if (length_ + n >= backed_) {
    backed_ = std::min(capacity_, length_ + n + kBackAhead);
    os_back_for_writing(data_ + length_, backed_ - length_);
  }
  std::memcpy(data_ + length_, bytes, n);
  length_ += n;
  data_[length_] = '\0';
  return true;
}

char* ReceiveBuffer::release() {
  const uint64_t whole_steps = (length_ + kReceiveStep) / kReceiveStep * kReceiveStep;
  if (whole_steps < capacity_) reallocate(whole_steps);  // else the larger block is kept
  std::memset(data_ + length_, 0, capacity_ - length_);
  char* data = data_;
  data_ = nullptr;
  capacity_ = 0;
  length_ = 0;
  return data;
}

bool ReceiveBuffer::reallocate(uint64_t capacity) {
  char* moved = static_cast<char*>(std::realloc(data_, capacity));
  if (moved == nullptr) return false;
  data_ = moved;
  capacity_ = capacity;
  return true;
}

size_t receive_chunk(char* bytes, size_t size, size_t count, void* buffer) {
  if (count != 0 && size > std::numeric_limits<size_t>::max() / count) return 0;
  const size_t n = size * count;
  // Allocation failure is reported as a refused chunk rather than thrown through libcurl's
  // C frames: the fetch then fails with the write error and its record.
  return static_cast<ReceiveBuffer*>(buffer)->append(bytes, n) ? n : 0;
}

}  // namespace hxcore::detail

int HXCurl::curl_reference_count_ = 0;
std::mutex HXCurl::curl_mutex_;

char* HXCurl::get_data_from_url(void* curl, char* url, int& size, int type) {
  if (url != nullptr) cut_at_carriage_return(url);
  hxcore::detail::ReceiveBuffer buffer;

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
    hxcore::detail::initOpenSsl();
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
