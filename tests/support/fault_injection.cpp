// SPDX-License-Identifier: Apache-2.0
// The fault injector: the program's own operator new and, with glibc, its own malloc, calloc,
// realloc, posix_memalign, pthread_create and file calls, each counting before it hands over to
// the real one. With glibc the real allocator is __libc_malloc's family, under AddressSanitizer
// the sanitizer's __interceptor_ entry points (whose plain names this program's definitions
// replace); the other calls go to the next definition, found once before main.
#include "fault_injection.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>

#ifdef _WIN32
#include <malloc.h>
#endif

#if defined(__GLIBC__)
#include <dlfcn.h>
#include <execinfo.h>
#include <pthread.h>
#include <unistd.h>
#endif

namespace hxtest::fault {

namespace {

// Read before the thread's own flag, so nothing thread-local is touched while the program (or
// the sanitizer) starts up. This file is built without sanitizers: its malloc runs before the
// sanitizer's shadow memory exists, so it uses the compiler's atomics, not an inline template.
bool g_any_armed = false;
thread_local bool t_armed = false;
// Touched only by the armed thread.
Kind g_kind = Kind::Allocation;
long g_fail_at = 0;
long g_count = 0;
bool g_fired = false;
const char* const* g_spare = nullptr;
int g_spare_count = 0;
const char* g_spared = "";

// The spared name a frame of this stack holds, or null.
const char* spared_frame() {
#if defined(__GLIBC__)
  void* frames[96];
  const int depth = backtrace(frames, 96);
  for (int i = 0; i < depth; ++i) {
    Dl_info info;
    if (dladdr(frames[i], &info) == 0 || info.dli_sname == nullptr) continue;
    for (int s = 0; s < g_spare_count; ++s)
      if (std::strstr(info.dli_sname, g_spare[s]) != nullptr) return g_spare[s];
  }
#endif
  return nullptr;
}

}  // namespace

void arm(Kind kind, long fail_at) {
  g_kind = kind;
  g_fail_at = fail_at;
  g_count = 0;
  g_fired = false;
  g_spared = "";
  t_armed = true;
  __atomic_store_n(&g_any_armed, true, __ATOMIC_RELAXED);
}

long disarm() {
  __atomic_store_n(&g_any_armed, false, __ATOMIC_RELAXED);
  t_armed = false;
  return g_count;
}

bool fired() { return g_fired; }

bool should_fail(Kind kind) {
  if (!__atomic_load_n(&g_any_armed, __ATOMIC_RELAXED) || !t_armed || kind != g_kind ||
      ++g_count != g_fail_at) {
    return false;
  }
  if (const char* name = spared_frame()) {
    g_spared = name;
    return false;
  }
  g_fired = true;
  return true;
}

void spare(const char* const* names, int count) {
  g_spare = names;
  g_spare_count = count;
}
const char* spared() { return g_spared; }

Pause::Pause() : was_armed_(t_armed) { t_armed = false; }
Pause::~Pause() { t_armed = was_armed_; }

}  // namespace hxtest::fault

namespace {

using hxtest::fault::Kind;
using hxtest::fault::should_fail;

// HXTEST_SANITIZER: the program is built with AddressSanitizer (this file itself is not).
#if defined(HXTEST_SANITIZER)
#define HXTEST_REAL(name) __interceptor_##name
extern "C" int __interceptor_pthread_create(pthread_t*, const pthread_attr_t*, void* (*)(void*),
                                            void*);
extern "C" ssize_t __interceptor_write(int, const void*, size_t);
extern "C" void __lsan_disable();
extern "C" void __lsan_enable();
#elif defined(__GLIBC__)
#define HXTEST_REAL(name) __libc_##name
#endif

#if defined(HXTEST_REAL)
extern "C" void* HXTEST_REAL(malloc)(size_t);
extern "C" void* HXTEST_REAL(calloc)(size_t, size_t);
extern "C" void* HXTEST_REAL(realloc)(void*, size_t);
void* plain_allocate(size_t n) { return HXTEST_REAL(malloc)(n ? n : 1); }
#else
void* plain_allocate(size_t n) { return std::malloc(n ? n : 1); }
#endif
// The real aligned allocation, as posix_memalign answers.
#if defined(HXTEST_SANITIZER)
extern "C" int __interceptor_posix_memalign(void**, size_t, size_t);
#define HXTEST_REAL_MEMALIGN __interceptor_posix_memalign
#elif defined(__GLIBC__)
extern "C" void* __libc_memalign(size_t, size_t);
int libc_posix_memalign(void** block, size_t alignment, size_t n) {
  return (*block = __libc_memalign(alignment, n)) != nullptr ? 0 : ENOMEM;
}
#define HXTEST_REAL_MEMALIGN libc_posix_memalign
#else
#define HXTEST_REAL_MEMALIGN posix_memalign
#endif

void* allocate(size_t n, std::align_val_t alignment = std::align_val_t{}) {
  if (should_fail(Kind::Allocation)) return nullptr;
  const auto a = static_cast<size_t>(alignment);
  if (a == 0) return plain_allocate(n);
#ifdef _WIN32
  return _aligned_malloc(n ? n : 1, a);
#else
  void* p = nullptr;
  return HXTEST_REAL_MEMALIGN(&p, a, n ? n : 1) == 0 ? p : nullptr;
#endif
}

void* allocate_or_throw(size_t n, std::align_val_t alignment = std::align_val_t{}) {
  if (void* p = allocate(n, alignment)) return p;
  throw std::bad_alloc();
}

}  // namespace

// Every form of operator new. The C++ library's operator delete releases what these return
// (free, or _aligned_free on Windows); the sanitizer is told not to call that a mismatch.
void* operator new(size_t n) { return allocate_or_throw(n); }
void* operator new[](size_t n) { return allocate_or_throw(n); }
void* operator new(size_t n, const std::nothrow_t&) noexcept { return allocate(n); }
void* operator new[](size_t n, const std::nothrow_t&) noexcept { return allocate(n); }
void* operator new(size_t n, std::align_val_t a) { return allocate_or_throw(n, a); }
void* operator new[](size_t n, std::align_val_t a) { return allocate_or_throw(n, a); }
void* operator new(size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return allocate(n, a);
}
void* operator new[](size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return allocate(n, a);
}
#if defined(HXTEST_SANITIZER)
extern "C" const char* __asan_default_options() { return "alloc_dealloc_mismatch=0"; }
#endif

#if defined(__GLIBC__)
namespace {

template <class Function>
Function next(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

// The sanitizer's own entry points where it has them: they set up what it needs.
#if defined(HXTEST_SANITIZER)
const auto real_pthread_create = &__interceptor_pthread_create;
const auto real_write = &__interceptor_write;
#else
const auto real_pthread_create =
    next<int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*)>("pthread_create");
const auto real_write = next<ssize_t (*)(int, const void*, size_t)>("write");
#endif
const auto real_fsync = next<int (*)(int)>("fsync");
const auto real_fdatasync = next<int (*)(int)>("fdatasync");
const auto real_rename = next<int (*)(const char*, const char*)>("rename");
// The first backtrace loads the unwinder, which allocates for good: done here, not under a
// fault, and not counted as a leak.
const int g_unwinder_loaded = [] {
  void* frame;
#if defined(HXTEST_SANITIZER)
  __lsan_disable();
  const int depth = backtrace(&frame, 1);
  __lsan_enable();
  return depth;
#else
  return backtrace(&frame, 1);
#endif
}();

// Whether this call fails (an allocation for ENOMEM, a file call for ENOSPC), with errno set.
bool refused(int error) {
  if (!should_fail(error == ENOMEM ? Kind::Allocation : Kind::FileWrite)) return false;
  errno = error;
  return true;
}

}  // namespace

extern "C" {

void* malloc(size_t n) { return refused(ENOMEM) ? nullptr : HXTEST_REAL(malloc)(n); }
void* calloc(size_t count, size_t n) {
  return refused(ENOMEM) ? nullptr : HXTEST_REAL(calloc)(count, n);
}
void* realloc(void* p, size_t n) { return refused(ENOMEM) ? nullptr : HXTEST_REAL(realloc)(p, n); }
int posix_memalign(void** block, size_t alignment, size_t n) {
  return refused(ENOMEM) ? ENOMEM : HXTEST_REAL_MEMALIGN(block, alignment, n);
}

int pthread_create(pthread_t* thread, const pthread_attr_t* attributes, void* (*start)(void*),
                   void* argument) {
  if (should_fail(Kind::ThreadStart)) return EAGAIN;
  return real_pthread_create(thread, attributes, start, argument);
}

// The file calls fail with ENOSPC, as on a full disk.
#define HXTEST_FILE_CALL(result, name, parameters, arguments) \
  result name parameters { return refused(ENOSPC) ? -1 : real_##name arguments; }
HXTEST_FILE_CALL(ssize_t, write, (int fd, const void* bytes, size_t n), (fd, bytes, n))
HXTEST_FILE_CALL(int, fsync, (int fd), (fd))
HXTEST_FILE_CALL(int, fdatasync, (int fd), (fd))
HXTEST_FILE_CALL(int, rename, (const char* from, const char* to), (from, to))

}  // extern "C"
#endif
