// SPDX-License-Identifier: MIT
#include "tests/support/loopback_proxy.h"

#include "tests/support/loopback_socket.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace nvtest {
namespace {

constexpr int kSliceMs = 50;

int connectTo(const std::string& host, const std::string& port) {
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0) return -1;
  int fd = -1;
  for (addrinfo* a = found; a != nullptr && fd < 0; a = a->ai_next) {
    fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
    if (fd >= 0 && ::connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
      ::close(fd);
      fd = -1;
    }
  }
  freeaddrinfo(found);
  return fd;
}

bool sendAll(int fd, const std::string& bytes) {
  for (size_t at = 0; at < bytes.size();) {
    ssize_t n = ::send(fd, bytes.data() + at, bytes.size() - at, MSG_NOSIGNAL);
    if (n <= 0) return false;
    at += static_cast<size_t>(n);
  }
  return true;
}

// Copies bytes both ways until either side closes.
void relay(int a, int b) {
  char buffer[16384];
  for (;;) {
    pollfd p[2] = {{a, POLLIN, 0}, {b, POLLIN, 0}};
    if (::poll(p, 2, 10000) <= 0) return;
    for (int i = 0; i < 2; ++i) {
      if (!(p[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      ssize_t n = ::recv(p[i].fd, buffer, sizeof buffer, 0);
      if (n <= 0 || !sendAll(i == 0 ? b : a, std::string(buffer, static_cast<size_t>(n)))) return;
    }
  }
}

// "host:port" (host maybe in brackets) split in two.
std::pair<std::string, std::string> hostAndPort(const std::string& authority, const char* defaultPort) {
  size_t colon = authority.rfind(':');
  size_t bracket = authority.rfind(']');
  if (colon == std::string::npos || (bracket != std::string::npos && colon < bracket)) {
    std::string host = authority;
    if (!host.empty() && host[0] == '[') host = host.substr(1, host.size() - 2);
    return {host, defaultPort};
  }
  std::string host = authority.substr(0, colon);
  if (!host.empty() && host[0] == '[') host = host.substr(1, host.size() - 2);
  return {host, authority.substr(colon + 1)};
}

}  // namespace

LoopbackProxy::LoopbackProxy(std::string connectAnswer, std::string forwardingAnswer)
    : connectAnswer_(std::move(connectAnswer)), forwardingAnswer_(std::move(forwardingAnswer)) {
  LoopbackSocket listener = listenOnLoopback("loopback proxy", 16);
  listenFd_ = listener.fd;
  port_ = listener.port;
  acceptor_ = std::thread([this] { acceptLoop(); });
}

LoopbackProxy::~LoopbackProxy() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  acceptor_.join();
  for (std::thread& worker : workers_) worker.join();
  ::close(listenFd_);
}

std::string LoopbackProxy::address() const { return "http://127.0.0.1:" + std::to_string(port_); }

std::vector<std::string> LoopbackProxy::requestLines() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requestLines_;
}

std::vector<std::string> LoopbackProxy::requestHeads() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requestHeads_;
}

void LoopbackProxy::acceptLoop() {
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stopping_) return;
    }
    pollfd p{listenFd_, POLLIN, 0};
    if (::poll(&p, 1, kSliceMs) <= 0) continue;
    int client = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    std::lock_guard<std::mutex> lock(mutex_);
    workers_.emplace_back([this, client] { serve(client); });
  }
}

void LoopbackProxy::serve(int client) {
  // The request head: up to the empty line.
  std::string head;
  char c;
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536 && ::recv(client, &c, 1, 0) == 1) head += c;
  std::string line = head.substr(0, head.find("\r\n"));
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requestLines_.push_back(line);
    requestHeads_.push_back(head);
  }
  size_t space = line.find(' '), space2 = line.find(' ', space + 1);
  std::string method = line.substr(0, space), target = line.substr(space + 1, space2 - space - 1);
  int upstream = -1;
  if (method == "CONNECT" && !connectAnswer_.empty()) {
    if (connectAnswer_ == kSilent) {
      for (;;) {
        {
          std::lock_guard<std::mutex> lock(mutex_);
          if (stopping_) break;
        }
        ::poll(nullptr, 0, kSliceMs);
      }
    } else {
      sendAll(client, connectAnswer_);
    }
  } else if (method == "CONNECT") {
    auto [host, port] = hostAndPort(target, "443");
    upstream = connectTo(host, port);
    sendAll(client, upstream >= 0 ? "HTTP/1.1 200 Connection established\r\n\r\n" : "HTTP/1.1 502 Bad Gateway\r\n\r\n");
  } else if (target.rfind("http://", 0) == 0 && !forwardingAnswer_.empty()) {
    sendAll(client, forwardingAnswer_);
  } else if (target.rfind("http://", 0) == 0) {
    std::string authority = target.substr(7, target.find('/', 7) - 7);
    auto [host, port] = hostAndPort(authority, "80");
    upstream = connectTo(host, port);
    if (upstream < 0 || !sendAll(upstream, head)) sendAll(client, "HTTP/1.1 502 Bad Gateway\r\n\r\n");
  } else {
    sendAll(client, "HTTP/1.1 400 Bad Request\r\n\r\n");
  }
  if (upstream >= 0) {
    relay(client, upstream);
    ::close(upstream);
  }
  ::close(client);
}

}  // namespace nvtest
