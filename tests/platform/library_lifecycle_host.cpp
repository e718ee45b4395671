// SPDX-License-Identifier: Apache-2.0
// A client that loads the library by name and never links it (members by their mangled
// names): `library_lifecycle_host LIBRARY SCENARIO` (the table at the end) exits 0, or 1
// with the reason on standard error, or crashes.
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <utility>

#include <hxcore/hxcore.h>

#include "event_count.h"
#ifdef _WIN32
#include <windows.h>
// after windows.h
#include <psapi.h>
#define dlopen(name, mode) LoadLibraryA(name)
#define dlsym(lib, name) reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(lib), name))
#define dlclose(lib) FreeLibrary(static_cast<HMODULE>(lib))
#else
#include <dlfcn.h>
#include <malloc.h>
#endif

namespace {

struct Usage {  // private bytes and handles on Windows; heap bytes in use on Linux
  long long bytes = 0, handles = 0;
  Usage() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS use{};  // PagefileUsage: the private bytes
    DWORD count = 0;
    GetProcessMemoryInfo(GetCurrentProcess(), &use, sizeof use);
    GetProcessHandleCount(GetCurrentProcess(), &count);
    bytes = use.PagefileUsage, handles = count;
#else
    bytes = mallinfo2().uordblks;
#endif
  }
};

[[noreturn]] void fail(const char* why) {
  std::fprintf(stderr, "%s\n", why);
  std::_Exit(1);
}
const char* g_name;
void* g_lib;  // loaded by the first call after an unload
template <typename Function, typename... Args>
auto call(const char* name, Args&&... args) {
  if (!g_lib && !(g_lib = dlopen(g_name, RTLD_NOW))) fail("the library does not load");
  void* function = dlsym(g_lib, name);
  if (function == nullptr) fail(name);
  return reinterpret_cast<Function*>(function)(std::forward<Args>(args)...);
}

alignas(HXTimer) unsigned char g_timer[sizeof(HXTimer)];  // the client's own objects
alignas(COSThread) unsigned char g_thread[sizeof(COSThread)];
hxtest::EventCount g_unloaded, g_calls, g_fired;
void set_interval(int (*callback)(), int periodMs) {
  call<void(void*)>("_ZN7HXTimerC1Ev", g_timer);
  call<void(void*, const char*, const std::function<int()>&, int)>(
      "_ZN7HXTimer11setIntervalEPKcRKSt8functionIFivEEi", g_timer, "", callback, periodMs);
}
IIotPlatformImpl* platform() {
  return call<decltype(getSharedPlatformImpl)>("getSharedPlatformImpl");
}

int unload_with_work_in_flight() {
  // The interval's first call and the thread's routine return once the library is unloaded.
  set_interval([] { return g_calls.notify(), g_calls.count() == 1 && g_unloaded.wait() ? 0 : -1; },
               3600 * 1000);
  call<void(void*, const std::function<void()>&, int)>(
      "_ZN7HXTimer10setTimeoutERKSt8functionIFvvEEi", g_timer, [] { g_fired.notify(); }, 500);
  call<void(void*)>("_ZN9COSThreadC1Ev", g_thread);
  const auto routine = [](void*) -> unsigned long { return g_unloaded.wait() ? 0 : 1; };
  call<decltype(CreateThreadEx)>("_Z14CreateThreadExR9COSThreadmPFmPvES1_mPm",
                                 *reinterpret_cast<COSThread*>(g_thread), 0, routine, nullptr, 0,
                                 nullptr);
  if (!g_calls.wait(1)) fail("the interval never ran");
  dlclose(g_lib);
  g_unloaded.notify();
  // The timeout fires last, 500 ms after it was set: the thread's end has run by then.
  return !g_calls.wait(2) || !g_fired.wait();
}

struct StopAtExit {    // a client's global object: stops the timer as the process ends,
  bool armed = false;  // after two more AES runs on the way out
  ~StopAtExit() {
    if (armed && !g_calls.wait(g_calls.count() + 2)) fail("AES stalled at exit");
    if (armed) call<void(void*)>("_ZN7HXTimerD1Ev", g_timer);
  }
} g_stop_at_exit;

int end_while_aes_runs(bool call_exit) {
  if (platform()->aesEncrypt("first use").empty()) fail("AES failed");
  set_interval(
      [] {
        if (platform()->aesEncrypt("in flight").empty()) fail("AES failed as the process ended");
        return g_calls.notify(), 0;
      },
      0);
  if (!g_calls.wait(1)) fail("the interval never ran");
  g_stop_at_exit.armed = true;
  if (call_exit) std::exit(0);
  return 0;
}

int load_use_unload_rounds() {  // growth from the first round's end to the last's
  Usage first;
  for (int round = 1; round <= 20; ++round) {
    platform()->aesEncrypt("round");
    std::thread([] {
      call<decltype(MirvLog)>("MirvLog", 2, "APP", "host", 1, "round", "client");
    }).join();
    dlclose(std::exchange(g_lib, nullptr));
    if (round == 1) first = Usage();
  }
  const Usage last;
  std::printf("over 19 rounds: %lld bytes, %lld handles\n", last.bytes - first.bytes,
              last.handles - first.handles);  // one round's leak, when really unloaded, is more
  return last.bytes - first.bytes > 64 * 1024 || last.handles - first.handles > 2;
}

constexpr struct {
  const char* name;
  int (*run)();
} kScenarios[] = {{"unload", unload_with_work_in_flight},  // a timeout, an interval, a thread
                  {"exit", [] { return end_while_aes_runs(true); }},  // AES in flight
                  {"return", [] { return end_while_aes_runs(false); }},
                  {"rounds", load_use_unload_rounds}};  // memory and handles flat

}  // namespace

int main(int argc, char** argv) {
  for (const auto& scenario : kScenarios) {
    if (argc == 3 && argv[2] == std::string(scenario.name)) return g_name = argv[1], scenario.run();
  }
  fail("usage: library_lifecycle_host LIBRARY unload|exit|return|rounds");
}
