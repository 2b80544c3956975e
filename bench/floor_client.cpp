// SPDX-License-Identifier: MIT
#include "bench/floor_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string_view>

namespace nvbench {

namespace {

[[noreturn]] void fail(const char* what) { throw std::runtime_error(std::string(what) + ": " + std::strerror(errno)); }

// Head plus Content-Length once the head is complete, otherwise 0.
size_t expectedLength(std::string_view received) {
  size_t headEnd = received.find("\r\n\r\n");
  if (headEnd == std::string_view::npos) return 0;
  constexpr std::string_view kName = "\r\ncontent-length:";
  for (size_t at = 0; at + kName.size() <= headEnd; ++at) {
    bool same = true;
    for (size_t i = 0; i < kName.size() && same; ++i) same = (received[at + i] | 0x20) == (kName[i] | 0x20);
    if (!same) continue;
    size_t length = 0;
    for (size_t i = at + kName.size(); i < headEnd && received[i] != '\r'; ++i)
      if (received[i] >= '0' && received[i] <= '9') length = length * 10 + static_cast<size_t>(received[i] - '0');
    return headEnd + 4 + length;
  }
  return 0;
}

int connectedSocket(int port) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) fail("socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    int error = errno;
    close(fd);
    errno = error;
    fail("connect");
  }
  return fd;
}

void sendAll(int fd, const std::string& request) {
  for (size_t sent = 0; sent < request.size();) {
    ssize_t n = send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) fail("send");
    sent += static_cast<size_t>(n);
  }
}

// Reads one response: up to its Content-Length, or to the end of the
// connection when `untilClosed` allows it to end there.
Received receive(int fd, bool untilClosed) {
  Received response;
  size_t capacity = 4096;
  response.bytes.reset(new char[capacity]);
  size_t expected = 0;
  auto grow = [&](size_t to) {
    std::unique_ptr<char[]> larger(new char[to]);
    std::memcpy(larger.get(), response.bytes.get(), response.size);
    response.bytes = std::move(larger);
    capacity = to;
  };
  for (;;) {
    if (response.size == capacity) grow(capacity * 2);
    ssize_t n = recv(fd, response.bytes.get() + response.size, capacity - response.size, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) fail("recv");
    if (n == 0) {
      if (untilClosed) break;
      throw std::runtime_error("the kept connection closed after " + std::to_string(response.size) + " bytes");
    }
    response.size += static_cast<size_t>(n);
    if (expected == 0) {
      expected = expectedLength(response.view());
      if (expected > capacity) grow(expected);
    }
    if (expected != 0 && response.size >= expected) break;
  }
  return response;
}

class Socket {
 public:
  explicit Socket(int port) : fd_(connectedSocket(port)) {}
  ~Socket() { close(fd_); }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

Received floorExchange(int port, const std::string& request) {
  Socket socket(port);
  sendAll(socket.fd(), request);
  return receive(socket.fd(), true);
}

KeptFloor::KeptFloor(int port) : fd_(connectedSocket(port)) {}

KeptFloor::~KeptFloor() { close(fd_); }

Received KeptFloor::exchange(const std::string& request) {
  sendAll(fd_, request);
  return receive(fd_, false);
}

}  // namespace nvbench
