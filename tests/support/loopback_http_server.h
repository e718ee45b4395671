// loopback_http_server.h - a small HTTP/1.1 server on 127.0.0.1 for fetch tests and benchmarks.
//
// Listens on an ephemeral port from construction to destruction and serves one connection at
// a time on a thread of its own, closing each connection after its response. Targets:
//   /bytes/N    200 with an N-byte body whose byte i is `body_byte(i)`
//   /redirect   302 to /bytes/10 whose own 5-byte body is "moved"
//   /stall/N    200 announcing 2N bytes, sends the first N, then waits for the client to go
//   anything else 404 with the body "not found"
// The destructor stops the server even while a connection stalls. Thread-safe. Example:
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
  LoopbackHttpServer();
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  uint16_t port() const { return port_; }
  // "http://127.0.0.1:<port>" followed by `target`.
  std::string url(const std::string& target) const;
  // The head (request line and headers) of every request served so far, in order.
  std::vector<std::string> requests() const;

 private:
  void serve();
  void answer(int client);
  void send_body(int client, uint64_t length);
  void wait_for_close(int client);

  int listener_ = -1;
  int wake_read_ = -1;
  int wake_write_ = -1;
  uint16_t port_ = 0;
  std::string body_;  // the generated body, extended as longer ones are asked for
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

// A port on 127.0.0.1 that is bound but not listening while this object lives, so a
// connection to it is refused at once.
class RefusingPort {
 public:
  RefusingPort();
  ~RefusingPort();
  RefusingPort(const RefusingPort&) = delete;
  RefusingPort& operator=(const RefusingPort&) = delete;
  uint16_t port() const { return port_; }

 private:
  int socket_ = -1;
  uint16_t port_ = 0;
};

}  // namespace hxtest
