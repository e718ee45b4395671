// SPDX-License-Identifier: Apache-2.0
// The loopback HTTP server over plain sockets: POSIX, or Winsock on Windows.
#include "loopback_http_server.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <system_error>
#include <type_traits>

namespace hxtest {

namespace {

using Socket = LoopbackHttpServer::Socket;

#ifdef _WIN32
static_assert(std::is_same_v<Socket, SOCKET>);
constexpr int MSG_NOSIGNAL = 0, SOCK_CLOEXEC = 0;
int socket_error() { return WSAGetLastError(); }
bool is_socket(Socket s) { return s != INVALID_SOCKET; }
// Winsock ends a wait in accept only by closing the socket, and every
// failure of accept there is final.
Socket accept_client(Socket listener) { return accept(listener, nullptr, nullptr); }
bool accept_failed_for_good() { return true; }
void end_accepting(Socket listener) { closesocket(listener); }
void close_socket(Socket s) { closesocket(s); }
void close_listener(Socket) {}
#else
int socket_error() { return errno; }
bool is_socket(Socket s) { return s >= 0; }
Socket accept_client(Socket listener) { return accept4(listener, nullptr, nullptr, SOCK_CLOEXEC); }
bool accept_failed_for_good() { return errno != EINTR && errno != ECONNABORTED; }
void end_accepting(Socket listener) { shutdown(listener, SHUT_RDWR); }
void close_socket(Socket s) { close(s); }
void close_listener(Socket listener) { close(listener); }
#endif

Socket open_socket() {
#ifdef _WIN32
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  if (!started) return INVALID_SOCKET;
#endif
  return socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
}

bool send_all(Socket client, const char* bytes, size_t n) {
  for (ssize_t sent = 0; n > 0; bytes += sent, n -= static_cast<size_t>(sent)) {
    if ((sent = send(client, bytes, n, MSG_NOSIGNAL)) <= 0) return false;
  }
  return true;
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer(bool listening) : listener_(open_socket()) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (!is_socket(listener_) ||
      bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      (listening && listen(listener_, 16) != 0))
    throw std::system_error(socket_error(), std::generic_category(), "loopback server");
  if (!listening) return;
  thread_ = std::thread([this] {
    for (;;) {  // the destructor ends the wait in accept
      const Socket client = accept_client(listener_);
      if (!is_socket(client) && accept_failed_for_good()) return;
      if (is_socket(client)) answer(client), close_socket(client);
    }
  });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  end_accepting(listener_);
  if (thread_.joinable()) thread_.join();
  close_listener(listener_);
}

std::string LoopbackHttpServer::url(const std::string& target) const {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
  return "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + target;
}

void LoopbackHttpServer::answer(Socket client) {
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
