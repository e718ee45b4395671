// The process-wide objects. This executable has its own process, so the shared
// platform object's secret is derived here once, by the test that means to.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "IIotPlatformImpl.h"
#include "IotAppUtils.h"
#include "platform_test_support.h"

namespace {

TEST(SharedPlatform, ConcurrentFirstCallsGetOneInstance) {
  constexpr int kThreads = 8;
  std::mutex mutex;
  std::condition_variable go;
  bool started = false;
  int waiting = 0;
  std::vector<IIotPlatformImpl*> seen(kThreads, nullptr);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&, i] {
      {
        std::unique_lock<std::mutex> lock(mutex);
        ++waiting;
        go.notify_all();
        go.wait(lock, [&] { return started; });
      }
      seen[i] = getSharedPlatformImpl();
    });
  }
  {
    std::unique_lock<std::mutex> lock(mutex);
    go.wait(lock, [&] { return waiting == kThreads; });
    started = true;
  }
  go.notify_all();
  for (std::thread& t : threads) t.join();
  ASSERT_NE(seen[0], nullptr);
  for (IIotPlatformImpl* p : seen) EXPECT_EQ(p, seen[0]);
  EXPECT_EQ(getSharedPlatformImpl(), seen[0]);
}

TEST(SharedPlatform, SignsTheTypicalRequestAndKeepsItsSecret) {
  IIotPlatformImpl* platform = getSharedPlatformImpl();
  platform->setAppKey("demo-key");
  platform->setEncryptedAppSecret(hxtest::encryptedForLibrary("shared secret"));
  const std::string first = platform->signString("a=1&b=2", true);
  EXPECT_EQ(first.size(), 28u);
  platform->setEncryptedAppSecret(hxtest::encryptedForLibrary("another secret"));
  EXPECT_EQ(platform->signString("a=1&b=2", true), first);
  EXPECT_EQ(platform->getRiskControlInfo().getAppKey(), "demo-key");
}

TEST(SharedProbes, AnswerThroughTheSharedPlatform) {
  IIotPlatformImpl* platform = getSharedPlatformImpl();
  const std::string os = platform->getOsVersionName();
  EXPECT_EQ(os, "Unknown");  // no Windows version test holds here
  EXPECT_EQ(platform->getOsVersionName(), os);
  EXPECT_EQ(IotAppUtils::instance()->getOsVersionName(), os);
  EXPECT_EQ(platform->getExecutableName(), "hxcore_platform_shared_test");
}

}  // namespace
