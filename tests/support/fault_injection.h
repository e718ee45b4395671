// SPDX-License-Identifier: Apache-2.0
// fault_injection.h - makes the Nth call of one kind fail, for the torture test program only.
//
// Linked into the test program, never into the library. Kinds: every allocation (malloc, calloc,
// realloc, posix_memalign and every form of operator new; on Windows operator new only, the C
// allocator being the DLL's), every thread start (pthread_create, which std::thread uses too;
// not on Windows), every settings-file write (write, fsync, fdatasync and rename fail with
// ENOSPC; not on Windows), and the records a test's log callback receives (it asks
// `should_fail`).
// Calls are counted only while armed and only on the thread that armed, so a count does not
// depend on other threads: run a scenario with `arm(kind, 0)` to learn its count, then with
// `arm(kind, n)` for each n. Example:
//   hxtest::fault::arm(hxtest::fault::Kind::Allocation, 3);   // the third allocation fails
//   run(); long calls = hxtest::fault::disarm(); bool hit = hxtest::fault::fired();
#pragma once

namespace hxtest::fault {

enum class Kind { Allocation, ThreadStart, FileWrite, LogRecord };

// Starts counting calls of `kind` on this thread; the `fail_at`th fails (0: none fails).
void arm(Kind kind, long fail_at);
// Stops counting and returns the calls counted since `arm`.
long disarm();
// Whether the armed failure happened.
bool fired();
// Counts one call of `kind` and says whether it is the one to fail.
bool should_fail(Kind kind);
// A dependency that does not survive a failure at some call: the call to fail is let through,
// and remembered, when a frame of the stack belongs to a function whose mangled name holds one
// of `names` (with glibc; elsewhere nothing is spared). `spared` is that frame's name, or "".
void spare(const char* const* names, int count);
const char* spared();

// While it lives, this thread's calls are not counted (the test's own checks).
class Pause {
 public:
  Pause();
  ~Pause();
  Pause(const Pause&) = delete;
  Pause& operator=(const Pause&) = delete;

 private:
  bool was_armed_;
};

}  // namespace hxtest::fault
