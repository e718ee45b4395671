// The built library holds its secrets only in scrambled form: no line of the
// private key, no PEM marker and neither AES text can be found in the file.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "QT/platform_test_support.h"

namespace {

const std::string& library() {
  static const std::string bytes = hxtest::readFile(HXCORE_TEST_LIBRARY_FILE);
  return bytes;
}

TEST(StoredSecretsScan, LibraryIsThere) { ASSERT_GT(library().size(), 10000u); }

TEST(StoredSecretsScan, NoPrivateKeyTextInTheLibrary) {
  const std::string pem = hxtest::secretFile("rsa_private_key.pem");
  ASSERT_NE(pem.find("PRIVATE KEY"), std::string::npos);
  EXPECT_EQ(library().find("PRIVATE KEY"), std::string::npos);
  EXPECT_EQ(library().find("-----BEGIN"), std::string::npos);
  std::istringstream lines(pem);
  std::string line;
  int checked = 0;
  while (std::getline(lines, line)) {
    if (line.size() < 16 || line[0] == '-') continue;
    EXPECT_EQ(library().find(line.substr(0, 16)), std::string::npos) << line;
    ++checked;
  }
  EXPECT_GT(checked, 20);
}

TEST(StoredSecretsScan, NoAesTextInTheLibrary) {
  for (const char* name : {"aes_key.txt", "aes_iv.txt"}) {
    std::string text = hxtest::secretFile(name);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    ASSERT_EQ(text.size(), 32u);
    EXPECT_EQ(library().find(text.substr(0, 12)), std::string::npos) << name;
    EXPECT_EQ(library().find(text.substr(20)), std::string::npos) << name;
  }
}

}  // namespace
