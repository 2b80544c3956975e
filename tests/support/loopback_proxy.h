// SPDX-License-Identifier: MIT
// A small HTTP proxy on 127.0.0.1 for the proxy tests: CONNECT opens a
// tunnel (HTTPS through the proxy), any other request is forwarded to the
// host its absolute URL names. It keeps the request line of every request
// it was sent, so a test sees which calls went through it and how. Given a
// CONNECT answer, it answers every CONNECT with it and closes; given
// kSilent, it never answers one. Given a forwarding answer, it answers every
// other request with it (a 407 of its own, say) and forwards nothing.
#ifndef NVTEST_LOOPBACK_PROXY_H
#define NVTEST_LOOPBACK_PROXY_H

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace nvtest {

class LoopbackProxy {
 public:
  static constexpr const char* kSilent = "silent";
  explicit LoopbackProxy(std::string connectAnswer = "", std::string forwardingAnswer = "");
  ~LoopbackProxy();
  LoopbackProxy(const LoopbackProxy&) = delete;
  LoopbackProxy& operator=(const LoopbackProxy&) = delete;

  // "http://127.0.0.1:<port>", as proxy variables name it.
  std::string address() const;
  std::vector<std::string> requestLines() const;
  // Each request's head, up to its empty line.
  std::vector<std::string> requestHeads() const;

 private:
  void acceptLoop();
  void serve(int client);

  std::string connectAnswer_, forwardingAnswer_;
  int listenFd_ = -1;
  int port_ = 0;
  mutable std::mutex mutex_;
  bool stopping_ = false;
  std::vector<std::string> requestLines_, requestHeads_;
  std::vector<std::thread> workers_;
  std::thread acceptor_;
};

}  // namespace nvtest

#endif
