// SPDX-License-Identifier: Apache-2.0
// The platform object over Qt, and the process's shared instance.
#include "IotPlatformImpl.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QString>
#include <QTemporaryFile>
#include <QVariant>
#include <mutex>

#include "../Windows/IotAppUtils.h"
#include "detail/base64.h"
#include "detail/hex.h"
#include "detail/log.h"
#include "detail/openssl_crypto.h"
#include "detail/os_file.h"
#include "detail/wiped_string.h"

namespace {

constexpr char kSettingsFileName[] = ".iot_smart_config.ini";
constexpr size_t kAesTextLength = 32;
constexpr size_t kSignatureBufferSize = 64;
// How long a write waits for the settings file's lock (held a few milliseconds by a writer).
constexpr int kSettingsLockWaitMs = 2000;

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

std::string pathText(const QString& path) { return path.toUtf8().toStdString(); }

// Copies the file at `path`, if there is one, into `staged`: "" when done, else why not.
std::string copyInto(const QString& path, QFile& staged) {
  QFile current(path);
  if (!current.exists()) return std::string();
  if (!current.open(QIODevice::ReadOnly)) return "it cannot be read.";
  const QByteArray bytes = current.readAll();
  if (current.error() != QFileDevice::NoError) return "it cannot be read.";
  if (staged.write(bytes) != bytes.size() || !staged.flush())
    return "its copy could not be written (is the disk full?).";
  return std::string();
}

// True when `path` holds every key of `written` with its value, as a fresh
// reader parses it. Qt 5 reports a short write (a full disk) at the end of a
// small file as success, so what was written is read back. `path` must never
// have been opened by a QSettings before, or Qt would answer from its cache.
bool holdsAll(const QString& path, const QSettings& written) {
  QSettings reader(path, QSettings::IniFormat);
  reader.setIniCodec("UTF-8");
  const QStringList keys = written.allKeys();
  if (reader.status() != QSettings::NoError || reader.allKeys() != keys) return false;
  for (const QString& key : keys)
    if (reader.value(key) != written.value(key)) return false;
  return true;
}

// QSettings reads a file again only when its size or time changed: a rewrite
// of the same size in the same millisecond would go unseen, so the new file is
// dated after the one it replaces.
void dateAfter(const QString& path, const QString& replaced) {
  const QDateTime before = QFileInfo(replaced).lastModified();
  QFile file(path);
  if (before.isValid() && QFileInfo(path).lastModified() <= before && file.open(QIODevice::Append))
    file.setFileTime(before.addMSecs(1), QFileDevice::FileModificationTime);
}

// Writes `path` again with `key` set: a copy beside it (created 0600 by
// QTemporaryFile) gets the change through QSettings, is read back, and
// replaces `path` in one step. `path` itself is never opened for writing, so a
// failure leaves it whole. "" when done, else why not.
std::string replaceWithKeySet(const QString& path, const QString& key, const QVariant& value) {
  if (QFileInfo::exists(path) && !QFileInfo(path).isWritable()) return "it is read-only.";
  // The copy is made, closed and let go before QSettings writes it: on Windows
  // a file a QTemporaryFile object still holds cannot be replaced by another.
  QString stagedName;
  std::string problem;
  {
    QTemporaryFile staged(path + QLatin1String(".XXXXXX"));
    staged.setAutoRemove(false);
    if (!staged.open()) return "no file can be made beside it.";
    stagedName = staged.fileName();
    problem = copyInto(path, staged);
  }
  if (!problem.empty()) {
    QFile::remove(stagedName);
    return problem;
  }
  const QString checked = stagedName + QLatin1String(".checked");
  {
    QSettings writer(stagedName, QSettings::IniFormat);
    writer.setIniCodec("UTF-8");
    writer.setValue(key, value);
    writer.sync();
    if (writer.status() != QSettings::NoError ||
        !hxcore::detail::os_replace_file(pathText(stagedName), pathText(checked)) ||
        !holdsAll(checked, writer)) {
      problem = "its new contents could not be written (is the disk full?).";
    }
  }
  if (problem.empty()) {
    dateAfter(checked, path);
    if (!hxcore::detail::os_replace_file(pathText(checked), pathText(path)))
      problem = "it could not be replaced.";
  }
  // Left only when they did not take the file's place.
  QFile::remove(stagedName);
  QFile::remove(checked);
  return problem;
}

std::string hexOf(const unsigned char* bytes, size_t length) {
  std::string hex(length * 2, '\0');
  hxcore::detail::write_hex(&hex[0], bytes, length, hxcore::detail::kLowerHexDigits);
  return hex;
}

}  // namespace

IotPlatformImpl::IotPlatformImpl()
    : IotPlatformImpl(defaultSettingsPath().toUtf8().toStdString(),
                      hxcore::detail::built_in_secrets()) {}

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
  // The PEM text with its line breaks back is the one transient copy of the key.
  hxcore::detail::WipedString privateKeyPem(hxcore::detail::reveal_stored_string(secrets.privateKey));
  privateKeyPem.shrink(
      hxcore::detail::restore_line_breaks_in_place(privateKeyPem.data(), privateKeyPem.size()));
  std::string secret = opensslRsaDecrypt(encryptedAppSecret, privateKeyPem.str());
  if (secret.empty()) return;
  // The secret is kept only with a keyed signer, so a signer OpenSSL could not key (no memory)
  // is made again by the next call instead of failing every call after it.
  auto keyed = std::make_unique<hxcore::detail::HmacSha1>(secret);
  if (!keyed->ready()) {
    OPENSSL_cleanse(secret.data(), secret.size());
    return;
  }
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
  hxcore::detail::base64_encode(digest, sizeof(digest), text, sizeof(text));
  return text;
}

bool IotPlatformImpl::setConfigValue(std::string key, std::string value) {
  constexpr char kFunction[] = "IotPlatformImpl::setConfigValue";
  const QString path = settings->fileName();
  const std::string shown = pathText(path);
  // The lock QSettings itself takes, so writers in other processes take turns.
  QLockFile lock(path + QLatin1String(".lock"));
  if (!lock.tryLock(kSettingsLockWaitMs)) {
    return HX_FAIL(false, kFunction,
                   "settings file %s not written: its lock %s.lock could not be taken.",
                   shown.c_str(), shown.c_str());
  }
  if (hxcore::detail::os_is_link(shown)) {
    return HX_FAIL(false, kFunction, "settings file %s not written: it is a symbolic link.",
                   shown.c_str());
  }
  const std::string problem = replaceWithKeySet(path, fromUtf8(key), storableValue(value));
  if (!problem.empty()) {
    return HX_FAIL(false, kFunction, "settings file %s not written: %s", shown.c_str(),
                   problem.c_str());
  }
  settings->sync();  // reads the new file
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
    aesKey.assign(hxcore::detail::reveal_stored_string(secrets.aesKey).substr(0, kAesTextLength));
    if (aesKey.empty()) return HX_FAIL(false, kFunction, "AES key invalid.");
  }
  if (aesIv.empty()) {
    aesIv.assign(hxcore::detail::reveal_stored_string(secrets.aesIv).substr(0, kAesTextLength));
    if (aesIv.empty()) return HX_FAIL(false, kFunction, "AES iv invalid.");
  }
  return true;
}

std::string IotPlatformImpl::aesEncrypt(std::string plain) {
  if (!loadAESKeyAndIV()) return std::string();
  std::string text;
  hxcore::detail::base64_encode(hxcore::detail::aes_cbc_encrypt(plain, aesKey, aesIv), text);
  return text;
}

std::string IotPlatformImpl::aesDecrypt(std::string cipherBase64) {
  if (!loadAESKeyAndIV() || cipherBase64.empty()) return std::string();
  std::string cipher;
  hxcore::detail::base64_decode(cipherBase64, cipher);  // a partial decode is still deciphered
  return hxcore::detail::aes_cbc_decrypt(cipher, aesKey, aesIv);
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
