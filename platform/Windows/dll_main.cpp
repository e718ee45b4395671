// SPDX-License-Identifier: Apache-2.0
// The DLL's entry routine: it only turns off the per-thread attach and detach
// notifications, which the library does not use.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  return TRUE;
}
