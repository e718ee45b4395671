// SPDX-License-Identifier: Apache-2.0
#include "HXRandom.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "log_capture.h"

namespace {

constexpr char kLettersAndDigits[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

TEST(RandomGuid, GivesLettersAndDigitsUpTo63AndRefusesOtherLengthsWithOneErrorRecord) {
  for (int len : {0, 1, 32, 63, 64, 100, -1, -2147483647 - 1}) {
    hxtest::LogCapture log;
    const std::string guid = HXRandom::getRandomGUID(len);
    const bool refused = len < 0 || len > 63;
    EXPECT_EQ(guid.size(), refused ? 0u : static_cast<size_t>(len)) << len;
    EXPECT_EQ(guid.find_first_not_of(kLettersAndDigits), std::string::npos) << guid;
    ASSERT_EQ(log.records().size(), refused ? 1u : 0u) << len;
    EXPECT_EQ(log.count(4, "(HXRandom::getRandomGUID): len should less than 64"),
              log.records().size());
  }
}

// 630,000 draws (each call reseeds, which is slow under Wine): A-H expected 12,305 times,
// the rest 9,844; the bounds are eight deviations off and far apart.
TEST(RandomGuid, LettersAToHComeAFifthMoreOftenThanTheRest) {
  std::array<long, 256> counts{};
  for (int i = 0; i < 10000; ++i)
    for (unsigned char c : HXRandom::getRandomGUID(63)) ++counts[c];
  for (const char* p = kLettersAndDigits; *p != '\0'; ++p) {
    const bool favoured = *p >= 'A' && *p <= 'H';
    EXPECT_GT(counts[static_cast<unsigned char>(*p)], favoured ? 11400 : 8950) << *p;
    EXPECT_LT(counts[static_cast<unsigned char>(*p)], favoured ? 13200 : 10650) << *p;
  }
}

}  // namespace
