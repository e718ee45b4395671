#include "HXRandom.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "log_capture.h"

namespace {

constexpr char kLettersAndDigits[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

TEST(RandomGuid, GivesTheRequestedLengthOfLettersAndDigits) {
  hxtest::LogCapture log;
  for (int len : {0, 1, 32, 63}) {
    const std::string guid = HXRandom::getRandomGUID(len);
    EXPECT_EQ(guid.size(), static_cast<size_t>(len));
    EXPECT_EQ(guid.find_first_not_of(kLettersAndDigits), std::string::npos) << guid;
  }
  EXPECT_TRUE(log.records().empty());
}

TEST(RandomGuid, RefusesLengthsOutsideZeroTo63WithOneRecordEach) {
  for (int len : {64, 100, -1, -2147483647 - 1}) {
    hxtest::LogCapture log;
    EXPECT_EQ(HXRandom::getRandomGUID(len), "") << len;
    ASSERT_EQ(log.records().size(), 1u) << len;
    const std::string text = log.records()[0].text;
    EXPECT_EQ(log.records()[0].level, 4);
    EXPECT_NE(text.find("[HXRandom.cpp:"), std::string::npos);
    EXPECT_NE(text.find("(HXRandom::getRandomGUID): "), std::string::npos);
    EXPECT_EQ(hxtest::LogCapture::message(text), "len should less than 64");
  }
}

// 2,000,000 draws: each of A-H is expected 39,062 times (5/256), every other character 31,250
// times (4/256), standard deviation near 190. The bounds sit over 15 deviations from either
// expectation, so they separate the two rates and never flake.
TEST(RandomGuid, LettersAToHComeAFifthMoreOftenThanTheRest) {
  std::array<long, 256> counts{};
  for (int i = 0; i < 2000000 / 50; ++i) {
    for (unsigned char c : HXRandom::getRandomGUID(50)) ++counts[c];
  }
  for (const char* p = kLettersAndDigits; *p != '\0'; ++p) {
    const long n = counts[static_cast<unsigned char>(*p)];
    const bool favoured = *p >= 'A' && *p <= 'H';
    EXPECT_GT(n, favoured ? 36000 : 28000) << *p;
    EXPECT_LT(n, favoured ? 42000 : 34500) << *p;
  }
  EXPECT_EQ(counts['+'] + counts['/'], 0);
}

}  // namespace
