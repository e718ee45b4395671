// SPDX-License-Identifier: Apache-2.0
// The thread handle: an owner of one handle of the platform layer.
#include "COSThread.h"

#include <utility>

#include "detail/os_thread.h"

COSThread::COSThread() : handle_(nullptr), owned_(false) {}

// Copies duplicate rather than share the handle, so no two objects ever close
// the same one.
COSThread::COSThread(const COSThread& other) : handle_(nullptr), owned_(false) {
  if (other.owned_ && other.handle_ != nullptr) {
    handle_ = hxcore::detail::os_thread_duplicate(other.handle_);
    owned_ = handle_ != nullptr;
  }
}

COSThread& COSThread::operator=(const COSThread& other) {
  if (this != &other) {
    // The copy leaves with this object's old handle and closes it.
    COSThread copy(other);
    std::swap(handle_, copy.handle_);
    std::swap(owned_, copy.owned_);
  }
  return *this;
}

COSThread::~COSThread() { CloseThreadEx(*this); }

int CreateThreadEx(COSThread& thread, unsigned long stackSize, unsigned long (*start)(void*),
                   void* argument, unsigned long creationFlags, unsigned long* threadId) {
  CloseThreadEx(thread);
  thread.handle_ =
      hxcore::detail::os_thread_create(stackSize, start, argument, creationFlags, threadId);
  thread.owned_ = thread.handle_ != nullptr;
  return thread.owned_ ? 0 : -1;
}

void CloseThreadEx(COSThread& thread) {
  if (!thread.owned_) return;
  if (thread.handle_ != nullptr) {
    hxcore::detail::os_thread_close(thread.handle_);
    thread.handle_ = nullptr;
  }
  thread.owned_ = false;
}

unsigned long WaitForSingleObjectEx(COSThread& thread, unsigned long milliseconds) {
  if (!thread.owned_ || thread.handle_ == nullptr) return hxcore::detail::kWaitFailed;
  return hxcore::detail::os_thread_wait(thread.handle_, milliseconds);
}
