// A loopback server for one connection that reads the request, sends the
// given bytes (maybe none) and then falls silent, holding the connection
// open until it is destroyed: a centre that stops mid-answer.
#ifndef NV_TESTS_ROBUSTNESS_STALLING_SERVER_H
#define NV_TESTS_ROBUSTNESS_STALLING_SERVER_H

#include <atomic>
#include <string>
#include <thread>

namespace nvtest {

class StallingServer {
 public:
  explicit StallingServer(std::string sentBeforeSilence);
  ~StallingServer();
  StallingServer(const StallingServer&) = delete;
  StallingServer& operator=(const StallingServer&) = delete;

  std::string url() const;

 private:
  void serve();

  std::string bytes_;
  int listenFd_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace nvtest

#endif
