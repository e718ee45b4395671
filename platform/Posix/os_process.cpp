// SPDX-License-Identifier: Apache-2.0
// Process facts and the debugger output on POSIX: the kernel's ids, and
// standard error standing in for the debugger.
//
// Standard error belongs to the client: the library changes neither its
// flags nor the process's signal dispositions, and yet a record
// - raises no SIGPIPE: it is written with SIGPIPE blocked in the calling
//   thread, and a SIGPIPE the write raised is taken back before the mask is
//   restored;
// - waits at most kOutputWait, for its turn and for room; what cannot
//   go out by then is dropped, as a debugger that is not there drops it;
// - goes out whole: the library's records are written one at a time, each in
//   one write. A pipe or FIFO takes a record only once it has room for all of
//   it, through a private non-blocking open of the same pipe (a writer outside
//   the library that takes the room first can still leave a record cut at the
//   deadline); any other output is written once it polls writable.
#include "detail/os_process.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace hxcore::detail {

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kOutputWait = std::chrono::milliseconds(50);
constexpr auto kRoomRetry = std::chrono::milliseconds(1);

// The library's records take turns at standard error; one that cannot have
// its turn by its deadline gives up.
class OutputTurns {
 public:
  bool take(Clock::time_point deadline) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!free_.wait_until(lock, deadline, [this] { return !busy_; })) return false;
    busy_ = true;
    return true;
  }
  void give() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      busy_ = false;
    }
    free_.notify_one();
  }

 private:
  std::mutex mutex_;
  std::condition_variable free_;
  bool busy_ = false;
};

OutputTurns g_turns;

// Hands the turn on when the record is done with the output.
struct TurnTaken {
  ~TurnTaken() { g_turns.give(); }
};

// Blocks SIGPIPE in the calling thread for its lifetime; a SIGPIPE that
// became pending meanwhile, and was not pending before, is consumed.
class SigpipeHeld {
 public:
  SigpipeHeld() {
    sigemptyset(&sigpipe_);
    sigaddset(&sigpipe_, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &sigpipe_, &saved_);
    was_pending_ = sigpipe_pending();
  }
  ~SigpipeHeld() {
    if (!was_pending_ && sigpipe_pending()) {
      const timespec now{0, 0};
      sigtimedwait(&sigpipe_, nullptr, &now);
    }
    pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
  }
  SigpipeHeld(const SigpipeHeld&) = delete;
  SigpipeHeld& operator=(const SigpipeHeld&) = delete;

 private:
  static bool sigpipe_pending() {
    sigset_t pending;
    return sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1;
  }

  sigset_t sigpipe_;
  sigset_t saved_;
  bool was_pending_;
};

// Waits until `fd` polls writable; false once `deadline` passes first.
bool wait_writable(int fd, Clock::time_point deadline) {
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    pollfd out{fd, POLLOUT, 0};
    const int ready = poll(&out, 1, left.count() > 0 ? static_cast<int>(left.count()) : 0);
    if (ready == 1) return (out.revents & POLLOUT) != 0;
    if (ready == 0 || errno != EINTR) return false;
  }
}

// Writes all `n` bytes to `fd`, waiting for room in between; false on an
// error or once `deadline` passes.
bool write_all(int fd, const char* text, size_t n, Clock::time_point deadline) {
  while (n > 0) {
    const ssize_t written = write(fd, text, n);
    if (written > 0) {
      text += written;
      n -= static_cast<size_t>(written);
    } else if (written == 0 || (errno != EINTR && errno != EAGAIN) ||
               !wait_writable(fd, deadline)) {
      return false;
    }
  }
  return true;
}

// Whether the pipe `fd` has room for `n` bytes: its size less what is queued,
// less a page that a partly read buffer may still hold.
bool pipe_has_room(int fd, size_t n) {
  const long size = fcntl(fd, F_GETPIPE_SZ);
  int queued = 0;
  if (size < 0 || ioctl(fd, FIONREAD, &queued) != 0) return false;
  return size - queued - sysconf(_SC_PAGESIZE) >= static_cast<long>(n);
}

bool write_to_pipe(const char* text, size_t n, Clock::time_point deadline) {
  // A pipe nobody reads refuses a non-blocking open for writing. Without
  // /proc the client's own description serves, blocking but checked for room.
  const int own = open("/proc/self/fd/2", O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (own < 0 && errno == ENXIO) return false;
  const int fd = own >= 0 ? own : STDERR_FILENO;
  bool room;
  while (!(room = pipe_has_room(fd, n)) && Clock::now() + kRoomRetry < deadline)
    std::this_thread::sleep_for(kRoomRetry);
  const bool written = room && write_all(fd, text, n, deadline);
  if (own >= 0) close(own);
  return written;
}

}  // namespace

uint32_t os_process_id() { return static_cast<uint32_t>(getpid()); }

uint32_t os_thread_id() { return static_cast<uint32_t>(syscall(SYS_gettid)); }

bool os_debug_output(const char* text) {
  const Clock::time_point deadline = Clock::now() + kOutputWait;
  if (!g_turns.take(deadline)) return false;
  const TurnTaken turn;
  const SigpipeHeld held;
  const size_t n = strlen(text);
  struct stat output;
  if (fstat(STDERR_FILENO, &output) != 0) return false;
  if (S_ISFIFO(output.st_mode)) return write_to_pipe(text, n, deadline);
  return wait_writable(STDERR_FILENO, deadline) && write_all(STDERR_FILENO, text, n, deadline);
}

}  // namespace hxcore::detail
