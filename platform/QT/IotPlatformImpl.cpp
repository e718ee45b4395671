// SPDX-License-Identifier: Apache-2.0
// The platform object over Qt, and the process's shared instance.
#include "IotPlatformImpl.h"

#include <QCoreApplication>
#include <QSettings>
#include <QString>
#include <QVariant>
#include <mutex>

#include "../Windows/IotAppUtils.h"
#include "detail/base64.h"
#include "detail/log.h"
#include "detail/openssl_crypto.h"

namespace {

constexpr char kSettingsFileName[] = ".iot_smart_config.ini";
constexpr size_t kAesTextLength = 32;
constexpr size_t kSignatureBufferSize = 64;

std::mutex sharedInstanceMutex;
IIotPlatformImpl* sharedInstance = nullptr;

// The application's directory, "." when there is none (no QCoreApplication).
QString applicationDirectory() {
  const QString directory =
      QCoreApplication::instance() != nullptr ? QCoreApplication::applicationDirPath() : QString();
  return directory.isEmpty() ? QStringLiteral(".") : directory;
}

QString defaultSettingsPath() {
  // One substitution pass, so a directory holding "%2" stays as it is.
  return QCoreApplication::translate("QSettings", "%1/%2")
      .arg(applicationDirectory(), QLatin1String(kSettingsFileName));
}

QString fromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

// Qt 5's INI writer encodes each UTF-16 unit on its own, so a surrogate pair
// (an emoji) is dropped from the file, and text that is not UTF-8 is replaced
// on conversion. Such a value is stored as a byte array, which Qt writes as
// "@ByteArray(...)" with "\x" escapes and reads back byte for byte.
QVariant storableValue(const std::string& value) {
  const QString text = fromUtf8(value);
  bool plain = text.toUtf8() == QByteArray(value.data(), static_cast<int>(value.size()));
  for (const QChar c : text) plain = plain && !c.isSurrogate();
  return plain ? QVariant(text)
               : QVariant(QByteArray(value.data(), static_cast<int>(value.size())));
}

std::string hexOf(const unsigned char* bytes, size_t length) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex(length * 2, '\0');
  for (size_t i = 0; i < length; ++i) {
    hex[2 * i] = kDigits[bytes[i] >> 4];
    hex[2 * i + 1] = kDigits[bytes[i] & 0xF];
  }
  return hex;
}

}  // namespace

IotPlatformImpl::IotPlatformImpl()
    : IotPlatformImpl(defaultSettingsPath().toUtf8().toStdString(),
                      hxcore::detail::builtInSecrets()) {}

IotPlatformImpl::IotPlatformImpl(const std::string& settingsPath,
                                 const hxcore::detail::StoredSecrets& secrets)
    : settings(std::make_unique<QSettings>(fromUtf8(settingsPath), QSettings::IniFormat)),
      secrets(secrets) {
  settings->setIniCodec("UTF-8");
  HX_LOG_DEBUG("IotPlatformImpl::IotPlatformImpl", "ini path=%s %x", settingsPath.c_str(),
               settings->isWritable() ? 1u : 0u);
}

// Deleting the settings writes what is pending.
IotPlatformImpl::~IotPlatformImpl() = default;

std::string IotPlatformImpl::getOsVersionName() {
  return IotAppUtils::instance()->getOsVersionName();
}

std::string IotPlatformImpl::getNetworkType() { return IotAppUtils::instance()->getNetworkType(); }

void IotPlatformImpl::setHostString(std::string value) {
  IotAppUtils::instance()->setHostString(std::move(value));
}

// Nothing in the library has a use for this string.
void IotPlatformImpl::setSpareString(std::string /*value*/) {}

std::string IotPlatformImpl::getExecutableName() {
  return IotAppUtils::instance()->getExecutableName();
}

std::string IotPlatformImpl::getLanguageCode() {
  return IotAppUtils::instance()->getLanguageCode();
}

std::string IotPlatformImpl::getLocale() { return IotAppUtils::instance()->getLocale(); }

void IotPlatformImpl::setTimeLocale(std::string value) {
  IotAppUtils::instance()->setTimeLocale(std::move(value));
}

void IotPlatformImpl::setAppKey(std::string value) { appKey = std::move(value); }

void IotPlatformImpl::setEncryptedAppSecret(std::string value) {
  encryptedAppSecret = std::move(value);
}

std::string IotPlatformImpl::getAppKey() { return appKey; }

void IotPlatformImpl::deriveAppSecret() {
  const std::string privateKeyPem =
      hxcore::detail::restoreLineBreaks(hxcore::detail::revealStoredString(secrets.privateKey));
  std::string secret = opensslRsaDecrypt(encryptedAppSecret, privateKeyPem);
  if (secret.empty()) return;
  // The secret is kept only with a keyed signer, so a signer OpenSSL could not key (no memory)
  // is made again by the next call instead of failing every call after it.
  auto keyed = std::make_unique<hxcore::detail::HmacSha1>(secret);
  if (!keyed->ready()) return;
  signer = std::move(keyed);
  appSecret = std::move(secret);
}

std::string IotPlatformImpl::signString(std::string stringToSign, bool base64) {
  constexpr char kFunction[] = "IotPlatformImpl::signString";
  if (appSecret.empty()) deriveAppSecret();
  if (appSecret.empty())
    return HX_FAIL(std::string(), kFunction,
                   "ignore string to sign due to decrypt appSecret failed.");
  unsigned char digest[hxcore::detail::HmacSha1::kDigestSize];
  if (!signer->sign(stringToSign, digest))
    return HX_FAIL(std::string(), kFunction, "HMAC-SHA1 failed.");
  if (!base64) return hexOf(digest, sizeof(digest));
  char text[kSignatureBufferSize] = {};
  hxcore::detail::base64Encode(digest, sizeof(digest), text, sizeof(text));
  return text;
}

bool IotPlatformImpl::setConfigValue(std::string key, std::string value) {
  settings->setValue(fromUtf8(key), storableValue(value));
  settings->sync();
  return true;
}

std::string IotPlatformImpl::getConfigValue(std::string key) {
  const QVariant value = settings->value(fromUtf8(key), QString());
  if (value.type() == QVariant::ByteArray) return value.toByteArray().toStdString();
  return value.toString().toUtf8().toStdString();
}

bool IotPlatformImpl::loadAESKeyAndIV() {
  constexpr char kFunction[] = "IotPlatformImpl::loadAESKeyAndIV";
  if (aesKey.empty()) {
    aesKey = hxcore::detail::revealStoredString(secrets.aesKey).substr(0, kAesTextLength);
    if (aesKey.empty()) return HX_FAIL(false, kFunction, "AES key invalid.");
  }
  if (aesIv.empty()) {
    aesIv = hxcore::detail::revealStoredString(secrets.aesIv).substr(0, kAesTextLength);
    if (aesIv.empty()) return HX_FAIL(false, kFunction, "AES iv invalid.");
  }
  return true;
}

std::string IotPlatformImpl::aesEncrypt(std::string plain) {
  if (!loadAESKeyAndIV()) return std::string();
  std::string text;
  hxcore::detail::base64Encode(hxcore::detail::aesCbcEncrypt(plain, aesKey, aesIv), text);
  return text;
}

std::string IotPlatformImpl::aesDecrypt(std::string cipherBase64) {
  if (!loadAESKeyAndIV() || cipherBase64.empty()) return std::string();
  std::string cipher;
  hxcore::detail::base64Decode(cipherBase64, cipher);  // a partial decode is still deciphered
  return hxcore::detail::aesCbcDecrypt(cipher, aesKey, aesIv);
}

IotZoRiskControlInfo& IotPlatformImpl::getRiskControlInfo() {
  riskControlInfo.setAppVersion("1.0.0");
  riskControlInfo.setAppVersionName("1.0.0");
  riskControlInfo.setSdkVersion("2.7.4-wexa-qt");
  riskControlInfo.setNetType(getNetworkType());
  riskControlInfo.setAppId(getExecutableName());
  riskControlInfo.setAppKey(appKey);
  riskControlInfo.setPlatformName("Windows");
  riskControlInfo.setBrand("Microsoft");
  riskControlInfo.setModel(getOsVersionName());
  riskControlInfo.setPlatformVersion(getOsVersionName());
  riskControlInfo.setLocale(getLocale());
  riskControlInfo.setUseH5Gk("true");
  riskControlInfo.setSignType("RSA");
  return riskControlInfo;
}

std::string IotPlatformImpl::settingsFilePath() const {
  return settings->fileName().toUtf8().toStdString();
}

extern "C" IIotPlatformImpl* getSharedPlatformImpl() {
  std::lock_guard<std::mutex> lock(sharedInstanceMutex);
  if (sharedInstance == nullptr) sharedInstance = new IotPlatformImpl();
  return sharedInstance;
}
