// The built library holds its secrets only in scrambled form: no line of the
// private key, no PEM marker and neither AES text can be found in the file.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "QT/platform_test_support.h"

namespace {

TEST(StoredSecretsScan, NoKeyOrAesTextInTheLibrary) {
  const std::string library = hxtest::readFile(HXCORE_TEST_LIBRARY_FILE);
  ASSERT_GT(library.size(), 10000u);
  std::istringstream pem(hxtest::secretFile("rsa_private_key.pem"));
  int checked = 0;
  for (std::string line; std::getline(pem, line);) {
    const bool marker = line.rfind("-----", 0) == 0;
    if (!marker && line.size() < 16) continue;
    EXPECT_EQ(library.find(marker ? "PRIVATE KEY" : line.substr(0, 16)), std::string::npos) << line;
    checked += !marker;
  }
  EXPECT_GT(checked, 20);
  EXPECT_EQ(library.find("-----BEGIN"), std::string::npos);
  for (const char* name : {"aes_key.txt", "aes_iv.txt"}) {
    std::string text = hxtest::secretFile(name);
    text.erase(text.find_last_not_of("\r\n") + 1);
    ASSERT_EQ(text.size(), 32u);
    EXPECT_EQ(library.find(text.substr(0, 12)), std::string::npos) << name;
    EXPECT_EQ(library.find(text.substr(20)), std::string::npos) << name;
  }
}

}  // namespace
