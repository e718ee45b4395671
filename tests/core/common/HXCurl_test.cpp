#include "HXCurl.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "detail/receive_buffer.h"
#include "log_capture.h"
#include "loopback_http_server.h"

namespace {

using hxcore::detail::kReceiveStep;

constexpr char kUserAgentHeader[] =
    "User-Agent: Mozilla/5.0 (Windows NT 6.1; WOW64; rv:13.0) Gecko/20100101 Firefox/13.0.1";
constexpr int kLogError = 4;
constexpr int kLogDebug = 1;

// The sanitizers' allocators serve realloc with a fresh block and a full copy, so a body grown
// step by step costs quadratic copying there, and 100 MB cannot arrive within the 8 s limit.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kReallocCopies = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kReallocCopies = true;
#else
constexpr bool kReallocCopies = false;
#endif
#else
constexpr bool kReallocCopies = false;
#endif

struct FreeData {
  void operator()(char* data) const { HXCurl::free_data(data); }
};
using Body = std::unique_ptr<char, FreeData>;

// A writable copy of a URL, as the fetch needs one.
std::vector<char> writable(const std::string& text) {
  std::vector<char> copy(text.begin(), text.end());
  copy.push_back('\0');
  return copy;
}

std::string failure_message(const std::string& url, int code) {
  return "get_data_from_url error,  url =[" + url +
         "], curl_easy_perform ret=" + std::to_string(code);
}

// Checks the body against the server's pattern byte for byte, and the zero after it.
::testing::AssertionResult is_generated_body(const char* data, uint64_t length) {
  for (uint64_t i = 0; i < length; ++i) {
    if (data[i] != hxtest::body_byte(i))
      return ::testing::AssertionFailure() << "byte " << i << " differs";
  }
  if (data[length] != '\0') return ::testing::AssertionFailure() << "no zero after the body";
  return ::testing::AssertionSuccess();
}

class Fetch : public ::testing::Test {
 protected:
  void SetUp() override {
    HXCurl::global_init_curl();
    handle_ = curl_easy_init();
    ASSERT_NE(handle_, nullptr);
  }
  void TearDown() override {
    curl_easy_cleanup(handle_);
    HXCurl::global_deinit_curl();
  }
  Body fetch(const std::string& url, int& size, int type = 1) {
    std::vector<char> text = writable(url);
    return Body(HXCurl::get_data_from_url(handle_, text.data(), size, type));
  }

  CURL* handle_ = nullptr;
  hxtest::LoopbackHttpServer server_;
};

TEST_F(Fetch, EmptyBodyGivesAnAllZeroBufferAndSizeZero) {
  int size = -1;
  Body body = fetch(server_.url("/bytes/0"), size);
  ASSERT_NE(body, nullptr);
  EXPECT_EQ(size, 0);
  const std::vector<char> zeros(kReceiveStep, '\0');
  EXPECT_EQ(std::memcmp(body.get(), zeros.data(), kReceiveStep), 0);
}

TEST_F(Fetch, MillionByteBodyArrivesByteForByte) {
  int size = 0;
  Body body = fetch(server_.url("/bytes/1000000"), size);
  ASSERT_NE(body, nullptr);
  ASSERT_EQ(size, 1000000);
  EXPECT_TRUE(is_generated_body(body.get(), 1000000));
}

// 100 MB, past every threshold where the C allocator switches to mapped blocks; 40 MB under a
// sanitizer.
TEST_F(Fetch, LargeBodyArrivesByteForByte) {
  constexpr int kLength = (kReallocCopies ? 40 : 100) * 1000 * 1000;
  int size = 0;
  Body body = fetch(server_.url("/bytes/" + std::to_string(kLength)), size);
  ASSERT_NE(body, nullptr);
  ASSERT_EQ(size, kLength);
  EXPECT_TRUE(is_generated_body(body.get(), kLength));
}

TEST_F(Fetch, RedirectResponseIsReturnedAsTheBodyAndNotFollowed) {
  int size = 0;
  Body body = fetch(server_.url("/redirect"), size);
  ASSERT_NE(body, nullptr);
  EXPECT_STREQ(body.get(), "moved");
  EXPECT_EQ(size, 5);
  EXPECT_EQ(server_.requests().size(), 1u);
}

TEST_F(Fetch, SendsAGetWithTheFixedUserAgent) {
  int size = 0;
  ASSERT_NE(fetch(server_.url("/bytes/3"), size), nullptr);
  const std::vector<std::string> requests = server_.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].substr(0, requests[0].find("\r\n")), "GET /bytes/3 HTTP/1.1");
  EXPECT_NE(requests[0].find(std::string("\r\n") + kUserAgentHeader + "\r\n"), std::string::npos);
}

TEST_F(Fetch, KeepsOptionsTheCallerSetOnTheHandle) {
  curl_slist* headers = curl_slist_append(nullptr, "X-Client: kept");
  curl_easy_setopt(handle_, CURLOPT_HTTPHEADER, headers);
  int size = 0;
  Body body = fetch(server_.url("/bytes/3"), size);
  curl_easy_setopt(handle_, CURLOPT_HTTPHEADER, nullptr);
  curl_slist_free_all(headers);
  ASSERT_NE(body, nullptr);
  ASSERT_EQ(server_.requests().size(), 1u);
  EXPECT_NE(server_.requests()[0].find("\r\nX-Client: kept"), std::string::npos);
}

TEST_F(Fetch, SizeFollowsType) {
  struct Case {
    int type;
    int body_length;
    int expected_size;
  };
  constexpr int kUntouched = -7;
  constexpr Case kCases[] = {{1, 40, 40},         {3, 40, 40},         {2, 5, 16},
                             {2, 40, 16},         {0, 40, kUntouched}, {4, 40, kUntouched},
                             {-1, 40, kUntouched}};
  for (const Case& c : kCases) {
    int size = kUntouched;
    Body body = fetch(server_.url("/bytes/" + std::to_string(c.body_length)), size, c.type);
    ASSERT_NE(body, nullptr) << "type " << c.type;
    EXPECT_EQ(size, c.expected_size) << "type " << c.type;
    EXPECT_TRUE(is_generated_body(body.get(), c.body_length)) << "type " << c.type;
  }
}

TEST_F(Fetch, CutsTheUrlInPlaceAtItsFirstCarriageReturn) {
  const std::string url = server_.url("/bytes/4");
  std::vector<char> text = writable(url + "\r\nX-Injected: 1\r\n");
  int size = 0;
  Body body(HXCurl::get_data_from_url(handle_, text.data(), size, 1));
  ASSERT_NE(body, nullptr);
  EXPECT_EQ(size, 4);
  EXPECT_EQ(std::string(text.data()), url);
  ASSERT_EQ(server_.requests().size(), 1u);
  EXPECT_EQ(server_.requests()[0].find("X-Injected"), std::string::npos);
}

TEST_F(Fetch, LeavesAUrlWithOnlyALineFeedWhole) {
  const std::string url = server_.url("/bytes/4") + "\nrest";
  std::vector<char> text = writable(url);
  hxtest::LogCapture log;
  int size = 9;
  Body body(HXCurl::get_data_from_url(handle_, text.data(), size, 1));
  EXPECT_EQ(std::string(text.data()), url);
  // libcurl refuses a control character in a URL; the record names the whole text.
  EXPECT_EQ(body, nullptr);
  EXPECT_EQ(size, 0);
  EXPECT_EQ(log.count(kLogError, failure_message(url, CURLE_URL_MALFORMAT)), 1u);
}

TEST_F(Fetch, RefusedConnectionGivesNullSizeZeroAndOneErrorRecord) {
  hxtest::RefusingPort refusing;
  const std::string url = "http://127.0.0.1:" + std::to_string(refusing.port()) + "/x";
  hxtest::LogCapture log;
  int size = 123;
  EXPECT_EQ(fetch(url, size, 2), nullptr);
  EXPECT_EQ(size, 0);
  const std::vector<hxtest::LogRecord> records = log.records();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].level, kLogError);
  EXPECT_EQ(hxtest::LogCapture::message(records[0].text),
            failure_message(url, CURLE_COULDNT_CONNECT));
  EXPECT_NE(records[0].text.find("[HXCurl.cpp:"), std::string::npos);
  EXPECT_NE(records[0].text.find("(HXCurl::get_data_from_url): "), std::string::npos);
}

TEST_F(Fetch, MissingHandleOrUrlFailsWithTheRecord) {
  hxtest::LogCapture log;
  int size = 5;
  std::vector<char> text = writable(server_.url("/bytes/1"));
  EXPECT_EQ(HXCurl::get_data_from_url(nullptr, text.data(), size, 1), nullptr);
  EXPECT_EQ(size, 0);
  size = 5;
  EXPECT_EQ(HXCurl::get_data_from_url(handle_, nullptr, size, 1), nullptr);
  EXPECT_EQ(size, 0);
  EXPECT_EQ(log.count(kLogError, failure_message(text.data(), CURLE_BAD_FUNCTION_ARGUMENT)), 1u);
  EXPECT_EQ(log.count(kLogError, failure_message("", CURLE_URL_MALFORMAT)), 1u);
}

// The one slow test: the server sends half the body and then goes silent.
TEST_F(Fetch, StalledBodyIsCutAtTheEightSecondTimeout) {
  const std::string url = server_.url("/stall/1000");
  hxtest::LogCapture log;
  int size = 1;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(fetch(url, size), nullptr);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(size, 0);
  EXPECT_EQ(log.count(kLogError, failure_message(url, CURLE_OPERATION_TIMEDOUT)), 1u);
  EXPECT_GE(elapsed, std::chrono::milliseconds(7900));
  EXPECT_LT(elapsed, std::chrono::seconds(15));
}

TEST(ReceiveBuffer, RefusesAChunkOfAStepOrMore) {
  hxcore::detail::ReceiveBuffer buffer;
  std::vector<char> chunk(kReceiveStep, 'x');
  EXPECT_EQ(hxcore::detail::receive_chunk(chunk.data(), 1, kReceiveStep, &buffer), 0u);
  EXPECT_EQ(hxcore::detail::receive_chunk(chunk.data(), kReceiveStep, 1, &buffer), 0u);
  EXPECT_EQ(buffer.length(), 0u);
  EXPECT_EQ(hxcore::detail::receive_chunk(chunk.data(), 1, kReceiveStep - 1, &buffer),
            kReceiveStep - 1);
  EXPECT_EQ(buffer.length(), kReceiveStep - 1);
  EXPECT_EQ(buffer.capacity(), kReceiveStep);
}

TEST(ReceiveBuffer, GrowsByWholeStepsAndKeepsZerosPastTheData) {
  hxcore::detail::ReceiveBuffer buffer;
  std::vector<char> body(1000000);
  for (size_t i = 0; i < body.size(); ++i) body[i] = hxtest::body_byte(i);
  for (size_t at = 0; at < body.size(); at += 16384) {
    ASSERT_TRUE(buffer.append(body.data() + at, std::min<size_t>(16384, body.size() - at)));
    ASSERT_EQ(buffer.capacity() % kReceiveStep, 0u);
    ASSERT_GT(buffer.capacity(), buffer.length());
  }
  EXPECT_EQ(buffer.capacity(), 4 * kReceiveStep);
  EXPECT_TRUE(is_generated_body(buffer.data(), 1000000));
  for (uint64_t i = buffer.length(); i < buffer.capacity(); ++i)
    ASSERT_EQ(buffer.data()[i], '\0') << i;
}

TEST(ReceiveBuffer, CapacityStopsBelowTwoGibibytes) {
  using hxcore::detail::capacity_for_append;
  const uint64_t last = hxcore::detail::kReceiveCapacityLimit / kReceiveStep * kReceiveStep;
  EXPECT_EQ(capacity_for_append(last - kReceiveStep, last - kReceiveStep - 1, 100), last);
  EXPECT_EQ(capacity_for_append(last, last - 101, 100), last);
  EXPECT_EQ(capacity_for_append(last, last - 100, 100), 0u);
  EXPECT_EQ(capacity_for_append(kReceiveStep, 0, kReceiveStep - 1), kReceiveStep);
  EXPECT_EQ(capacity_for_append(kReceiveStep, 1, kReceiveStep - 1), 2 * kReceiveStep);
}

class CurlGlobal : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(HXCurl::curl_reference_count_, 0); }
  void TearDown() override { EXPECT_EQ(HXCurl::curl_reference_count_, 0); }
  size_t inits() const {
    return log_.count(kLogDebug, "(HXCurl::global_init_curl): curl_global_init");
  }
  size_t cleanups() const {
    return log_.count(kLogDebug, "(HXCurl::global_deinit_curl): curl_global_cleanup");
  }
  hxtest::LogCapture log_;
};

TEST_F(CurlGlobal, BalancedPairsInitialiseOnceAndCleanUpAtTheLastDeinit) {
  HXCurl::global_init_curl();
  EXPECT_EQ(inits(), 1u);
  HXCurl::global_init_curl();
  EXPECT_EQ(HXCurl::curl_reference_count_, 2);
  EXPECT_EQ(inits(), 1u);
  HXCurl::global_deinit_curl();
  EXPECT_EQ(HXCurl::curl_reference_count_, 1);
  EXPECT_EQ(cleanups(), 0u);
  HXCurl::global_deinit_curl();
  EXPECT_EQ(cleanups(), 1u);
  EXPECT_EQ(log_.records().size(), 2u);
}

TEST_F(CurlGlobal, UnmatchedDeinitGoesBelowZeroAndTheNextInitOnlyRestoresZero) {
  HXCurl::global_deinit_curl();
  EXPECT_EQ(HXCurl::curl_reference_count_, -1);
  HXCurl::global_init_curl();
  EXPECT_EQ(HXCurl::curl_reference_count_, 0);
  EXPECT_TRUE(log_.records().empty());
}

TEST_F(CurlGlobal, ConcurrentPairsLeaveTheCountAtZero) {
  constexpr int kThreads = 4;
  constexpr int kPairs = 200;
  std::promise<void> go;
  std::shared_future<void> started = go.get_future().share();
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([started] {
      started.wait();
      for (int i = 0; i < kPairs; ++i) {
        HXCurl::global_init_curl();
        HXCurl::global_deinit_curl();
      }
    });
  }
  go.set_value();
  for (std::thread& thread : threads) thread.join();
  EXPECT_GE(inits(), 1u);
  EXPECT_EQ(inits(), cleanups());
}

TEST(CurlExamples, HeaderExample) {
  hxtest::LoopbackHttpServer server;
  std::vector<char> url = writable(server.url("/bytes/8"));
  // clang-format off
  HXCurl::global_init_curl(); CURL* h = curl_easy_init(); int size = 0;
  char* body = HXCurl::get_data_from_url(h, url.data(), size, 1); HXCurl::free_data(body);
  // clang-format on
  EXPECT_EQ(size, 8);
  curl_easy_cleanup(h);
  HXCurl::global_deinit_curl();
}

}  // namespace
