#include "tests/robustness/stalling_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace nvtest {
namespace {
constexpr int kSliceMs = 20;

// Waits in short slices so that a stop is noticed; false once stopping.
bool readable(int fd, const std::atomic<bool>& stopping) {
  while (!stopping) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, kSliceMs) > 0) return true;
  }
  return false;
}
}  // namespace

StallingServer::StallingServer(std::string sentBeforeSilence) : bytes_(std::move(sentBeforeSilence)) {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::listen(listenFd_, 4) != 0 || ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
    throw std::runtime_error("stalling server: cannot listen on 127.0.0.1");
  port_ = ntohs(addr.sin_port);
  thread_ = std::thread([this] { serve(); });
}

StallingServer::~StallingServer() {
  stopping_ = true;
  thread_.join();
  ::close(listenFd_);
}

std::string StallingServer::url() const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/clinic/webservice/inpatientRedeem";
}

void StallingServer::serve() {
  if (!readable(listenFd_, stopping_)) return;
  int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
  if (fd < 0) return;
  // The request ends with the envelope's closing tag.
  std::string request;
  char buffer[4096];
  while (request.find("Envelope>") == std::string::npos && readable(fd, stopping_)) {
    ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    request.append(buffer, static_cast<size_t>(n));
  }
  if (!bytes_.empty()) ::send(fd, bytes_.data(), bytes_.size(), MSG_NOSIGNAL);
  while (!stopping_) ::poll(nullptr, 0, kSliceMs);
  ::close(fd);
}

}  // namespace nvtest
