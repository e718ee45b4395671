// SPDX-License-Identifier: Apache-2.0
// IotPlatformImpl.h - the platform interface over Qt 5 Core: the settings file,
// the secrets, signing, AES and the host probes.
//
// The library's shared object (`getSharedPlatformImpl`) is one of these; tests
// and tools may make their own with a settings path and stored secrets of their
// choosing. Owns its QSettings and its record. Not thread-safe: no member is
// guarded, and the first `signString`, `aesEncrypt` or `aesDecrypt` decodes
// shared stored secrets in place. Failures are "" and one error record (see
// IIotPlatformImpl.h). Values Qt's INI writer cannot reproduce (characters
// outside the Basic Multilingual Plane, bytes that are not UTF-8) are written in
// Qt's "@ByteArray(...)" form, so they come back byte for byte. Example:
//   IotPlatformImpl platform("/tmp/test.ini", hxcore::detail::built_in_secrets());
//   platform.setConfigValue("lang", "fr");
#pragma once

#include <memory>
#include <string>

#include "IIotPlatformImpl.h"
#include "detail/stored_secrets.h"

class QSettings;

namespace hxcore::detail {
class HmacSha1;
}

class IotPlatformImpl : public IIotPlatformImpl {
 public:
  // The settings file ".iot_smart_config.ini" in the application's directory
  // ("." without a QCoreApplication), and the library's own secrets.
  IotPlatformImpl();
  IotPlatformImpl(const std::string& settingsPath, const hxcore::detail::StoredSecrets& secrets);
  ~IotPlatformImpl() override;
  IotPlatformImpl(const IotPlatformImpl&) = delete;
  IotPlatformImpl& operator=(const IotPlatformImpl&) = delete;

  std::string getOsVersionName() override;
  std::string getNetworkType() override;
  void setHostString(std::string value) override;
  void setSpareString(std::string value) override;
  std::string getExecutableName() override;
  std::string getLanguageCode() override;
  std::string getLocale() override;
  void setTimeLocale(std::string value) override;
  void setAppKey(std::string value) override;
  void setEncryptedAppSecret(std::string value) override;
  std::string getAppKey() override;
  std::string signString(std::string stringToSign, bool base64) override;
  bool setConfigValue(std::string key, std::string value) override;
  std::string getConfigValue(std::string key) override;
  std::string aesEncrypt(std::string plain) override;
  std::string aesDecrypt(std::string cipherBase64) override;
  IotZoRiskControlInfo& getRiskControlInfo() override;

  // Loads the AES key and IV (32 characters each) on the first call; false
  // after "AES key invalid." or "AES iv invalid." when one comes out empty.
  bool loadAESKeyAndIV();

  // The settings file's path as QSettings reports it.
  std::string settingsFilePath() const;

 private:
  // Unscrambles the private key, restores its line breaks and decrypts
  // `encryptedAppSecret` with it into `appSecret`.
  void deriveAppSecret();

  std::string appKey;
  std::string encryptedAppSecret;
  std::string appSecret;
  std::string aesKey;
  std::string aesIv;
  std::unique_ptr<QSettings> settings;
  IotZoRiskControlInfo riskControlInfo;
  hxcore::detail::StoredSecrets secrets;
  // The MAC keyed with `appSecret`, made when the secret is derived.
  std::unique_ptr<hxcore::detail::HmacSha1> signer;
};
