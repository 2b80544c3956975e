// SPDX-License-Identifier: MIT
// The listening socket of a test server: TCP on 127.0.0.1, at a port the
// system picks.
#ifndef NV_TESTS_SUPPORT_LOOPBACK_SOCKET_H
#define NV_TESTS_SUPPORT_LOOPBACK_SOCKET_H

namespace nvtest {

struct LoopbackSocket {
  int fd;
  int port;
};

// Throws std::runtime_error ("<who>: cannot listen on 127.0.0.1") when it
// cannot. receiveBuffer > 0 sets the receive buffer before listening, so
// that the accepted connections take it.
LoopbackSocket listenOnLoopback(const char* who, int backlog, int receiveBuffer = 0);

}  // namespace nvtest

#endif
