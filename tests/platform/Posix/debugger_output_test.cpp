// SPDX-License-Identifier: Apache-2.0
// Without a callback, records go to standard error with a "\n". It is the client's: a record
// raises no SIGPIPE, never waits long on an output nobody drains, arrives whole or not at all.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "HXLog.h"
#include "log_capture.h"

namespace {

struct StderrTo {  // points standard error at `fd` for its lifetime
  explicit StderrTo(int fd) : saved(dup(STDERR_FILENO)) { dup2(fd, STDERR_FILENO); }
  ~StderrTo() { dup2(saved, STDERR_FILENO), close(saved); }
  const int saved;
};

struct Pipe {
  Pipe() { EXPECT_EQ(pipe2(ends, O_CLOEXEC), 0); }
  ~Pipe() { close(ends[0]), close(ends[1]); }
  std::string drain() {  // what is queued now, without waiting
    fcntl(ends[0], F_SETFL, O_NONBLOCK);
    std::string text;
    char chunk[4096];
    for (ssize_t n; (n = read(ends[0], chunk, sizeof chunk)) > 0;) text.append(chunk, n);
    return text;
  }
  int ends[2] = {-1, -1};
};

void log_message(const std::string& message) {
  MirvLog(4, "T", "f", 1, "f", "%s", message.c_str());
}

TEST(DebuggerOutput, GetsEachRecordAndANewlineOnlyWhileNoCallbackIsSet) {
  testing::internal::CaptureStderr();
  MirvLog(4, "T", "dir/f.cpp", 5, "A::b", "to the debugger");
  {
    hxtest::LogCapture log;
    MirvLog(4, "T", "f", 1, "f", "to the callback");
  }
  MirvLog(4, "T", "f", 2, "f", "after clearing");
  const std::string text = testing::internal::GetCapturedStderr();
  EXPECT_NE(text.find("\t[E|T]\t[f.cpp:5](A::b): to the debugger\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("to the callback"), std::string::npos) << text;
  EXPECT_EQ(text.substr(text.size() - 15), "after clearing\n") << text;
}

// A pipe or socket whose reader closed: no SIGPIPE ends the process or stays pending for a
// client that blocks it, and its disposition stays the client's.
TEST(DebuggerOutput, RecordToAnOutputWithoutReaderIsDroppedWithoutASignal) {
  for (const int kind : {0, 1, 2, 3}) {  // a pipe or a socket, SIGPIPE blocked or not
    const bool socket = kind & 1, client_blocks_sigpipe = kind & 2;
    int ends[2];
    ASSERT_EQ(socket ? socketpair(AF_UNIX, SOCK_STREAM, 0, ends) : pipe(ends), 0);
    close(ends[0]);
    sigset_t sigpipe, saved, pending;
    sigemptyset(&sigpipe), sigaddset(&sigpipe, SIGPIPE);
    pthread_sigmask(client_blocks_sigpipe ? SIG_BLOCK : SIG_UNBLOCK, &sigpipe, &saved);
    {
      StderrTo to_output(ends[1]);
      log_message("nobody reads this");
    }
    sigpending(&pending);
    pthread_sigmask(SIG_SETMASK, &saved, nullptr);
    close(ends[1]);
    EXPECT_FALSE(sigismember(&pending, SIGPIPE)) << kind;
  }
  struct sigaction action;
  sigaction(SIGPIPE, nullptr, &action);
  EXPECT_EQ(action.sa_handler, SIG_DFL);
}

// The pipe keeps one page of room, which a 5000-byte record does not fit: it is dropped whole
// and soon, newline included.
TEST(DebuggerOutput, RecordThatAPipeNobodyDrainsCannotTakeIsDroppedWholeAndSoon) {
  Pipe full;
  const std::string filler(fcntl(full.ends[1], F_GETPIPE_SZ) - 4096, 'f');
  ASSERT_EQ(write(full.ends[1], filler.data(), filler.size()), static_cast<ssize_t>(filler.size()));
  std::string out;
  bool returned;
  {
    StderrTo to_pipe(full.ends[1]);
    auto logged = std::async(std::launch::async, log_message, std::string(5000, 'r'));
    returned = logged.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    while (logged.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready)
      out += full.drain();  // frees a writer that blocked, so the test can end
  }
  out += full.drain();
  EXPECT_TRUE(returned);
  EXPECT_EQ(out, filler);
}

// Records longer than a pipe's atomic write, from several threads, while a reader drains: each
// arrives whole (or is dropped); only newlines fall between records.
TEST(DebuggerOutput, LongRecordsFromManyThreadsReachAPipeWhole) {
  constexpr int kThreads = 4, kLength = 5000;
  Pipe drained;
  std::string out;
  std::thread reader([&] {
    char chunk[65536];
    for (ssize_t n; (n = read(drained.ends[0], chunk, sizeof chunk)) > 0;) out.append(chunk, n);
  });
  {
    StderrTo to_pipe(drained.ends[1]);
    std::vector<std::thread> writers;
    for (char letter = 'a'; letter < 'a' + kThreads; ++letter)
      writers.emplace_back([letter] {
        for (int i = 0; i < 50; ++i) log_message(std::string(kLength, letter));
      });
    for (std::thread& writer : writers) writer.join();
  }
  close(drained.ends[1]);
  drained.ends[1] = -1;
  reader.join();
  size_t records = 0, whole = 0, letters = 0;  // no header character is one of the letters
  for (size_t body = out.find("(f): "); body != std::string::npos; body = out.find("(f): ", body)) {
    body += 5, ++records;
    whole += out.compare(body, kLength, std::string(kLength, out[body])) == 0;
  }
  for (char c : out) letters += c >= 'a' && c < 'a' + kThreads;
  EXPECT_GT(records, 0u);
  EXPECT_EQ(whole, records);
  EXPECT_EQ(letters, records * kLength);
}

}  // namespace
