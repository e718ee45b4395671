// SPDX-License-Identifier: Apache-2.0
// Random identifiers over OpenSSL's generator, reseeded with one fixed text on every call.
#include "HXRandom.h"

#include <openssl/rand.h>

#include <string>

#include "detail/clock.h"
#include "detail/log.h"
#include "detail/openssl_crypto.h"

namespace {

// Only the first 62 entries (letters and digits) are ever picked.
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr unsigned kAlphabetInUse = 62;
constexpr int kLengthLimit = 64;

// Made once, from the clock at the first call that passes the length check, and then mixed
// into the generator again on every call.
const std::string& seed_text() {
  static const std::string seed = std::to_string(hxcore::detail::now_ms());
  return seed;
}

}  // namespace

std::string HXRandom::getRandomGUID(int len) {
  // A negative length is refused the way an over-long one is.
  if (len < 0 || len >= kLengthLimit) {
    return HX_FAIL(std::string(), "HXRandom::getRandomGUID", "len should less than %d",
                   kLengthLimit);
  }
  hxcore::detail::init_openssl();
  const std::string& seed = seed_text();
  RAND_seed(seed.data(), static_cast<int>(seed.size()));

  // Zeroed first so that a failed draw (not reported) still reads defined bytes.
  unsigned char random_bytes[kLengthLimit] = {};
  RAND_bytes(random_bytes, len);

  std::string guid(static_cast<size_t>(len), '\0');
  for (int i = 0; i < len; ++i) guid[i] = kAlphabet[random_bytes[i] % kAlphabetInUse];
  return guid;
}
