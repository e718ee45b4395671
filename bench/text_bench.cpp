// SPDX-License-Identifier: Apache-2.0
// MMD5 beside OpenSSL's MD5, and MStr beside std::string.
#include <benchmark/benchmark.h>
#include <hxcore/MMD5.h>
#include <hxcore/MStr.h>
#include <openssl/evp.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<char> message_of(int64_t size) {
  std::vector<char> bytes(static_cast<size_t>(size));
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 131 + 7);
  return bytes;
}

void BM_MD5_MMD5(benchmark::State& state) {
  const std::vector<char> message = message_of(state.range(0));
  char digest[16];
  for (auto _ : state) {
    mvc::MMD5::Digest(message.data(), static_cast<int>(message.size()), digest);
    benchmark::DoNotOptimize(digest);
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

// One-shot: OpenSSL looks the algorithm up on every call.
void BM_MD5_OpenSSL_OneShot(benchmark::State& state) {
  const std::vector<char> message = message_of(state.range(0));
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  for (auto _ : state) {
    EVP_Digest(message.data(), message.size(), digest, &size, EVP_md5(), nullptr);
    benchmark::DoNotOptimize(digest);
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

// OpenSSL at its best: the algorithm fetched once, one context reused.
void BM_MD5_OpenSSL_ReusedContext(benchmark::State& state) {
  const std::vector<char> message = message_of(state.range(0));
  EVP_MD* md5 = EVP_MD_fetch(nullptr, "MD5", nullptr);
  EVP_MD_CTX* context = EVP_MD_CTX_new();
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  for (auto _ : state) {
    EVP_DigestInit_ex(context, md5, nullptr);
    EVP_DigestUpdate(context, message.data(), message.size());
    EVP_DigestFinal_ex(context, digest, &size);
    benchmark::DoNotOptimize(digest);
  }
  EVP_MD_CTX_free(context);
  EVP_MD_free(md5);
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_MD5_MMD5)->Arg(64)->Arg(1024)->Arg(1 << 20);
BENCHMARK(BM_MD5_OpenSSL_OneShot)->Arg(64)->Arg(1024)->Arg(1 << 20);
BENCHMARK(BM_MD5_OpenSSL_ReusedContext)->Arg(64)->Arg(1024)->Arg(1 << 20);

constexpr const char* kPieces[] = {"GET ", "/api/v1/", "devices", "?id=", "42", "&", "x", "\r\n"};
constexpr int kAppends = 1000;

void BM_Append_MStr(benchmark::State& state) {
  for (auto _ : state) {
    mvc::MStr text;
    for (int i = 0; i < kAppends; ++i) text.append(kPieces[i & 7]);
    benchmark::DoNotOptimize(text.c_str());
  }
  state.SetItemsProcessed(state.iterations() * kAppends);
}

void BM_Append_StdString(benchmark::State& state) {
  for (auto _ : state) {
    std::string text;
    for (int i = 0; i < kAppends; ++i) text.append(kPieces[i & 7]);
    benchmark::DoNotOptimize(text.data());
  }
  state.SetItemsProcessed(state.iterations() * kAppends);
}

void BM_AppendFormat_MStr(benchmark::State& state) {
  for (auto _ : state) {
    mvc::MStr text;
    for (int i = 0; i < 100; ++i) text.appendfmt("&k%d=%s", i, "value");
    benchmark::DoNotOptimize(text.c_str());
  }
  state.SetItemsProcessed(state.iterations() * 100);
}

// std::string has no formatting member: snprintf into a stack buffer, then append.
void BM_AppendFormat_StdString(benchmark::State& state) {
  for (auto _ : state) {
    std::string text;
    for (int i = 0; i < 100; ++i) {
      char piece[64];
      const int length = std::snprintf(piece, sizeof piece, "&k%d=%s", i, "value");
      text.append(piece, static_cast<size_t>(length));
    }
    benchmark::DoNotOptimize(text.data());
  }
  state.SetItemsProcessed(state.iterations() * 100);
}

BENCHMARK(BM_Append_MStr);
BENCHMARK(BM_Append_StdString);
BENCHMARK(BM_AppendFormat_MStr);
BENCHMARK(BM_AppendFormat_StdString);

// A response header block; the wanted field comes last, in another case.
std::string header_block() {
  std::string text =
      "HTTP/1.1 200 OK\r\nServer: nginx\r\nDate: Sat, 05 Dec 2026 10:00:00 GMT\r\n"
      "Connection: keep-alive\r\nCache-Control: no-cache, no-store\r\n";
  for (int i = 0; i < 8; ++i)
    text += "X-Trace-Segment-" + std::to_string(i) + ": abcdef0123456789\r\n";
  return text + "CONTENT-TYPE: application/json; charset=utf-8\r\n\r\n";
}

void BM_FindCase_MStr(benchmark::State& state) {
  const mvc::MStr text(header_block().c_str());
  for (auto _ : state) benchmark::DoNotOptimize(text.findcasestr("content-type"));
  state.SetBytesProcessed(state.iterations() * text.length());
}

void BM_FindCase_StdSearch(benchmark::State& state) {
  const std::string text = header_block();
  const std::string needle = "content-type";
  const auto same = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
  };
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        std::search(text.begin(), text.end(), needle.begin(), needle.end(), same));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

BENCHMARK(BM_FindCase_MStr);
BENCHMARK(BM_FindCase_StdSearch);

constexpr char kLine[] = "   \tserver.address = cam-0001.example.net:8443 \r\n";

void BM_Trim_MStr(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(mvc::MStr::trim(kLine, sizeof kLine - 1).c_str());
}

void BM_Trim_StdString(benchmark::State& state) {
  const std::string line = kLine;
  constexpr char kSpaces[] = "\b\t\n\f\r ";
  for (auto _ : state) {
    const size_t first = line.find_first_not_of(kSpaces);
    const size_t last = line.find_last_not_of(kSpaces);
    std::string trimmed =
        first == std::string::npos ? std::string() : line.substr(first, last - first + 1);
    benchmark::DoNotOptimize(trimmed.data());
  }
}

BENCHMARK(BM_Trim_MStr);
BENCHMARK(BM_Trim_StdString);

}  // namespace

BENCHMARK_MAIN();
