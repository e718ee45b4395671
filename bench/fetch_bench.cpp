// SPDX-License-Identifier: Apache-2.0
// Fetching a 100 MB body from a server on 127.0.0.1, three ways, and random identifiers.
//
//   FetchHxCurl        HXCurl::get_data_from_url: past its first 309,600-byte step, the body
//                      moves into reserved room, backed 256 KiB ahead of the data
//   FetchStdString     plain libcurl appending to a std::string (doubling growth)
//   FetchDiscard       plain libcurl dropping the bytes: the transfer's own cost, a floor
//   FetchCopyEachStep  plain libcurl into a buffer grown by the same step, each growth a fresh
//                      zeroed allocation and a copy of everything received so far
// Bytes per second are the body's bytes; every case uses one easy handle for all iterations.
// RandomGuid32 is `getRandomGUID(32)`; RandomBytes32NoReseed draws as much from OpenSSL
// without mixing the seed text in again first.
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <hxcore/HXCurl.h>
#include <hxcore/HXRandom.h>
#include <openssl/rand.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "loopback_http_server.h"

namespace {

constexpr int64_t kBodyLength = 100 * 1000 * 1000;
constexpr size_t kStep = 309600;

size_t append_to_string(char* bytes, size_t size, size_t count, void* target) {
  static_cast<std::string*>(target)->append(bytes, size * count);
  return size * count;
}

// Growth by one step at a time: every growth copies all bytes received so far.
struct CopyingBuffer {
  char* data = static_cast<char*>(std::calloc(kStep, 1));
  size_t capacity = kStep;
  size_t length = 0;
  ~CopyingBuffer() { std::free(data); }
};

size_t append_copying(char* bytes, size_t size, size_t count, void* target) {
  auto* buffer = static_cast<CopyingBuffer*>(target);
  const size_t n = size * count;
  if (buffer->capacity < buffer->length + 1 + n) {
    char* grown = static_cast<char*>(std::calloc(buffer->capacity + kStep, 1));
    std::memcpy(grown, buffer->data, buffer->length);
    std::free(buffer->data);
    buffer->data = grown;
    buffer->capacity += kStep;
  }
  std::memcpy(buffer->data + buffer->length, bytes, n);
  buffer->length += n;
  return n;
}

size_t discard(char*, size_t size, size_t count, void*) { return size * count; }

// One server and global set-up for the whole run. The server builds its body on the first
// request, so one fetch here keeps that out of whichever case runs first.
struct Fixture {
  Fixture() {
    HXCurl::global_init_curl();
    CURL* handle = curl_easy_init();
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, discard);
    curl_easy_perform(handle);
    curl_easy_cleanup(handle);
  }
  ~Fixture() { HXCurl::global_deinit_curl(); }
  hxtest::LoopbackHttpServer server;
  const std::string url = server.url("/bytes/" + std::to_string(kBodyLength));
};

Fixture& fixture() {
  static Fixture shared;
  return shared;
}

// A plain libcurl fetch of the body on `handle` into `target` through `write`.
void plain_fetch(benchmark::State& state, CURL* handle, curl_write_callback write, void* target) {
  curl_easy_setopt(handle, CURLOPT_URL, fixture().url.c_str());
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, write);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, target);
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  if (curl_easy_perform(handle) != CURLE_OK) state.SkipWithError("fetch failed");
}

void FetchHxCurl(benchmark::State& state) {
  CURL* handle = curl_easy_init();
  std::vector<char> url(fixture().url.begin(), fixture().url.end());
  url.push_back('\0');
  for (auto _ : state) {
    int size = 0;
    char* body = HXCurl::get_data_from_url(handle, url.data(), size, 1);
    if (body == nullptr || size != kBodyLength) state.SkipWithError("fetch failed");
    benchmark::DoNotOptimize(body);
    std::free(body);
  }
  curl_easy_cleanup(handle);
  state.SetBytesProcessed(state.iterations() * kBodyLength);
}

void FetchStdString(benchmark::State& state) {
  CURL* handle = curl_easy_init();
  for (auto _ : state) {
    std::string body;
    plain_fetch(state, handle, append_to_string, &body);
    if (body.size() != static_cast<size_t>(kBodyLength)) state.SkipWithError("short body");
    benchmark::DoNotOptimize(body.data());
  }
  curl_easy_cleanup(handle);
  state.SetBytesProcessed(state.iterations() * kBodyLength);
}

void FetchCopyEachStep(benchmark::State& state) {
  CURL* handle = curl_easy_init();
  for (auto _ : state) {
    CopyingBuffer body;
    plain_fetch(state, handle, append_copying, &body);
    if (body.length != static_cast<size_t>(kBodyLength)) state.SkipWithError("short body");
    benchmark::DoNotOptimize(body.data);
  }
  curl_easy_cleanup(handle);
  state.SetBytesProcessed(state.iterations() * kBodyLength);
}

// The transfer alone: libcurl and the loopback server with the bytes dropped.
void FetchDiscard(benchmark::State& state) {
  CURL* handle = curl_easy_init();
  for (auto _ : state) plain_fetch(state, handle, discard, nullptr);
  curl_easy_cleanup(handle);
  state.SetBytesProcessed(state.iterations() * kBodyLength);
}

void RandomGuid32(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(HXRandom::getRandomGUID(32));
}

// The same draw without mixing the seed text in again: what the per-call reseed costs.
void RandomBytes32NoReseed(benchmark::State& state) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  for (auto _ : state) {
    unsigned char bytes[32];
    RAND_bytes(bytes, sizeof bytes);
    std::string guid(sizeof bytes, '\0');
    for (size_t i = 0; i < sizeof bytes; ++i) guid[i] = kAlphabet[bytes[i] % 62];
    benchmark::DoNotOptimize(guid);
  }
}

BENCHMARK(FetchHxCurl)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(FetchStdString)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(FetchDiscard)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(FetchCopyEachStep)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(RandomGuid32);
BENCHMARK(RandomBytes32NoReseed);

}  // namespace

BENCHMARK_MAIN();
