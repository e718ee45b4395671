// SPDX-License-Identifier: Apache-2.0
// The shared platform object, in a process of its own: its secret is derived once, here.
#include <gtest/gtest.h>

#include "IIotPlatformImpl.h"
#include "platform_test_support.h"

namespace {

TEST(SharedPlatform, ConcurrentFirstCallsGetOneInstanceThatServesTheTypicalRequest) {
  std::vector<IIotPlatformImpl*> seen(8, nullptr);
  hxtest::runTogether(8, [&](int i) { seen[i] = getSharedPlatformImpl(); });
  IIotPlatformImpl* platform = getSharedPlatformImpl();
  ASSERT_NE(platform, nullptr);
  EXPECT_EQ(seen, std::vector<IIotPlatformImpl*>(8, platform));
  platform->setAppKey("demo-key");
  platform->setEncryptedAppSecret(hxtest::encryptedForLibrary("shared secret"));
  EXPECT_EQ(platform->signString("a=1", true),
            hxtest::base64Of(hxtest::opensslHmacSha1("shared secret", "a=1")));
  EXPECT_EQ(platform->getRiskControlInfo().getAppKey(), "demo-key");
  // The real host probes: a Windows version (Wine passes for 7 or later), or none.
#ifdef _WIN32
  EXPECT_EQ(platform->getOsVersionName().rfind("Win", 0), 0u);
  EXPECT_EQ(platform->getExecutableName(), "hxcore_platform_shared_test.exe");
#else
  EXPECT_EQ(platform->getOsVersionName(), "Unknown");
  EXPECT_EQ(platform->getExecutableName(), "hxcore_platform_shared_test");
#endif
}

}  // namespace
