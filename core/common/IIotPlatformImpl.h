// SPDX-License-Identifier: Apache-2.0
/// @file
/// The platform interface and `getSharedPlatformImpl`, which returns the one object behind it.

/// @class IIotPlatformImpl IIotPlatformImpl.h <hxcore/IIotPlatformImpl.h>
/// The client's one door to host services, and the shared object behind it.
///
/// `getSharedPlatformImpl()` creates the process's one platform object on its
/// first call (concurrent first callers get the same object) and returns it on
/// every call; the library owns it and never destroys it, so the client must not
/// delete it. The object itself takes no lock: callers serialise its use, and in
/// particular the first `signString`, `aesEncrypt` and `aesDecrypt`.
/// Failures are results, never exceptions: a failed signature, cipher or
/// decryption is "" with one error record (see each operation). Memory
/// exhaustion alone throws std::bad_alloc; the object then works as before
/// (a first signature or cipher not yet made is tried again). Strings go in
/// and out by value as UTF-8 bytes. Example:
/// @code
///   IIotPlatformImpl* p = getSharedPlatformImpl();
///   p->setEncryptedAppSecret(b64); std::string sig = p->signString("a=1&b=2", true);
/// @endcode
#pragma once

#include <string>

#include "IotZoRiskControlInfo.h"
#include "hxcore_export.h"

class HXCORE_API IIotPlatformImpl {
 public:
  virtual ~IIotPlatformImpl();

  /// Short name of the operating system ("Win8/+", "Win7", ... "WinServer",
  /// "Unknown"), worked out once and then kept.
  virtual std::string getOsVersionName() = 0;
  /// Always "WIFI"; nothing is probed.
  virtual std::string getNetworkType() = 0;
  /// Stored and never read.
  virtual void setHostString(std::string value) = 0;
  /// Accepted and ignored.
  virtual void setSpareString(std::string value) = 0;
  /// File name of the running executable ("client.exe"), kept after the first call.
  virtual std::string getExecutableName() = 0;
  /// Two-letter language of the user's locale ("en"); "zh" and one error record
  /// when the locale cannot be read.
  virtual std::string getLanguageCode() = 0;
  /// Two-letter region of the user's locale ("US"); "CN" and one error record
  /// when the locale cannot be read, "CN" without a record when the locale
  /// names no region.
  virtual std::string getLocale() = 0;
  /// Sets the C run-time's LC_TIME locale; an unknown name changes nothing.
  virtual void setTimeLocale(std::string value) = 0;
  /// Keeps the application key that `getAppKey` returns and the record carries.
  virtual void setAppKey(std::string value) = 0;
  /// Base64 of the RSA (PKCS #1 v1.5) ciphertext of the application secret.
  /// Once a signature has been made, a new value no longer changes the secret.
  virtual void setEncryptedAppSecret(std::string value) = 0;
  /// "" until `setAppKey`.
  virtual std::string getAppKey() = 0;
  /// HMAC-SHA1 of `stringToSign` under the application secret: 28 Base64
  /// characters, or 40 lower-case hexadecimal ones. The first call decrypts the
  /// secret; while that fails every call returns "" and logs.
  virtual std::string signString(std::string stringToSign, bool base64) = 0;
  /// Writes one top-level key of ".iot_smart_config.ini" in the application's
  /// directory (the working directory without a QCoreApplication). True when the
  /// file on disk holds the value as the call returns; otherwise false with one
  /// error record saying why (a full disk, a file that cannot be read or is
  /// read-only, a symbolic link at the file's path, its lock "<file>.lock" not
  /// taken within 2 s), and the file keeps what it held. The file is written
  /// whole beside itself, read back, and put in place in one step: a link
  /// planted at its path is never written through, and a write never hangs.
  /// The file it writes is readable and writable by its owner only (0600 on
  /// POSIX). A value is written as UTF-8 text, except one Qt's INI writer would
  /// damage (characters outside the Basic Multilingual Plane such as emoji, or
  /// bytes that are not UTF-8): that one is written as "@ByteArray(...)" and
  /// reads back byte for byte. Keys must be UTF-8.
  virtual bool setConfigValue(std::string key, std::string value) = 0;
  /// The value under `key`, or "" when the key or the file is absent.
  virtual std::string getConfigValue(std::string key) = 0;
  /// Base64 of the AES-128-CBC (PKCS #7) ciphertext of `plain`; "" is encrypted
  /// too (24 characters).
  virtual std::string aesEncrypt(std::string plain) = 0;
  /// Inverse of `aesEncrypt`; "" for "". A malformed last block yields only the
  /// blocks before it.
  virtual std::string aesDecrypt(std::string cipherBase64) = 0;
  /// Refills thirteen fields of the object's own record (versions, network,
  /// executable, key, platform, locale, fixed flags) and returns it; the other
  /// twelve fields keep what the client set.
  virtual IotZoRiskControlInfo& getRiskControlInfo() = 0;

  /// Decrypts the Base64 text `cipherBase64` (PKCS #1 v1.5) with the RSA key in
  /// `privateKeyPem`. Returns "" after one error record on an empty or non-Base64
  /// ciphertext, an unloadable key, or a failed decryption (wrong key, padding or
  /// length). Thread-safe.
  static std::string opensslRsaDecrypt(const std::string& cipherBase64,
                                       const std::string& privateKeyPem);
};

extern "C" {

/// The process's one platform object, created on the first call; never null.
HXCORE_API IIotPlatformImpl* getSharedPlatformImpl();

}  // extern "C"
