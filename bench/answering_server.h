// SPDX-License-Identifier: MIT
// A loopback HTTP server for benchmarks: every connection gets the same
// canned response bytes. It reads each request only as far as it must (the
// headers, then Content-Length body bytes), answers and closes, so its own
// cost per call is a few system calls. A keeping server answers every
// request on a connection and leaves it open for the next, as a centre with
// HTTP/1.1 keep-alive does; its answers must then say so (keptAlive()).
//
// One thread runs an epoll loop over non-blocking sockets; a large response
// is written as the client drains it, so one slow download does not hold up
// other connections. A delay makes it a centre that takes its time: each
// answer starts that long after its request is in, without holding up the
// other connections.
#ifndef NVBENCH_ANSWERING_SERVER_H
#define NVBENCH_ANSWERING_SERVER_H

#include <atomic>
#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>

namespace nvbench {

enum class Connections { closed, kept };

class AnsweringServer {
 public:
  // Binds 127.0.0.1 on an ephemeral port and starts answering.
  explicit AnsweringServer(std::string response, std::chrono::microseconds delay = {},
                           Connections connections = Connections::closed);
  ~AnsweringServer();  // stops and joins; open connections are closed
  AnsweringServer(const AnsweringServer&) = delete;
  AnsweringServer& operator=(const AnsweringServer&) = delete;

  int port() const { return port_; }
  // "http://127.0.0.1:<port>/clinic/webservice/inpatientRedeem"
  std::string url() const;
  const std::string& response() const { return response_; }

  // The raw bytes of the first complete request received ("" before any).
  std::string firstRequest() const;
  // Requests read completely and answered in full.
  size_t answered() const { return answered_.load(std::memory_order_relaxed); }
  // Connections closed before a full request arrived or the answer was sent.
  size_t broken() const { return broken_.load(std::memory_order_relaxed); }
  // Connections accepted so far: calls on kept connections open none.
  size_t accepted() const { return accepted_.load(std::memory_order_relaxed); }

 private:
  struct Connection;
  void loop();

  const std::string response_;
  const std::chrono::microseconds delay_;
  const bool keep_;
  int listenFd_ = -1;
  int epollFd_ = -1;
  int stopFd_ = -1;  // eventfd: wakes the loop to stop
  int port_ = 0;
  mutable std::mutex firstMutex_;
  std::string first_;
  std::atomic<bool> haveFirst_{false};
  std::atomic<size_t> answered_{0};
  std::atomic<size_t> broken_{0};
  std::atomic<size_t> accepted_{0};
  std::thread thread_;
};

}  // namespace nvbench

#endif
