// SPDX-License-Identifier: Apache-2.0
// No line of the private key, not its PEM markers and neither AES text is in the built library.
#include "QT/platform_test_support.h"

namespace {

TEST(StoredSecretsScan, NoKeyOrAesTextInTheLibrary) {
  const std::string library = hxtest::readFile(HXCORE_TEST_LIBRARY_FILE);
  ASSERT_GT(library.size(), 10000u);
  // The key's marker lines whole: OpenSSL, linked into the DLL, holds their parts.
  std::vector<std::string> needles;
  std::istringstream pem(hxtest::secretFile("rsa_private_key.pem"));
  for (std::string line; std::getline(pem, line);) {
    if (line.size() >= 16) needles.push_back(line[0] == '-' ? line : line.substr(0, 16));
  }
  ASSERT_GT(needles.size(), 20u);
  for (const char* name : {"aes_key.txt", "aes_iv.txt"}) {
    const std::string text = hxtest::secretFile(name).substr(0, 32);  // what the library keeps
    ASSERT_EQ(text.size(), 32u) << name;
    needles.insert(needles.end(), {text.substr(0, 12), text.substr(20)});
  }
  for (const std::string& needle : needles) {
    EXPECT_EQ(library.find(needle), std::string::npos) << needle;
  }
}

}  // namespace
