// SPDX-License-Identifier: Apache-2.0
// detail/receive_buffer.h - the growable buffer a fetch receives its body into.
//
// Starts at one step of zero bytes and grows by whole steps, always keeping a zero after the
// data, so the content reads as a zero-terminated text. The block comes from the C allocator,
// so the body it hands out is released with `free`. It grows with `realloc` by half its
// capacity at a time, so the bytes received are copied a bounded number of times in all (a
// large block is remapped rather than copied). Where the system has large pages, the block is
// asked for in whole large pages, beyond its capacity, and backed by them once it has grown
// (detail/os_memory.h): a 100 MB body then takes a few hundred page faults, not 25,000, and the
// remapping keeps them whole. The room grown ahead costs nothing until used:
// past the first kBackAhead bytes, memory is backed at most kBackAhead ahead of the data, in one
// call (detail/os_memory.h) rather than a page fault at a time. The body handed out is cut back
// to the whole steps it needs, zero from the data to their end. Not thread-safe: one buffer per
// fetch.
// Example:
//   ReceiveBuffer buffer;                   // throws std::bad_alloc if the first step fails
//   if (buffer.append(bytes, n)) char* body = buffer.release();
#pragma once

#include <cstddef>
#include <cstdint>

namespace hxcore::detail {

// The first capacity and the unit of growth, in bytes. A chunk this size or larger is refused.
inline constexpr uint64_t kReceiveStep = 309600;
// Capacities are carried as a signed 32-bit value, so a buffer never passes the last whole
// step below 2 GiB.
inline constexpr uint64_t kReceiveCapacityLimit = 0x7FFFFFFF / kReceiveStep * kReceiveStep;
// How far ahead of the data memory is backed, once the data has come this far.
inline constexpr uint64_t kBackAhead = 2 * 1024 * 1024;

// The capacity needed to append `n` bytes to `length` bytes held in `capacity` and keep one
// zero after them: `capacity` itself when they fit, else half as much again rounded up to
// whole steps (at most kReceiveCapacityLimit). 0 when the chunk is a step or more, or when the
// bytes would not fit in kReceiveCapacityLimit.
uint64_t capacity_for_append(uint64_t capacity, uint64_t length, uint64_t n);

class ReceiveBuffer {
 public:
  ReceiveBuffer();
  ~ReceiveBuffer();
  ReceiveBuffer(const ReceiveBuffer&) = delete;
  ReceiveBuffer& operator=(const ReceiveBuffer&) = delete;

  // Appends `n` bytes, growing if needed. False, with nothing changed, when
  // `capacity_for_append` refuses or the allocator cannot grow the block.
  bool append(const char* bytes, size_t n);

  // Cuts the block back to the fewest whole steps that hold the data and a zero, zero-fills it
  // past the data, and hands it to the caller, who releases it with `free`; the buffer is then
  // empty and owns nothing.
  char* release();

  const char* data() const { return data_; }
  uint64_t capacity() const { return capacity_; }
  uint64_t length() const { return length_; }

 private:
  // Moves the block to `block_size` bytes (at least `capacity`) with `realloc` and makes
  // `capacity` its capacity; false, with nothing changed, if it fails.
  bool reallocate(uint64_t capacity, uint64_t block_size);

  char* data_;
  uint64_t capacity_;
  uint64_t length_;
  uint64_t backed_;  // the data may reach this far before more memory is backed
};

// libcurl's write callback over a ReceiveBuffer: returns `size * count` when the chunk was
// kept, 0 (libcurl then ends the transfer with its write error) when it was refused.
size_t receive_chunk(char* bytes, size_t size, size_t count, void* buffer);

}  // namespace hxcore::detail
