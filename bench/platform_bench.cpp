// SPDX-License-Identifier: Apache-2.0
// Request signing and Base64 beside OpenSSL.
//
// Signing: the library's signString after its first call (the secret is
// derived and the keyed MAC prepared) against what a client would otherwise do
// per request: OpenSSL's one-shot HMAC() plus EVP_EncodeBlock of the digest.
// Goal: at most half the one-shot's time.
// Base64: the library's codec against EVP_EncodeBlock / EVP_DecodeBlock on
// 1 KiB and 1 MiB. Goal: no slower than OpenSSL.
#include <benchmark/benchmark.h>
#include <hxcore/IIotPlatformImpl.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <random>
#include <string>
#include <vector>

#include "detail/base64.h"
#include "secret_encryption.h"

namespace {

constexpr char kSecret[] = "benchmark application secret";

std::string randomBytes(size_t size) {
  std::mt19937 random(42);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

IIotPlatformImpl* signingPlatform() {
  static IIotPlatformImpl* const platform = [] {
    IIotPlatformImpl* p = getSharedPlatformImpl();
    std::string encrypted;
    std::string error;
    hxtool::encrypt_secret(hxtool::kBuildPublicKeyPem, kSecret, encrypted, error);
    p->setEncryptedAppSecret(encrypted);
    p->signString("warm up", true);  // derives the secret once
    return p;
  }();
  return platform;
}

void BM_HxcoreSignString(benchmark::State& state) {
  IIotPlatformImpl* platform = signingPlatform();
  const std::string text = randomBytes(static_cast<size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(platform->signString(text, true));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void BM_OpenSslOneShotHmac(benchmark::State& state) {
  const std::string text = randomBytes(static_cast<size_t>(state.range(0)));
  const std::string key = kSecret;
  for (auto _ : state) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    HMAC(EVP_sha1(), key.data(), static_cast<int>(key.size()),
         reinterpret_cast<const unsigned char*>(text.data()), text.size(), digest, &length);
    unsigned char encoded[32];
    EVP_EncodeBlock(encoded, digest, static_cast<int>(length));
    benchmark::DoNotOptimize(std::string(reinterpret_cast<char*>(encoded), 28));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void BM_HxcoreBase64Encode(benchmark::State& state) {
  const std::string bytes = randomBytes(static_cast<size_t>(state.range(0)));
  std::vector<char> out(hxcore::detail::base64_encoded_length(bytes.size()));
  for (auto _ : state) {
    hxcore::detail::base64_encode(reinterpret_cast<const unsigned char*>(bytes.data()),
                                  bytes.size(), out.data(), out.size());
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void BM_OpenSslEncodeBlock(benchmark::State& state) {
  const std::string bytes = randomBytes(static_cast<size_t>(state.range(0)));
  std::vector<unsigned char> out(hxcore::detail::base64_encoded_length(bytes.size()) + 1);
  for (auto _ : state) {
    EVP_EncodeBlock(out.data(), reinterpret_cast<const unsigned char*>(bytes.data()),
                    static_cast<int>(bytes.size()));
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

std::string encodedOf(size_t size) {
  std::string text;
  hxcore::detail::base64_encode(randomBytes(size), text);
  return text;
}

void BM_HxcoreBase64Decode(benchmark::State& state) {
  const std::string text = encodedOf(static_cast<size_t>(state.range(0)));
  std::vector<unsigned char> out(text.size());
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        hxcore::detail::base64_decode(text.data(), text.size(), out.data(), out.size()));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void BM_OpenSslDecodeBlock(benchmark::State& state) {
  const std::string text = encodedOf(static_cast<size_t>(state.range(0)));
  std::vector<unsigned char> out(text.size());
  for (auto _ : state) {
    benchmark::DoNotOptimize(EVP_DecodeBlock(out.data(),
                                             reinterpret_cast<const unsigned char*>(text.data()),
                                             static_cast<int>(text.size())));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

BENCHMARK(BM_HxcoreSignString)->Arg(64)->Arg(1024);
BENCHMARK(BM_OpenSslOneShotHmac)->Arg(64)->Arg(1024);
BENCHMARK(BM_HxcoreBase64Encode)->Arg(1024)->Arg(1 << 20);
BENCHMARK(BM_OpenSslEncodeBlock)->Arg(1024)->Arg(1 << 20);
BENCHMARK(BM_HxcoreBase64Decode)->Arg(1024)->Arg(1 << 20);
BENCHMARK(BM_OpenSslDecodeBlock)->Arg(1024)->Arg(1 << 20);

}  // namespace

BENCHMARK_MAIN();
