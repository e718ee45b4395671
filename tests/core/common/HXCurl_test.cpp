// SPDX-License-Identifier: Apache-2.0
#define CURL_STRICTER  // libcurl's strictest declarations first: HXCurl.h must compile after them
#include <curl/curl.h>

#include "HXCurl.h"

#include <gtest/gtest.h>
#include <malloc.h>
#ifdef _WIN32
#define malloc_usable_size _msize
#endif

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "detail/receive_buffer.h"
#include "log_capture.h"
#include "loopback_http_server.h"

namespace {

using namespace hxcore::detail;  // the receive buffer
// A client releases a body with the C library's free().
using Body = std::unique_ptr<char, decltype(&std::free)>;

// Many growths and commits ahead (256 KiB each), within the fetch's 8 s under a sanitizer (realloc
// copies every time) and on a loaded machine; Wine's sockets, 10 MB/s or far less under load,
// get a quarter of it.
#ifdef _WIN32
constexpr int kLargeBody = 10 * 1000 * 1000;
#else
constexpr int kLargeBody = 40 * 1000 * 1000;
#endif

std::vector<char> writable(const std::string& text) {
  return std::vector<char>(text.c_str(), text.c_str() + text.size() + 1);
}

std::string failure(const std::string& url, int code) {
  return "(HXCurl::get_data_from_url): get_data_from_url error,  url =[" + url +
         "], curl_easy_perform ret=" + std::to_string(code);
}

// The server's pattern, then the zero the buffer keeps after the data.
bool is_generated_body(const char* data, uint64_t length) {
  for (uint64_t i = 0; i < length; ++i)
    if (data[i] != hxtest::body_byte(i)) return false;
  return data[length] == '\0';
}

class Fetch : public ::testing::Test {
 protected:
  void SetUp() override { HXCurl::global_init_curl(), handle_ = curl_easy_init(); }
  void TearDown() override { curl_easy_cleanup(handle_), HXCurl::global_deinit_curl(); }
  Body fetch(void* handle, char* url, int& size, int type = 1) {
    return Body(HXCurl::get_data_from_url(handle, url, size, type), std::free);
  }
  Body fetch(const std::string& target, int& size, int type = 1) {
    return fetch(handle_, writable(server_.url(target)).data(), size, type);
  }

  CURL* handle_ = nullptr;
  hxtest::LoopbackHttpServer server_;
  hxtest::LogCapture log_;
};

TEST_F(Fetch, ReturnsTheBodyByteForByteAndTheSizeItsTypeAsksAndDoesNotFollowARedirect) {
  constexpr int kUntouched = -7;
  constexpr struct {
    int type, body_length, expected_size;
  } kCases[] = {{1, 0, 0},   {1, 1000000, 1000000}, {1, kLargeBody, kLargeBody}, {3, 40, 40},
                {2, 5, 16},  {2, 40, 16}, {0, 40, kUntouched}, {4, 40, kUntouched}};
  for (const auto& c : kCases) {
    int size = kUntouched;
    Body body = fetch("/bytes/" + std::to_string(c.body_length), size, c.type);
    EXPECT_TRUE(body && is_generated_body(body.get(), c.body_length)) << c.body_length;
    EXPECT_EQ(size, c.expected_size) << "type " << c.type;
  }
  int size = 0;  // a redirect is not followed: its own body, not the 10 bytes of /bytes/10
  EXPECT_STREQ(fetch("/redirect", size).get(), "moved");
  EXPECT_EQ(size, 5);
  EXPECT_EQ(curl_easy_perform(handle_), CURLE_WRITE_ERROR);  // not into the finished call's buffer
}

TEST_F(Fetch, SendsAGetCutAtTheFirstCarriageReturnInPlaceButNotAtALoneLineFeed) {
  const std::string url = server_.url("/echo");
  std::vector<char> cut = writable(url + "\r\nX-Injected: 1\r\n"), kept = writable(url + "\nrest");
  int size = 0;
  Body echo = fetch(handle_, cut.data(), size);
  EXPECT_EQ(url, cut.data());
  ASSERT_NE(echo, nullptr);
  EXPECT_EQ(std::string(echo.get(), size),
            "GET /echo HTTP/1.1\r\nHost: " + url.substr(7, url.find('/', 7) - 7) +
                "\r\nUser-Agent: Mozilla/5.0 (Windows NT 6.1; WOW64; rv:13.0) Gecko/20100101 "
                "Firefox/13.0.1\r\nAccept: */*");
  // libcurl refuses a control character in a URL; the record names the whole, uncut text.
  EXPECT_EQ(fetch(handle_, kept.data(), size), nullptr);
  EXPECT_EQ(log_.count(4, failure(url + "\nrest", CURLE_URL_MALFORMAT)), 1u);
}

TEST_F(Fetch, FailureGivesNullSizeZeroAndOneRecordNamingTheUrlAndCode) {
  hxtest::LoopbackHttpServer refusing(false);
  std::vector<char> url = writable(refusing.url("/x"));
  const struct { void* handle; char* url; int code; } kCases[] = {
      {handle_, url.data(), CURLE_COULDNT_CONNECT},
      {nullptr, url.data(), CURLE_BAD_FUNCTION_ARGUMENT},
      {handle_, nullptr, CURLE_URL_MALFORMAT}};
  for (const auto& c : kCases) {
    log_.clear();
    int size = 123;
    EXPECT_EQ(fetch(c.handle, c.url, size, 2), nullptr) << c.code;
    EXPECT_EQ(size, 0);
    ASSERT_EQ(log_.records().size(), 1u) << c.code;
    EXPECT_EQ(log_.count(4, failure(c.url ? c.url : "", c.code)), 1u);
  }
  curl_easy_setopt(handle_, CURLOPT_URL, server_.url("/bytes/10").c_str());
  EXPECT_EQ(curl_easy_perform(handle_), CURLE_WRITE_ERROR);
}

// The one slow test: the server sends half the body, then nothing.
TEST_F(Fetch, StalledBodyIsCutAtTheEightSecondTimeout) {
  int size = 0;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(fetch("/stall/1000", size), nullptr);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(log_.count(4, failure(server_.url("/stall/1000"), CURLE_OPERATION_TIMEDOUT)), 1u);
  EXPECT_GE(elapsed, std::chrono::milliseconds(7900));
  EXPECT_LT(elapsed, std::chrono::seconds(15));
}

TEST(ReceiveBuffer, RefusesAChunkOfAStepOrMoreAndGrowsByHalfInWholeStepsUpToTwoGibibytes) {
  ReceiveBuffer buffer;
  std::vector<char> chunk(kReceiveStep, 'x');
  EXPECT_EQ(receive_chunk(chunk.data(), 1, kReceiveStep - 1, &buffer), kReceiveStep - 1);
  EXPECT_EQ(receive_chunk(chunk.data(), 1, kReceiveStep, &buffer), 0u);
  EXPECT_EQ(receive_chunk(chunk.data(), kReceiveStep, 1, &buffer), 0u);
  EXPECT_EQ(buffer.length(), kReceiveStep - 1);
  EXPECT_EQ(buffer.capacity(), kReceiveStep);
  constexpr uint64_t kStep = kReceiveStep, kLast = 6936 * kStep;  // the last step below 2^31
  constexpr struct { uint64_t capacity, length, n, expected; } kCases[] = {
      {kStep, 1, kStep - 1, 2 * kStep},           {10 * kStep, 10 * kStep - 1, 1, 15 * kStep},
      {11 * kStep, 11 * kStep - 1, 1, 17 * kStep}, {kLast - kStep, kLast - kStep - 1, 100, kLast},
      {kLast, kLast - 101, 100, kLast},           {kLast, kLast - 100, 100, 0}};
  for (const auto& c : kCases)
    EXPECT_EQ(capacity_for_append(c.capacity, c.length, c.n), c.expected)
        << c.capacity << "+" << c.n;
}

// The released body is cut back to the whole steps it needs, zero past the data.
TEST(ReceiveBuffer, KeepsEveryByteAcrossGrowthAndHandsOutWholeStepsZeroPastTheData) {
  ReceiveBuffer buffer;
  std::string sent;
  for (int i = 0; sent.size() < 5 * kReceiveStep; ++i) {
    const std::string chunk(static_cast<size_t>(1 + i * 7919 % 60000),
                            static_cast<char>('a' + i % 26));
    ASSERT_TRUE(buffer.append(chunk.data(), chunk.size()));
    sent += chunk;
  }
  ASSERT_EQ(std::string(buffer.data(), buffer.length() + 1), sent + '\0');
  const uint64_t grown = buffer.capacity(), whole_steps = 6 * kReceiveStep;
  ASSERT_GT(grown, whole_steps);
  char* body = buffer.release();
  EXPECT_LT(malloc_usable_size(body), grown);
  EXPECT_EQ(std::string(body, whole_steps), sent + std::string(whole_steps - sent.size(), '\0'));
  HXCurl::free_data(body);
}

// Unbalanced calls included: a deinit below zero, then the init that only restores zero.
TEST(CurlGlobal, InitialisesFromZeroAndCleansUpAtZeroWithOneRecordEach) {
  constexpr struct { bool init; int count; size_t inits, cleanups; } kSteps[] = {
      {true, 1, 1, 0}, {true, 2, 1, 0}, {false, 1, 1, 0}, {false, 0, 1, 1}, {false, -1, 1, 1},
      {true, 0, 1, 1}};
  hxtest::LogCapture log;
  for (const auto& step : kSteps) {
    step.init ? HXCurl::global_init_curl() : HXCurl::global_deinit_curl();
    EXPECT_EQ(HXCurl::curl_reference_count_, step.count);
    EXPECT_EQ(log.count(1, "(HXCurl::global_init_curl): curl_global_init"), step.inits);
    EXPECT_EQ(log.count(1, "(HXCurl::global_deinit_curl): curl_global_cleanup"), step.cleanups);
  }
  EXPECT_EQ(log.records().size(), 2u);
}

}  // namespace
