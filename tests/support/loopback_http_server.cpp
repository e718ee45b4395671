// The loopback HTTP server over plain POSIX sockets.
#include "loopback_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>
#include <system_error>

namespace hxtest {

namespace {

constexpr size_t kMaxRequestHead = 16384;

[[noreturn]] void fail(const char* what) {
  throw std::system_error(errno, std::generic_category(), what);
}

// A TCP socket bound to 127.0.0.1 on a port the system picks; returns the port.
uint16_t bind_loopback(int socket_fd) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  if (bind(socket_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) fail("bind");
  socklen_t length = sizeof address;
  if (getsockname(socket_fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    fail("getsockname");
  return ntohs(address.sin_port);
}

bool send_all(int client, const char* bytes, size_t n) {
  while (n > 0) {
    const ssize_t sent = send(client, bytes, n, MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    bytes += sent;
    n -= static_cast<size_t>(sent);
  }
  return true;
}

bool send_text(int client, const std::string& text) {
  return send_all(client, text.data(), text.size());
}

std::string ok_head(uint64_t content_length) {
  return "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
         std::to_string(content_length) + "\r\nConnection: close\r\n\r\n";
}

// The number after `prefix` in `target`, or false when the target has another shape.
bool number_after(const std::string& target, const std::string& prefix, uint64_t& number) {
  if (target.compare(0, prefix.size(), prefix) != 0 || target.size() == prefix.size()) return false;
  char* end = nullptr;
  number = std::strtoull(target.c_str() + prefix.size(), &end, 10);
  return *end == '\0';
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer() {
  int wake[2];
  if (pipe(wake) != 0) fail("pipe");
  wake_read_ = wake[0];
  wake_write_ = wake[1];
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listener_ < 0) fail("socket");
  port_ = bind_loopback(listener_);
  if (listen(listener_, 16) != 0) fail("listen");
  thread_ = std::thread(&LoopbackHttpServer::serve, this);
}

LoopbackHttpServer::~LoopbackHttpServer() {
  const char stop = 's';
  (void)!write(wake_write_, &stop, 1);
  thread_.join();
  close(listener_);
  close(wake_read_);
  close(wake_write_);
}

std::string LoopbackHttpServer::url(const std::string& target) const {
  return "http://127.0.0.1:" + std::to_string(port_) + target;
}

std::vector<std::string> LoopbackHttpServer::requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

void LoopbackHttpServer::serve() {
  for (;;) {
    pollfd watched[2] = {{listener_, POLLIN, 0}, {wake_read_, POLLIN, 0}};
    if (poll(watched, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (watched[1].revents != 0) return;
    const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    answer(client);
    close(client);
  }
}

void LoopbackHttpServer::answer(int client) {
  std::string head;
  char chunk[4096];
  while (head.find("\r\n\r\n") == std::string::npos) {
    if (head.size() > kMaxRequestHead) return;
    const ssize_t got = recv(client, chunk, sizeof chunk, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return;
    head.append(chunk, static_cast<size_t>(got));
  }
  head.erase(head.find("\r\n\r\n"));
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(head);
  }
  const size_t target_start = head.find(' ') + 1;
  const std::string target = head.substr(target_start, head.find(' ', target_start) - target_start);

  uint64_t length = 0;
  if (number_after(target, "/bytes/", length)) {
    if (send_text(client, ok_head(length))) send_body(client, length);
  } else if (number_after(target, "/stall/", length)) {
    if (send_text(client, ok_head(2 * length))) send_body(client, length);
    wait_for_close(client);
  } else if (target == "/redirect") {
    send_text(client,
              "HTTP/1.1 302 Found\r\nLocation: /bytes/10\r\nContent-Length: 5\r\n"
              "Connection: close\r\n\r\nmoved");
  } else {
    send_text(client,
              "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\nConnection: close\r\n\r\nnot found");
  }
}

void LoopbackHttpServer::send_body(int client, uint64_t length) {
  const uint64_t generated = body_.size();
  if (generated < length) {
    body_.resize(length);
    for (uint64_t i = generated; i < length; ++i) body_[i] = body_byte(i);
  }
  send_all(client, body_.data(), length);
}

void LoopbackHttpServer::wait_for_close(int client) {
  char sink[4096];
  for (;;) {
    pollfd watched[2] = {{client, POLLIN, 0}, {wake_read_, POLLIN, 0}};
    if (poll(watched, 2, -1) < 0 && errno != EINTR) return;
    if (watched[1].revents != 0) return;
    if (watched[0].revents != 0 && recv(client, sink, sizeof sink, 0) <= 0) return;
  }
}

RefusingPort::RefusingPort() {
  socket_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (socket_ < 0) fail("socket");
  port_ = bind_loopback(socket_);
}

RefusingPort::~RefusingPort() { close(socket_); }

}  // namespace hxtest
