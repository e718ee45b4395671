// SPDX-License-Identifier: Apache-2.0
// The buffer a fetch receives its body into, and libcurl's write callback over it.
#include "detail/receive_buffer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "detail/os_memory.h"

namespace hxcore::detail {

uint64_t capacity_for_append(uint64_t capacity, uint64_t length, uint64_t n) {
  if (n >= kReceiveStep) return 0;
  const uint64_t needed = length + 1 + n;
  if (needed <= capacity) return capacity;
  if (needed > kReceiveCapacityLimit) return 0;
  // Half as much again in whole steps: at least one step more, which a chunk smaller than a
  // step and the zero after the data always fit in.
  const uint64_t grown = (capacity + capacity / 2 + kReceiveStep - 1) / kReceiveStep * kReceiveStep;
  return std::min(grown, kReceiveCapacityLimit);
}

ReceiveBuffer::ReceiveBuffer()
    : data_(static_cast<char*>(std::calloc(kReceiveStep, 1))),
      capacity_(kReceiveStep),
      length_(0),
      room_(kReceiveStep),
      backed_(kReceiveStep) {
  if (data_ == nullptr) throw std::bad_alloc();
}

ReceiveBuffer::~ReceiveBuffer() { std::free(data_); }

bool ReceiveBuffer::append(const char* bytes, size_t n) {
  const uint64_t needed = capacity_for_append(capacity_, length_, n);
  if (needed == 0) return false;
  if (needed > room_ && !make_room(needed)) return false;
  capacity_ = needed;
  if (length_ + n >= backed_) {
    backed_ = std::min(capacity_, length_ + n + kBackAhead);
    os_back_for_writing(data_ + length_, backed_ - length_);
  }
  std::memcpy(data_ + length_, bytes, n);
  length_ += n;
  data_[length_] = '\0';
  return true;
}

char* ReceiveBuffer::release() {
  const uint64_t whole_steps = (length_ + kReceiveStep) / kReceiveStep * kReceiveStep;
  // A block that cannot be cut back is handed out as it is.
  if (resize(whole_steps)) capacity_ = whole_steps;
  std::memset(data_ + length_, 0, capacity_ - length_);
  char* data = data_;
  data_ = nullptr;
  capacity_ = 0;
  length_ = 0;
  return data;
}

bool ReceiveBuffer::make_room(uint64_t capacity) {
  const uint64_t room = std::max(capacity, room_ < kFirstRoom ? kFirstRoom : kReceiveCapacityLimit);
  if (auto* reserved = static_cast<char*>(os_reserve_block(room))) {
    std::memcpy(reserved, data_, length_);
    std::free(data_);
    data_ = reserved;
    room_ = room;
    return true;
  }
  return resize(capacity);
}

bool ReceiveBuffer::resize(uint64_t size) {
  char* moved = static_cast<char*>(std::realloc(data_, size));
  if (moved == nullptr) return false;
  data_ = moved;
  room_ = size;
  return true;
}

size_t receive_chunk(char* bytes, size_t size, size_t count, void* buffer) {
  if (count != 0 && size > std::numeric_limits<size_t>::max() / count) return 0;
  const size_t n = size * count;
  // Allocation failure is reported as a refused chunk rather than thrown through libcurl's
  // C frames: the fetch then fails with the write error and its record.
  return static_cast<ReceiveBuffer*>(buffer)->append(bytes, n) ? n : 0;
}

}  // namespace hxcore::detail
