// SPDX-License-Identifier: Apache-2.0
// The DLL's entry routine.
//
// The DLL pins itself as it loads: a FreeLibrary never unmaps it, so a timer's
// worker or a thread that a client's routine returns on never wakes in code
// that is gone, and the runtime linked into the DLL (libstdc++'s exception
// pool, winpthreads' record of each foreign thread, OpenSSL) is set up once per
// process instead of once per load, and released by the process's end. Pinning
// at load rather than at the first worker keeps one rule for every client, and
// the same as libhxcore.so's (linked -z nodelete). Since the DLL never sees a
// DLL_PROCESS_DETACH from FreeLibrary, only the one at process exit, when other
// threads have already been stopped wherever they were, OpenSSL is never torn
// down here: OPENSSL_cleanup then could only meet a state left mid-use.
//
// OpenSSL is linked into the DLL and keeps state for every thread that used it:
// a thread that ends releases that state here, since no one else can (the
// client does not know the DLL's copy of OpenSSL). A build without OpenSSL has
// no use for the per-thread notifications.
#include <windows.h>

#include "hxcore_config.h"

#if !HXCORE_PORTABLE_ONLY
#include <openssl/crypto.h>
#endif

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) {
#if HXCORE_PORTABLE_ONLY
    DisableThreadLibraryCalls(instance);
#endif
    // A DLL that could not stay loaded refuses to load at all.
    HMODULE self = nullptr;
    return GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
        reinterpret_cast<LPCWSTR>(instance), &self);
  }
#if !HXCORE_PORTABLE_ONLY
  if (reason == DLL_THREAD_DETACH) OPENSSL_thread_stop();
#endif
  return TRUE;
}
