// SPDX-License-Identifier: MIT
// A loopback server for one connection that reads the request, sends the
// given bytes (maybe none) and then falls silent, holding the connection
// open until it is destroyed: a centre that stops mid-answer. Either side
// may be paced: a centre that trickles its answer or reads slowly. With a
// PEM file (certificate, then key) it speaks TLS and trickles the raw bytes
// of its TLS records. At once, it sends its bytes on connecting, without
// waiting for a request: a peer that answers a TLS hello with junk.
#ifndef NV_TESTS_ROBUSTNESS_STALLING_SERVER_H
#define NV_TESTS_ROBUSTNESS_STALLING_SERVER_H

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

namespace nvtest {

// How a side moves its bytes: `bytes` at a time, one step every `everyMs`.
// No bytes: all at once.
struct Pace {
  size_t bytes = 0;
  int everyMs = 0;
};

class StallingServer {
 public:
  explicit StallingServer(std::string sentBeforeSilence, Pace sending = {}, Pace reading = {}, std::string tlsPem = "",
                          bool atOnce = false);
  ~StallingServer();
  StallingServer(const StallingServer&) = delete;
  StallingServer& operator=(const StallingServer&) = delete;

  std::string url() const;
  // Over TLS, what the client sent: the server name it asked for ("" when
  // none) and the request line.
  std::string serverName() const;
  std::string requestLine() const;

 private:
  void serve();

  bool pause(int ms);  // false once stopping
  void sendPaced(int fd, const std::string& bytes);
  void serveTls(int fd);

  std::string bytes_;
  Pace sending_, reading_;
  std::string tlsPem_;
  bool atOnce_;
  mutable std::mutex mutex_;
  std::string serverName_, requestLine_;
  int listenFd_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace nvtest

#endif
