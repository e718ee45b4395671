// SPDX-License-Identifier: Apache-2.0
// hxcore.dll as a client loads it: the plain names resolve undecorated, the
// library's static initialisation has run, and records flow through it carrying
// the ids Windows gives the process and the calling thread.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <hxcore/hxcore.h>
#include <windows.h>

#include <string>

namespace {

template <typename Function>
Function* resolve(const char* name) {
  return reinterpret_cast<Function*>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("hxcore.dll"), name)));
}

std::string g_record;
void keep(int, const char* text, uint64_t length, void*) { g_record.assign(text, length); }

TEST(WindowsDll, PlainNamesResolveToTheFunctionsTheClientCallsAndCarryRecords) {
  const auto log = resolve<decltype(MirvLog)>("MirvLog");
  const auto set_callback = resolve<decltype(SetHXLogCallback)>("SetHXLogCallback");
  ASSERT_EQ(log, &MirvLog);
  ASSERT_EQ(set_callback, &SetHXLogCallback);
  EXPECT_EQ(resolve<decltype(GetHXLogLevel)>("GetHXLogLevel"), &GetHXLogLevel);
  EXPECT_EQ(resolve<decltype(SetHXLogLevel)>("SetHXLogLevel"), &SetHXLogLevel);
  EXPECT_EQ(resolve<void()>("get_time"), nullptr) << "C++ functions keep their decorated names";
  EXPECT_EQ(GetHXLogLevel(), 2);  // the DLL's static initialisation has run
  set_callback(&keep, nullptr);
  log(3, "APP", "C:\\client\\main.cpp", 12, "Client::run", "through the %s", "DLL");
  set_callback(nullptr, nullptr);
  EXPECT_THAT(g_record,
              testing::EndsWith(" [" + std::to_string(GetCurrentProcessId()) + "-" +
                                std::to_string(GetCurrentThreadId()) +
                                "]\t[W|APP]\t[main.cpp:12](Client::run): through the DLL"));
  EXPECT_EQ(now_date().size(), 23u);
}

}  // namespace
