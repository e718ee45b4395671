// SPDX-License-Identifier: Apache-2.0
/// @class mvc::MMD5 MMD5.h <hxcore/MMD5.h>
/// The MD5 message digest of RFC 1321.
///
/// Incremental (`Init`, any number of `Update`, one `Final`) or one-shot
/// (`Digest`), giving 16 raw bytes or 32 upper-case hexadecimal characters in an
/// `MStr`. A context owns no heap memory; copying one mid-message gives two
/// contexts that finish independently. `Final` zeroes the state: `Init` again
/// before the next message. A context is not thread-safe; `Digest` uses only a
/// local one. Nothing is reported: a negative length or a null data pointer
/// feeds nothing, a null destination receives nothing. Example:
/// @code
///   mvc::MStr hex;
///   mvc::MMD5::Digest("abc", 3, &hex);   // "900150983CD24FB0D6963F7D28E17F72"
/// @endcode
#pragma once

#include "MStr.h"
#include "hxcore_export.h"

namespace mvc {

class HXCORE_API MMD5 {
 public:
  /// Leaves the context undefined until `Init`.
  MMD5() {}
  /// Copies state, count and pending input: the copy finishes independently.
  MMD5(const MMD5& other) = default;
  ~MMD5() = default;
  /// Copies state, count and pending input.
  MMD5& operator=(const MMD5& other) = default;

  /// Starts a message; the pending-input buffer is not cleared (it is unused).
  void Init();
  /// Feeds `length` bytes; nothing for a length <= 0 or a null pointer.
  void Update(const char* data, int length);
  /// Finishes the message, writes the 16 digest bytes (no terminator) and zeroes
  /// the state.
  void Final(char* const digest);
  /// As above, assigning the 32-character upper-case hexadecimal text.
  void Final(MStr* digest);

  /// One-shot: `Init`, `Update(data, length)` and `Final(digest)` on a local
  /// context, so any number of threads may call it at once.
  static void Digest(const char* data, int length, MStr* digest);
  /// @overload
  static void Digest(const char* data, int length, char* const digest);

 protected:
  /// The compression function over one 64-byte block.
  void Transform(unsigned char* const block);
  ///@{
  /// Little-endian words to bytes and back, ceil(length / 4) words.
  static void Encode(unsigned char* output, const unsigned int* input, int length);
  static void Decode(unsigned int* output, const unsigned char* input, int length);
  ///@}

 private:
  unsigned int state_[4];
  unsigned int count_[2];  // message length in bits, low word first
  unsigned char buffer_[64];
};

}  // namespace mvc
