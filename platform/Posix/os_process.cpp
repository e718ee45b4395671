// Process facts and the debugger output on POSIX: the kernel's ids, and
// standard error standing in for the debugger.
#include "detail/os_process.h"

#include <string.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace hxcore::detail {

uint32_t os_process_id() { return static_cast<uint32_t>(getpid()); }

uint32_t os_thread_id() { return static_cast<uint32_t>(syscall(SYS_gettid)); }

void os_debug_output(const char* text) {
  // One write per call, like one OutputDebugStringA; a short or failed write
  // to a closed or full stream is dropped, as a debugger that is not there
  // drops the text.
  const ssize_t ignored = write(STDERR_FILENO, text, strlen(text));
  (void)ignored;
}

}  // namespace hxcore::detail
