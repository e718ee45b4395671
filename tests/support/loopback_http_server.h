// SPDX-License-Identifier: Apache-2.0
// loopback_http_server.h - an HTTP/1.1 server on 127.0.0.1 for fetch tests and benchmarks.
// Listens on an ephemeral port for its lifetime and answers one connection at a time on its own
// thread: /bytes/N gives N bytes whose byte i is `body_byte(i)`, /echo the request's head, and
// /redirect a 302 to /bytes/10 whose own body is "moved"; /stall/N announces 2N bytes, sends N
// and waits for the client to close; anything else is closed unanswered. With `listening` false
// it only holds its port, so a connection is refused at once. Example:
//   hxtest::LoopbackHttpServer server;
//   std::string url = server.url("/bytes/100");
#pragma once

#include <cstdint>
#include <string>
#include <thread>

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

#ifdef _WIN32
  using Socket = std::uintptr_t;  // Winsock's SOCKET
#else
  using Socket = int;
#endif

 private:
  void answer(Socket client);

  Socket listener_;
  std::string body_;  // the generated body, extended as longer ones are asked for
  std::thread thread_;
};

}  // namespace hxtest
