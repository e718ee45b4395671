// SPDX-License-Identifier: Apache-2.0
// hxcore_scramble_secrets SECRETS_DIR OUTPUT: turns a folder of secret material
// into the generated source that holds the library's stored secrets.
//
// The folder holds rsa_private_key.pem (an RSA private key), aes_key.txt and
// aes_iv.txt (32 characters each, a trailing line break is ignored) and
// scramble_key.txt (32 hexadecimal digits: the 16 key bytes, each group of
// four read as a little-endian word). The key's line breaks are stored as
// "==", and the library restores them by turning every "==" back into a
// break; a key line that ends in "=" would be mangled, so such material is
// refused. Exit status 0 on success, 1 with one message on standard error.
#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "detail/scrambled_string.h"

namespace {

using hxcore::detail::ScrambleKey;

constexpr size_t kAesTextLength = 32;

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

std::string withoutTrailingLineBreaks(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

std::string readAesText(const std::string& path) {
  const std::string text = withoutTrailingLineBreaks(readFile(path));
  if (text.size() != kAesTextLength) {
    throw std::runtime_error(path + " must hold exactly 32 characters, it holds " +
                             std::to_string(text.size()));
  }
  if (text.find('\0') != std::string::npos) throw std::runtime_error(path + " holds a zero byte");
  return text;
}

ScrambleKey readScrambleKey(const std::string& path) {
  const std::string hex = withoutTrailingLineBreaks(readFile(path));
  if (hex.size() != 32 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
    throw std::runtime_error(path + " must hold 32 hexadecimal digits");
  }
  ScrambleKey key{};
  for (size_t byte = 0; byte < 16; ++byte) {
    const auto value = static_cast<uint32_t>(std::stoul(hex.substr(2 * byte, 2), nullptr, 16));
    key[byte / 4] |= value << (8 * (byte % 4));
  }
  return key;
}

// The PEM text with "\n" line breaks, checked to load as an RSA private key
// and to survive the "==" folding unchanged.
std::string readPrivateKey(const std::string& path) {
  std::string pem;
  for (const char c : readFile(path)) {
    if (c != '\r') pem += c;
  }
  if (pem.find('\0') != std::string::npos) throw std::runtime_error(path + " holds a zero byte");
  BIO* bio = BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size()));
  EVP_PKEY* key = bio != nullptr
                      ? PEM_read_bio_PrivateKey(bio, nullptr, nullptr, const_cast<char*>(""))
                      : nullptr;
  const bool rsa = key != nullptr && EVP_PKEY_is_a(key, "RSA") == 1;
  EVP_PKEY_free(key);
  BIO_free(bio);
  if (!rsa) throw std::runtime_error(path + " is not an unencrypted RSA private key in PEM form");

  std::istringstream lines(pem);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    if (!line.empty() && line.back() == '=') {
      throw std::runtime_error(
          path + ": line " + std::to_string(number) +
          " ends in \"=\", which the stored form (line breaks written as \"==\") "
          "cannot restore; generate another key");
    }
  }
  if (hxcore::detail::restore_line_breaks(hxcore::detail::fold_line_breaks(pem)) != pem) {
    throw std::runtime_error(path + " does not survive its line breaks being written as \"==\"");
  }
  return pem;
}

void writeStoredString(std::ostream& out, const char* name, const std::string& text,
                       const ScrambleKey& key) {
  std::vector<unsigned char> storage(hxcore::detail::scrambled_storage_size(text.size()));
  hxcore::detail::encode_scrambled_string(text.c_str(), storage.data(), nullptr, key);
  out << "unsigned char " << name << "[" << storage.size() << "] = {";
  for (size_t i = 0; i < storage.size(); ++i) {
    out << (i % 16 == 0 ? "\n    " : " ") << static_cast<unsigned>(storage[i]) << ",";
  }
  out << "\n};\n\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: hxcore_scramble_secrets SECRETS_DIR OUTPUT\n");
    return 1;
  }
  try {
    const std::string dir = argv[1];
    const std::string pem = readPrivateKey(dir + "/rsa_private_key.pem");
    const std::string aesKey = readAesText(dir + "/aes_key.txt");
    const std::string aesIv = readAesText(dir + "/aes_iv.txt");
    const ScrambleKey key = readScrambleKey(dir + "/scramble_key.txt");

    // The objects' names say nothing of what they hold (symbol tables and
    // debug information show them).
    std::ostringstream out;
    out << "// Generated by hxcore_scramble_secrets; do not edit.\n"
           "#include \"detail/stored_secrets.h\"\n\nnamespace hxcore::detail {\n\n"
           "const ScrambleKey kTable0 = {{"
        << key[0] << "u, " << key[1] << "u, " << key[2] << "u, " << key[3]
        << "u}};\n\nnamespace {\n\n";
    writeStoredString(out, "table1", hxcore::detail::fold_line_breaks(pem), key);
    writeStoredString(out, "table2", aesKey, key);
    writeStoredString(out, "table3", aesIv, key);
    out << "}  // namespace\n\n"
           "StoredSecrets built_in_secrets() {\n"
           "  return {{table1, sizeof(table1)}, {table2, sizeof(table2)}, {table3, sizeof(table3)}};\n"
           "}\n\n}  // namespace hxcore::detail\n";

    std::ofstream file(argv[2], std::ios::binary | std::ios::trunc);
    file << out.str();
    if (!file.flush()) throw std::runtime_error(std::string("cannot write ") + argv[2]);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "hxcore_scramble_secrets: %s\n", error.what());
    return 1;
  }
  return 0;
}
