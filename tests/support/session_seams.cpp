// SPDX-License-Identifier: MIT
#include "tests/support/session_seams.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fcntl.h>

#include <cerrno>
#include <stdexcept>

#include "tests/support/loopback_socket.h"
#include "tests/support/scripted_server.h"

namespace nvtest {

ScopedSessionSeams::ScopedSessionSeams() : EnvironmentWrapper(nv::Environment::current()) {}

ScopedSessionSeams::~ScopedSessionSeams() {
  if (installed_) nv::substituteEnvironment(previous_);
}

void ScopedSessionSeams::install() {
  previous_ = nv::substituteEnvironment(this);
  installed_ = true;
}

nv::SessionLimits scaledLimits(std::chrono::milliseconds connect, long bytesPerSecond, long seconds) {
  nv::SessionLimits limits;
  limits.connect = connect;
  limits.lowSpeedBytesPerSecond = bytesPerSecond;
  limits.lowSpeedSeconds = seconds;
  limits.settledGrace = std::chrono::milliseconds(200);
  return limits;
}

ScopedSessionLimits::ScopedSessionLimits(nv::SessionLimits limits) : limits_(limits) { install(); }

ScopedSessionTransport::ScopedSessionTransport(std::string_view response)
    : response_(response), listener_(listenOnLoopback("ScopedSessionTransport", 64)) {
  connectTo_ = "::127.0.0.1:" + std::to_string(listener_.port);
  if (::pipe2(wake_, O_CLOEXEC) != 0) throw std::runtime_error("ScopedSessionTransport: no pipe");
  install();
  acceptor_ = std::thread([this] { accept(); });
}

ScopedSessionTransport::~ScopedSessionTransport() {
  stopping_ = true;
  (void)!::write(wake_[1], "x", 1);
  acceptor_.join();
  ::close(wake_[0]);
  ::close(wake_[1]);
  for (std::thread& server : servers_) server.join();
  ::close(listener_.fd);
}

std::string ScopedSessionTransport::sent() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return sent_;
}

// Every connection the library makes, whatever host it names, comes here;
// each is served on its own thread.
void ScopedSessionTransport::accept() {
  while (!stopping_) {
    pollfd ready[2] = {{listener_.fd, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    if (::poll(ready, 2, -1) <= 0 || (ready[1].revents & POLLIN)) continue;
    int server = ::accept4(listener_.fd, nullptr, nullptr, SOCK_CLOEXEC);
    if (server >= 0) servers_.emplace_back([this, server] { serve(server); });
  }
}

// Reads the request, answers with the response from its start and closes,
// as a centre that closes after every answer does.
void ScopedSessionTransport::serve(int fd) {
  std::string request;
  char buffer[16384];
  // A request that is not HTTP (a TLS handshake to an https:// centre) is
  // answered as it is: the answer from memory is plain.
  while (!requestComplete(request) && (request.empty() || request.rfind("POST ", 0) == 0 || request.size() < 5)) {
    ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    request.append(buffer, static_cast<size_t>(n));
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    sent_ += request;
  }
  sendAll(fd, std::string(response_));
  ::shutdown(fd, SHUT_WR);
  // Until the library lets go of its end, so it never meets a reset.
  pollfd ready{fd, POLLIN, 0};
  while (::poll(&ready, 1, 5000) > 0 && ::recv(fd, buffer, sizeof buffer, 0) > 0) {
  }
  ::close(fd);
}

ScopedResolve::ScopedResolve(std::string entry) : entry_(std::move(entry)) {
  if (entry_.empty()) return;
  install();
}

ScopedAnswerReader::ScopedAnswerReader(Factory reader) : reader_(reader) { install(); }

ScopedTraceSettings::ScopedTraceSettings(nv::TraceSettings settings, Sink sink, void* context)
    : settings_(std::move(settings)), sink_(sink), context_(context) {
  install();
}

}  // namespace nvtest
