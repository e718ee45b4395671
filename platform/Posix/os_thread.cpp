// SPDX-License-Identifier: Apache-2.0
// Thread handles on POSIX: a detached pthread and a shared record of its end.
//
// The handle is a ThreadRecord that the thread and every open handle hold a
// reference to. The thread marks it ended and drops its reference when the
// start routine returns; whoever drops the last reference frees it. Being
// detached, the thread gives back its own stack when it exits, so nothing is
// left once it has ended and its handles are closed, whatever the order.
#include "detail/os_thread.h"

#include <errno.h>
#include <limits.h>
#include <pthread.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <new>

#include "detail/os_process.h"

namespace hxcore::detail {

namespace {

// The one creation flag with a meaning here: the stack size is a reservation,
// which is what a pthread stack size is anyway.
constexpr unsigned long kStackSizeIsReservation = 0x10000;

struct ThreadRecord {
  ThreadRecord(OsThreadStart start_routine, void* start_argument)
      : start(start_routine), argument(start_argument) {}

  const OsThreadStart start;
  void* const argument;
  std::atomic<int> references{2};  // the creator's handle and the thread
  std::mutex mutex;
  std::condition_variable changed;
  uint32_t thread_id = 0;  // set by the thread as it starts
  bool ended = false;
};

void release(ThreadRecord* record) {
  if (record->references.fetch_sub(1, std::memory_order_acq_rel) == 1) delete record;
}

void* run_thread(void* opaque) {
  auto* record = static_cast<ThreadRecord*>(opaque);
  {
    std::lock_guard<std::mutex> lock(record->mutex);
    record->thread_id = os_thread_id();
  }
  record->changed.notify_all();
  record->start(record->argument);
  {
    std::lock_guard<std::mutex> lock(record->mutex);
    record->ended = true;
  }
  // The thread's own reference keeps the record alive through the broadcast.
  record->changed.notify_all();
  release(record);
  return nullptr;
}

// Creates the detached thread; 0 or the pthread error number.
int start_detached(ThreadRecord* record, unsigned long stack_size) {
  pthread_attr_t attributes;
  int error = pthread_attr_init(&attributes);
  if (error != 0) return error;
  error = pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
  if (error == 0 && stack_size != 0) {
    const size_t smallest = PTHREAD_STACK_MIN;
    error = pthread_attr_setstacksize(&attributes, stack_size < smallest ? smallest : stack_size);
  }
  pthread_t thread;
  if (error == 0) error = pthread_create(&thread, &attributes, run_thread, record);
  pthread_attr_destroy(&attributes);
  return error;
}

}  // namespace

void* os_thread_create(unsigned long stack_size, OsThreadStart start, void* argument,
                       unsigned long creation_flags, unsigned long* thread_id) {
  if (start == nullptr || (creation_flags & ~kStackSizeIsReservation) != 0) {
    errno = EINVAL;
    return nullptr;
  }
  auto* record = new (std::nothrow) ThreadRecord(start, argument);
  if (record == nullptr) {
    errno = ENOMEM;
    return nullptr;
  }
  const int error = start_detached(record, stack_size);
  if (error != 0) {
    delete record;
    errno = error;
    return nullptr;
  }
  if (thread_id != nullptr) {
    std::unique_lock<std::mutex> lock(record->mutex);
    record->changed.wait(lock, [record] { return record->thread_id != 0; });
    *thread_id = record->thread_id;
  }
  return record;
}

void* os_thread_duplicate(void* handle) {
  static_cast<ThreadRecord*>(handle)->references.fetch_add(1, std::memory_order_relaxed);
  return handle;
}

unsigned long os_thread_wait(void* handle, unsigned long milliseconds) {
  auto* record = static_cast<ThreadRecord*>(handle);
  std::unique_lock<std::mutex> lock(record->mutex);
  const auto ended = [record] { return record->ended; };
  if (milliseconds >= kWaitForever) {
    record->changed.wait(lock, ended);
    return kWaitEnded;
  }
  return record->changed.wait_for(lock, std::chrono::milliseconds(milliseconds), ended)
             ? kWaitEnded
             : kWaitTimedOut;
}

void os_thread_close(void* handle) { release(static_cast<ThreadRecord*>(handle)); }

}  // namespace hxcore::detail
