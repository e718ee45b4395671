// SPDX-License-Identifier: Apache-2.0
#include "MMD5.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using mvc::MMD5;
using mvc::MStr;

TEST(MD5Digest, MatchesTheRfc1321SuiteAndThePaddingBoundaries) {
  const std::pair<std::string, const char*> suite[] = {
      {"", "D41D8CD98F00B204E9800998ECF8427E"},
      {"a", "0CC175B9C0F1B6A831C399E269772661"},
      {"abc", "900150983CD24FB0D6963F7D28E17F72"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57EDF4A22BE3C955AC49DA2E2107B67A"},
      // 55 bytes pad within the block; 56 and 63 need one more; 64 is a whole block.
      {std::string(55, 'a'), "EF1772B6DFF9A122358552954AD0DF65"},
      {std::string(56, 'a'), "3B0C8AC703F828B04C6C197006D17218"},
      {std::string(63, 'a'), "B06521F39153D618550606BE297466D5"},
      {std::string(64, 'a'), "014842D480B571495A4A0363793F7367"}};
  for (const auto& [message, digest] : suite) {
    MStr hex;
    MMD5::Digest(message.data(), static_cast<int>(message.size()), &hex);
    EXPECT_STREQ(hex.c_str(), digest) << message;
  }
  char binary[17];
  binary[16] = 0x5A;
  MMD5::Digest("abc", 3, binary);  // exactly 16 bytes
  EXPECT_EQ(std::memcmp(binary,
                        "\x90\x01\x50\x98\x3C\xD2\x4F\xB0\xD6\x96\x3F\x7D\x28\xE1\x7F\x72\x5A", 17),
            0);
}

// Final zeroes the state, keeps the count: a second Final pads 512 bits from zero words.
TEST(MD5Context, NegativeLengthFeedsNothingAndFinalZeroesTheState) {
  MMD5 context;
  context.Init();
  context.Update("ab", 2);
  context.Update("zzz", -5);
  context.Update(nullptr, 7);
  context.Update("c", 1);
  MStr abc, zeroed;
  context.Final(&abc);
  context.Final(&zeroed);
  context.Final(static_cast<MStr*>(nullptr));  // nothing to write into, no fault
  EXPECT_STREQ(abc.c_str(), "900150983CD24FB0D6963F7D28E17F72");
  EXPECT_STREQ(zeroed.c_str(), "0128E69A2F15032790E7E004D45731DE");
}

}  // namespace
