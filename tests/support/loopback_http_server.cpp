// SPDX-License-Identifier: Apache-2.0
// The loopback HTTP server over plain POSIX sockets.
#include "loopback_http_server.h"

#include <arpa/inet.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <system_error>

namespace hxtest {

namespace {

bool send_all(int client, const char* bytes, size_t n) {
  for (ssize_t sent = 0; n > 0; bytes += sent, n -= static_cast<size_t>(sent)) {
    if ((sent = send(client, bytes, n, MSG_NOSIGNAL)) <= 0) return false;
  }
  return true;
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer(bool listening)
    : listener_(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
  sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
  if (listener_ < 0 ||
      bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      (listening && listen(listener_, 16) != 0))
    throw std::system_error(errno, std::generic_category(), "loopback server");
  if (!listening) return;
  thread_ = std::thread([this] {
    for (;;) {  // the destructor's shutdown ends the wait in accept
      const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0 && errno != EINTR && errno != ECONNABORTED) return;
      if (client >= 0) answer(client), close(client);
    }
  });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  shutdown(listener_, SHUT_RDWR);
  if (thread_.joinable()) thread_.join();
  close(listener_);
}

std::string LoopbackHttpServer::url(const std::string& target) const {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
  return "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + target;
}

void LoopbackHttpServer::answer(int client) {
  std::string head;
  char chunk[4096];
  for (ssize_t got; head.find("\r\n\r\n") == std::string::npos; head.append(chunk, got)) {
    if (head.size() > 16384 || (got = recv(client, chunk, sizeof chunk, 0)) <= 0) return;
  }
  head.resize(head.find("\r\n\r\n"));
  uint64_t length = head.size();
  const char* body = head.data();
  const bool stall = std::sscanf(head.c_str(), "GET /stall/%" SCNu64, &length) == 1;
  if (stall || std::sscanf(head.c_str(), "GET /bytes/%" SCNu64, &length) == 1) {
    for (uint64_t i = body_.size(); i < length; ++i) body_.push_back(body_byte(i));
    body = body_.data();
  } else if (head.rfind("GET /echo ", 0) != 0) {
    const char kMoved[] =
        "HTTP/1.1 302 Found\r\nLocation: /bytes/10\r\nContent-Length: 5\r\n"
        "Connection: close\r\n\r\nmoved";
    if (head.rfind("GET /redirect ", 0) == 0) send_all(client, kMoved, sizeof kMoved - 1);
    return;
  }
  const std::string ok =
      "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(stall ? 2 * length : length) +
      "\r\nConnection: close\r\n\r\n";
  if (send_all(client, ok.data(), ok.size())) send_all(client, body, length);
  while (stall && recv(client, chunk, sizeof chunk, 0) > 0) {
  }
}

}  // namespace hxtest
