// SPDX-License-Identifier: Apache-2.0
// The clock calls on Windows: GetLocalTime, QueryPerformanceFrequency and
// QueryPerformanceCounter, and the runtime's 64-bit local-time conversion.
#include "detail/os_time.h"

#include <windows.h>

namespace hxcore::detail {

LocalTime os_local_time() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return LocalTime{now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

int64_t os_counter_frequency() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}

int64_t os_counter() {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return counter.QuadPart;
}

bool os_local_tm(int64_t seconds, std::tm* out) {
  const __time64_t t = seconds;
  return _localtime64_s(out, &t) == 0;
}

}  // namespace hxcore::detail
