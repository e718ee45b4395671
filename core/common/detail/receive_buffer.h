// detail/receive_buffer.h - the growable buffer a fetch receives its body into.
//
// Starts at one step of zero bytes and grows by whole steps, always keeping the bytes past the
// data zero, so the content reads as a zero-terminated text. The block comes from the system's
// pages (detail/os_memory.h) and grows by remapping or committing pages, never by copying
// everything received so far; `free_received` (behind `HXCurl::free_data`) is its release.
// Not thread-safe: one buffer per fetch. Example:
//   ReceiveBuffer buffer;                   // throws std::bad_alloc if the first step fails
//   if (buffer.append(bytes, n)) char* body = buffer.release();
#pragma once

#include <cstddef>
#include <cstdint>

namespace hxcore::detail {

// The first capacity and the growth step, in bytes. A chunk this size or larger is refused.
inline constexpr uint64_t kReceiveStep = 309600;
// Capacities are carried as a signed 32-bit value, so a buffer never passes this size.
inline constexpr uint64_t kReceiveCapacityLimit = 0x7FFFFFFF;

// The capacity needed to append `n` bytes to `length` bytes held in `capacity` and keep one
// zero after them: `capacity` itself when they fit, else one step more. 0 when the chunk is
// a step or more, or when the grown capacity would pass kReceiveCapacityLimit.
uint64_t capacity_for_append(uint64_t capacity, uint64_t length, uint64_t n);

class ReceiveBuffer {
 public:
  ReceiveBuffer();
  ~ReceiveBuffer();
  ReceiveBuffer(const ReceiveBuffer&) = delete;
  ReceiveBuffer& operator=(const ReceiveBuffer&) = delete;

  // Appends `n` bytes, growing by one step if needed. False, with nothing changed, when
  // `capacity_for_append` refuses or the allocator cannot grow the block.
  bool append(const char* bytes, size_t n);

  // Hands the body to the caller (free it with `free_received`); the buffer is then empty and
  // owns nothing.
  char* release();

  const char* data() const { return data_; }
  uint64_t capacity() const { return capacity_; }
  uint64_t length() const { return length_; }

 private:
  char* data_;
  uint64_t capacity_;
  uint64_t length_;
};

// Returns a body handed out by `ReceiveBuffer::release` to the system; null is ignored.
void free_received(char* body);

// libcurl's write callback over a ReceiveBuffer: returns `size * count` when the chunk was
// kept, 0 (libcurl then ends the transfer with its write error) when it was refused.
size_t receive_chunk(char* bytes, size_t size, size_t count, void* buffer);

}  // namespace hxcore::detail
