// SPDX-License-Identifier: Apache-2.0
// detail/receive_buffer.h - the growable buffer a fetch receives its body into.
//
// Starts at one step of zero bytes and grows by whole steps, always keeping a zero after the
// data, so the content reads as a zero-terminated text. The block comes from the C allocator,
// so the body it hands out is released with `free`. A body that outgrows its first step moves
// into a reserved block of kFirstRoom bytes (detail/os_memory.h): address space only, backed
// as the data reaches it, on 2 MiB pages where the system has them (a 100 MB body takes some
// fifty of them, not 25,000 small ones), and is not copied again; one that outgrows that room
// moves once more, into room for kReceiveCapacityLimit. Where the system reserves no block,
// the block grows with `realloc` by half its capacity at a time, so the bytes received are
// copied a bounded number of times in all (a large block is remapped rather than copied).
// Either way memory is backed kBackAhead ahead of the data in one call rather than a page fault
// at a time. The body handed out is cut back to the whole steps it needs, zero from the data to
// their end. Not thread-safe: one buffer per fetch.
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
// The room reserved for a body that outgrows its first step: most bodies stay within it. It
// costs address space only, but a commit limit, or a sanitizer's allocator, charges it in full.
inline constexpr uint64_t kFirstRoom = uint64_t{256} << 20;
// How far ahead of the data memory is backed once the body has outgrown its first step: near
// enough that the pages a call backs, which the system zeroes, are still in the processor's
// cache when the data reaches them.
inline constexpr uint64_t kBackAhead = 256 * 1024;

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
  // Makes the block hold at least `capacity` bytes by moving the data into a reserved block,
  // of kFirstRoom bytes or, past that, of kReceiveCapacityLimit, else with `realloc`. False,
  // with nothing changed, if the allocator refuses.
  bool make_room(uint64_t capacity);

  // Moves the block to `size` bytes with `realloc`; false, with nothing changed, if it fails.
  bool resize(uint64_t size);

  char* data_;
  uint64_t capacity_;
  uint64_t length_;
  uint64_t room_;    // the capacity the block can take without moving
  uint64_t backed_;  // the data may reach this far before more memory is backed
};

// libcurl's write callback over a ReceiveBuffer: returns `size * count` when the chunk was
// kept, 0 (libcurl then ends the transfer with its write error) when it was refused.
size_t receive_chunk(char* bytes, size_t size, size_t count, void* buffer);

}  // namespace hxcore::detail
