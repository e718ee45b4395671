// SPDX-License-Identifier: Apache-2.0
#include "hxcore_version.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Version, LibraryTextIsTheHeaderVersionBuiltFromItsNumbers) {
  const std::string from_numbers = std::to_string(HXCORE_VERSION_MAJOR) + "." +
                                   std::to_string(HXCORE_VERSION_MINOR) + "." +
                                   std::to_string(HXCORE_VERSION_PATCH);
  EXPECT_EQ(HXCORE_VERSION_STRING, from_numbers);
  EXPECT_EQ(hxcore_version(), from_numbers);
}

}  // namespace
