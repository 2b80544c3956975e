#include "tests/robustness/stalling_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
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

StallingServer::StallingServer(std::string sentBeforeSilence, Pace sending, Pace reading)
    : bytes_(std::move(sentBeforeSilence)), sending_(sending), reading_(reading) {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  // A slow reader with a small window, so the client's sending stalls soon.
  int small = 4096;
  if (reading_.bytes > 0) ::setsockopt(listenFd_, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
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
  size_t readStep = reading_.bytes > 0 ? std::min(reading_.bytes, sizeof buffer) : sizeof buffer;
  while (request.find("Envelope>") == std::string::npos && readable(fd, stopping_)) {
    ssize_t n = ::recv(fd, buffer, readStep, 0);
    if (n <= 0) break;
    request.append(buffer, static_cast<size_t>(n));
    if (reading_.bytes > 0 && !pause(reading_.everyMs)) break;
  }
  size_t sendStep = sending_.bytes > 0 ? sending_.bytes : bytes_.size();
  for (size_t at = 0; at < bytes_.size() && !stopping_; at += sendStep) {
    if (::send(fd, bytes_.data() + at, std::min(sendStep, bytes_.size() - at), MSG_NOSIGNAL) < 0) break;
    if (sending_.bytes > 0 && !pause(sending_.everyMs)) break;
  }
  while (!stopping_) ::poll(nullptr, 0, kSliceMs);
  ::close(fd);
}

bool StallingServer::pause(int ms) {
  for (int waited = 0; waited < ms && !stopping_; waited += kSliceMs) ::poll(nullptr, 0, std::min(kSliceMs, ms - waited));
  return !stopping_;
}

}  // namespace nvtest
