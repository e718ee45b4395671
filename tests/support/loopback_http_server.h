// loopback_http_server.h - an HTTP/1.1 server on 127.0.0.1 for fetch tests and benchmarks.
//
// Listens on an ephemeral port from construction to destruction and answers one connection at a
// time on a thread of its own, closing each after its response: /bytes/N gives N bytes whose
// byte i is `body_byte(i)`, /redirect a 302 to /bytes/10 whose own body is "moved", /stall/N
// announces 2N bytes, sends N and waits for the client to go; anything else is closed unanswered.
// Built with `listening` false it only holds its port, so a connection is refused at once. The
// destructor stops it even while a connection stalls. Thread-safe. Example:
//   hxtest::LoopbackHttpServer server;
//   std::string url = server.url("/bytes/100");
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace hxtest {

// Byte i of every body the server generates; it does not repeat within 4 GiB.
inline char body_byte(uint64_t i) {
  return static_cast<char>((static_cast<uint32_t>(i) * 2654435761u) >> 24);
}

class LoopbackHttpServer {
 public:
  explicit LoopbackHttpServer(bool listening = true);
  ~LoopbackHttpServer();

  // "http://127.0.0.1:<port>" followed by `target`.
  std::string url(const std::string& target) const;
  // The head (request line and headers) of every request served so far, in order.
  std::vector<std::string> requests() const;

 private:
  bool readable(int fd) const;  // false once the server is told to stop
  void answer(int client);

  int listener_;
  int wake_[2] = {-1, -1};  // a pipe whose write end stops the server
  std::string body_;        // the generated body, extended as longer ones are asked for
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

}  // namespace hxtest
