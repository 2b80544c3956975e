// SPDX-License-Identifier: MIT
#include "bench/answering_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <stdexcept>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace nvbench {

namespace {

[[noreturn]] void fail(const char* what) { throw std::runtime_error(std::string(what) + ": " + std::strerror(errno)); }

// Bytes of the request once its headers are in: the head (with the blank
// line) plus Content-Length. Zero while the head is incomplete.
size_t requestLength(std::string_view received) {
  size_t headEnd = received.find("\r\n\r\n");
  if (headEnd == std::string_view::npos) return 0;
  std::string_view head = received.substr(0, headEnd + 2);
  size_t bodyLength = 0;
  for (size_t at = 0; at < head.size();) {
    size_t eol = head.find("\r\n", at);
    std::string_view line = head.substr(at, eol - at);
    at = eol + 2;
    constexpr std::string_view kName = "content-length:";
    if (line.size() < kName.size()) continue;
    bool same = true;
    for (size_t i = 0; i < kName.size() && same; ++i) same = (line[i] | 0x20) == kName[i];  // letters and ':' alike
    if (!same) continue;
    for (char ch : line.substr(kName.size()))
      if (ch >= '0' && ch <= '9') bodyLength = bodyLength * 10 + static_cast<size_t>(ch - '0');
  }
  return headEnd + 4 + bodyLength;
}

}  // namespace

struct AnsweringServer::Connection {
  int fd;
  std::string received;
  size_t needed = 0;  // whole request length, once known
  size_t sent = 0;    // response bytes written so far
  bool answering = false;
  bool listening = true;  // epoll waits for its requests (not for room to write, nor for nothing)
  size_t served = 0;      // requests answered on it (kept connections only)
};

AnsweringServer::AnsweringServer(std::string response, std::chrono::microseconds delay, Connections connections)
    : response_(std::move(response)), delay_(delay), keep_(connections == Connections::kept) {
  listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (listenFd_ < 0) fail("socket");
  int on = 1;
  setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) fail("bind");
  if (listen(listenFd_, 1024) != 0) fail("listen");
  socklen_t length = sizeof address;
  getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);

  epollFd_ = epoll_create1(EPOLL_CLOEXEC);
  stopFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (epollFd_ < 0 || stopFd_ < 0) fail("epoll");
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.ptr = &listenFd_;
  epoll_ctl(epollFd_, EPOLL_CTL_ADD, listenFd_, &event);
  event.data.ptr = &stopFd_;
  epoll_ctl(epollFd_, EPOLL_CTL_ADD, stopFd_, &event);
  thread_ = std::thread([this] { loop(); });
}

AnsweringServer::~AnsweringServer() {
  uint64_t one = 1;
  if (write(stopFd_, &one, sizeof one) < 0) {
    // The loop is only woken by this write; without it there is no clean stop.
    std::terminate();
  }
  thread_.join();
  close(stopFd_);
  close(epollFd_);
  close(listenFd_);
}

std::string AnsweringServer::url() const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/clinic/webservice/inpatientRedeem";
}

std::string AnsweringServer::firstRequest() const {
  std::lock_guard<std::mutex> lock(firstMutex_);
  return first_;
}

void AnsweringServer::loop() {
  using Clock = std::chrono::steady_clock;
  std::unordered_set<Connection*> open;
  // Requests that are in, waiting out the delay; due in arrival order, as
  // every answer waits alike.
  std::deque<std::pair<Clock::time_point, Connection*>> waiting;
  epoll_event events[64];
  std::vector<char> chunk(16384);
  auto release = [&](Connection* c) {
    close(c->fd);
    open.erase(c);
    delete c;
  };
  auto finish = [&](Connection* c, bool complete) {
    release(c);
    (complete ? answered_ : broken_).fetch_add(1, std::memory_order_relaxed);
  };
  auto watch = [&](Connection* c, uint32_t events) {
    epoll_event event{};
    event.events = events;
    event.data.ptr = c;
    epoll_ctl(epollFd_, EPOLL_CTL_MOD, c->fd, &event);
    c->listening = events == (EPOLLIN | EPOLLRDHUP);
  };
  auto complete = [](const Connection* c) { return c->needed != 0 && c->received.size() >= c->needed; };
  std::function<void(Connection*)> onRequest;  // the whole request is in
  // Writes what the socket takes; true when the connection is finished.
  auto answer = [&](Connection* c) {
    while (c->sent < response_.size()) {
      ssize_t n = send(c->fd, response_.data() + c->sent, response_.size() - c->sent, MSG_NOSIGNAL);
      if (n > 0) {
        c->sent += static_cast<size_t>(n);
        continue;
      }
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
      finish(c, false);  // the client went away
      return;
    }
    if (c->sent < response_.size()) return watch(c, EPOLLOUT);
    if (!keep_) return finish(c, true);
    // Kept: ready for the next request, which may already be in.
    answered_.fetch_add(1, std::memory_order_relaxed);
    ++c->served;
    c->received.erase(0, c->needed);
    c->needed = requestLength(c->received);
    c->sent = 0;
    c->answering = false;
    if (!c->listening) watch(c, EPOLLIN | EPOLLRDHUP);
    if (complete(c)) onRequest(c);
  };
  onRequest = [&](Connection* c) {
    if (!haveFirst_.load(std::memory_order_acquire)) {
      std::lock_guard<std::mutex> lock(firstMutex_);
      first_ = c->received.substr(0, c->needed);
      haveFirst_.store(true, std::memory_order_release);
    }
    if (delay_.count() > 0) {
      watch(c, 0);  // nothing more to read: no events until the answer is due
      waiting.emplace_back(Clock::now() + delay_, c);
      return;
    }
    c->answering = true;
    answer(c);
  };
  for (;;) {
    int timeoutMs = -1;
    if (!waiting.empty()) {
      auto left = std::chrono::ceil<std::chrono::milliseconds>(waiting.front().first - Clock::now()).count();
      timeoutMs = static_cast<int>(std::max<decltype(left)>(left, 0));
    }
    int count = epoll_wait(epollFd_, events, 64, timeoutMs);
    if (count < 0) {
      if (errno == EINTR) continue;
      break;
    }
    for (int i = 0; i < count; ++i) {
      void* tag = events[i].data.ptr;
      if (tag == &stopFd_) {
        for (Connection* c : open) {
          close(c->fd);
          delete c;
        }
        return;
      }
      if (tag == &listenFd_) {
        for (;;) {
          int fd = accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
          if (fd < 0) break;
          int on = 1;
          setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
          accepted_.fetch_add(1, std::memory_order_relaxed);
          auto* c = new Connection{fd, {}, 0, 0, false, true, 0};
          c->received.reserve(2048);
          epoll_event event{};
          event.events = EPOLLIN | EPOLLRDHUP;
          event.data.ptr = c;
          epoll_ctl(epollFd_, EPOLL_CTL_ADD, fd, &event);
          open.insert(c);
        }
        continue;
      }
      auto* c = static_cast<Connection*>(tag);
      if (c->answering) {
        answer(c);
        continue;
      }
      if (complete(c)) continue;  // waiting out the delay
      // Read what is there; answer once the whole request is in.
      bool closed = false;
      for (;;) {
        ssize_t n = recv(c->fd, chunk.data(), chunk.size(), 0);
        if (n > 0) {
          c->received.append(chunk.data(), static_cast<size_t>(n));
          if (c->needed == 0) c->needed = requestLength(c->received);
          if (complete(c)) break;
          continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        closed = true;  // closed or failed before the request was complete
        break;
      }
      if (closed) {
        // A kept connection closed between requests ended well.
        if (c->served > 0 && c->received.empty())
          release(c);
        else
          finish(c, false);
        continue;
      }
      if (complete(c)) onRequest(c);
    }
    // After the events, so none of this round names a connection finished here.
    while (!waiting.empty() && waiting.front().first <= Clock::now()) {
      Connection* c = waiting.front().second;
      waiting.pop_front();
      c->answering = true;
      answer(c);
    }
  }
}

}  // namespace nvbench
