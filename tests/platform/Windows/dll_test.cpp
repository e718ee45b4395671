// hxcore.dll as a client loads it: the plain names resolve undecorated, the
// library's static initialisation has run, and records flow through it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "hxcore.h"

namespace {

HMODULE library() { return GetModuleHandleA("hxcore.dll"); }

template <typename Function>
Function* resolve(const char* name) {
  return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(library(), name)));
}

TEST(WindowsDll, PlainNamesResolveToTheFunctionsTheClientCalls) {
  ASSERT_NE(library(), nullptr);
  EXPECT_EQ(resolve<decltype(MirvLog)>("MirvLog"), &MirvLog);
  EXPECT_EQ(resolve<decltype(GetHXLogLevel)>("GetHXLogLevel"), &GetHXLogLevel);
  EXPECT_EQ(resolve<decltype(SetHXLogLevel)>("SetHXLogLevel"), &SetHXLogLevel);
  EXPECT_EQ(resolve<decltype(SetHXLogCallback)>("SetHXLogCallback"), &SetHXLogCallback);
  EXPECT_EQ(resolve<void()>("get_time"), nullptr) << "C++ functions keep their decorated names";
}

TEST(WindowsDll, ThresholdStartsAtInfo) { EXPECT_EQ(GetHXLogLevel(), 2); }

std::string g_record;
void keep(int, const char* text, uint64_t length, void*) { g_record.assign(text, length); }

TEST(WindowsDll, RecordReachesTheCallbackThroughResolvedNames) {
  const auto set_callback = resolve<decltype(SetHXLogCallback)>("SetHXLogCallback");
  const auto log = resolve<decltype(MirvLog)>("MirvLog");
  ASSERT_NE(set_callback, nullptr);
  ASSERT_NE(log, nullptr);
  set_callback(&keep, nullptr);
  log(3, "APP", "C:\\client\\main.cpp", 12, "Client::run", "through the %s", "DLL");
  set_callback(nullptr, nullptr);
  EXPECT_NE(g_record.find("\t[W|APP]\t[main.cpp:12](Client::run): through the DLL"), std::string::npos)
      << g_record;
}

TEST(WindowsDll, ClockAndDateWorkThroughTheDll) {
  const long long before = get_time();
  EXPECT_LE(before, get_time());
  EXPECT_EQ(now_date().size(), 23u);
}

}  // namespace
