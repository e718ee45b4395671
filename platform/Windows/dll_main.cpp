// SPDX-License-Identifier: Apache-2.0
// The DLL's entry routine. OpenSSL is linked into the DLL, and it keeps state
// for every thread that used it: a thread that ends releases that state here,
// since no one else can (the client does not know the DLL's copy of OpenSSL).
// A build without OpenSSL has no use for the per-thread notifications.
#include <windows.h>

#include "hxcore_config.h"

#if !HXCORE_PORTABLE_ONLY
#include <openssl/crypto.h>
#endif

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
#if HXCORE_PORTABLE_ONLY
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
#else
  (void)instance;
  if (reason == DLL_THREAD_DETACH) OPENSSL_thread_stop();
#endif
  return TRUE;
}
