#include "MMD5.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using mvc::MMD5;
using mvc::MStr;

// The digest of `message` fed in pieces of `piece` bytes.
std::string hex_in_pieces(const std::string& message, size_t piece) {
  MMD5 context;
  context.Init();
  for (size_t at = 0; at < message.size(); at += piece) {
    context.Update(message.data() + at, static_cast<int>(std::min(piece, message.size() - at)));
  }
  MStr hex;
  context.Final(&hex);
  return hex.c_str();
}

TEST(MD5Digest, MatchesTheRfc1321SuiteAndPaddingBoundariesInAnySplit) {
  const std::pair<std::string, const char*> suite[] = {
      {"", "D41D8CD98F00B204E9800998ECF8427E"},
      {"a", "0CC175B9C0F1B6A831C399E269772661"},
      {"abc", "900150983CD24FB0D6963F7D28E17F72"},
      {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
      {"abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "D174AB98D277D9F5A5611C2C9F419D9F"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57EDF4A22BE3C955AC49DA2E2107B67A"},
      // 55 bytes pad within the block; 56 and 63 need one more; 64 is a whole block.
      {std::string(55, 'a'), "EF1772B6DFF9A122358552954AD0DF65"},
      {std::string(56, 'a'), "3B0C8AC703F828B04C6C197006D17218"},
      {std::string(63, 'a'), "B06521F39153D618550606BE297466D5"},
      {std::string(64, 'a'), "014842D480B571495A4A0363793F7367"},
  };
  for (const auto& [message, digest] : suite) {
    MStr hex;
    MMD5::Digest(message.data(), static_cast<int>(message.size()), &hex);
    EXPECT_STREQ(hex.c_str(), digest) << message;
    for (size_t piece : {1, 3, 63, 64, 65})
      EXPECT_EQ(hex_in_pieces(message, piece), digest) << piece;
  }
}

TEST(MD5Digest, BinaryFormWritesExactly16Bytes) {
  char out[17];
  std::memset(out, 0x5A, sizeof out);
  MMD5::Digest(nullptr, 0, out);
  EXPECT_EQ(
      std::memcmp(out, "\xD4\x1D\x8C\xD9\x8F\x00\xB2\x04\xE9\x80\x09\x98\xEC\xF8\x42\x7E", 16), 0);
  EXPECT_EQ(out[16], 0x5A);
}

TEST(MD5Context, NegativeLengthFeedsNothingAndFinalZeroesTheState) {
  MMD5 context;
  context.Init();
  context.Update("abc", 3);
  context.Update("zzz", -5);
  context.Update(nullptr, 7);
  MMD5 copy;
  copy = context;
  MStr hex;
  context.Final(&hex);
  EXPECT_STREQ(hex.c_str(), "900150983CD24FB0D6963F7D28E17F72");
  context.Final(&hex);  // no Init: a zero state, another digest
  EXPECT_STRNE(hex.c_str(), "900150983CD24FB0D6963F7D28E17F72");
  context.Final(static_cast<MStr*>(nullptr));  // nothing to write into, no fault
  copy.Final(&hex);
  EXPECT_STREQ(hex.c_str(), "900150983CD24FB0D6963F7D28E17F72");
}

TEST(MD5Examples, HeaderExampleRuns) {
  mvc::MStr hex;
  mvc::MMD5::Digest("abc", 3, &hex);
  EXPECT_STREQ(hex.c_str(), "900150983CD24FB0D6963F7D28E17F72");
}

}  // namespace
