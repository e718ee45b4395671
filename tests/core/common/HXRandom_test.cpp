#include "HXRandom.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "log_capture.h"

namespace {

constexpr char kLetterAndDigits[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr int kLogError = 4;

bool only_letters_and_digits(const std::string& text) {
  return text.find_first_not_of(kLetterAndDigits) == std::string::npos;
}

TEST(RandomGuid, GivesTheRequestedLengthOfLettersAndDigits) {
  hxtest::LogCapture log;
  for (int len : {0, 1, 32, 63}) {
    const std::string guid = HXRandom::getRandomGUID(len);
    EXPECT_EQ(guid.size(), static_cast<size_t>(len));
    EXPECT_TRUE(only_letters_and_digits(guid)) << guid;
  }
  EXPECT_TRUE(log.records().empty());
}

TEST(RandomGuid, RefusesLengthsOutsideZeroTo63WithOneRecordEach) {
  hxtest::LogCapture log;
  for (int len : {64, 100, -1, -2147483647 - 1}) {
    log.clear();
    EXPECT_EQ(HXRandom::getRandomGUID(len), "") << len;
    const std::vector<hxtest::LogRecord> records = log.records();
    ASSERT_EQ(records.size(), 1u) << len;
    EXPECT_EQ(records[0].level, kLogError);
    EXPECT_EQ(hxtest::LogCapture::message(records[0].text), "len should less than 64");
    EXPECT_NE(records[0].text.find("[HXRandom.cpp:"), std::string::npos);
    EXPECT_NE(records[0].text.find("(HXRandom::getRandomGUID): "), std::string::npos);
  }
}

TEST(RandomGuid, LettersAToHComeAFifthMoreOftenThanTheRest) {
  // 2,000,000 draws: each of A-H is expected 39,062 times (5/256), each other character
  // 31,250 times (4/256), with a standard deviation near 190. The bounds sit over 15 deviations
  // from either expectation, so they separate the two rates and never flake.
  constexpr int kCalls = 2000000 / 50;
  std::array<long, 256> counts{};
  for (int i = 0; i < kCalls; ++i) {
    for (unsigned char c : HXRandom::getRandomGUID(50)) ++counts[c];
  }
  for (const char* p = kLetterAndDigits; *p != '\0'; ++p) {
    const long n = counts[static_cast<unsigned char>(*p)];
    if (*p >= 'A' && *p <= 'H') {
      EXPECT_GT(n, 36000) << *p;
      EXPECT_LT(n, 42000) << *p;
    } else {
      EXPECT_GT(n, 28000) << *p;
      EXPECT_LT(n, 34500) << *p;
    }
  }
  EXPECT_EQ(counts['+'] + counts['/'], 0);
}

TEST(RandomGuidExamples, HeaderExample) {
  hxtest::LogCapture log;
  // clang-format off
  std::string id = HXRandom::getRandomGUID(32);   // 32 characters
  if (HXRandom::getRandomGUID(64).empty()) { /* refused, one error record written */ }
  // clang-format on
  EXPECT_EQ(id.size(), 32u);
  EXPECT_EQ(log.count(kLogError, "len should less than 64"), 1u);
}

}  // namespace
