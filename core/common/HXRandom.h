// SPDX-License-Identifier: Apache-2.0
/// @class HXRandom HXRandom.h <hxcore/HXRandom.h>
/// Random identifiers of letters and digits, from OpenSSL's generator.
///
/// `getRandomGUID(len)` returns `len` characters from A-Z, a-z and 0-9: a plain run with no
/// hyphens, braces or layout. Each character is one random byte taken modulo 62, so A to H
/// come up with probability 5/256 and every other character with 4/256. Static members only;
/// constructing, copying or destroying an HXRandom does nothing.
/// Thread-safe: any number of threads may call at once. Failure: a length below 0 or of 64
/// or more gives "" and one error record; a failure of the generator is not reported.
/// Example:
/// @code
///   std::string id = HXRandom::getRandomGUID(32);   // 32 characters
///   if (HXRandom::getRandomGUID(64).empty()) { /* refused, one error record written */ }
/// @endcode
#pragma once

#include <string>

#include "hxcore_export.h"

class HXCORE_API HXRandom {
 public:
  /// `len` characters drawn from the 62 letters and digits; "" for 0 (with no record), and ""
  /// with the record "len should less than 64" for a negative length or one of 64 or more.
  static std::string getRandomGUID(int len);
};
