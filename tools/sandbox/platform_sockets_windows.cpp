// SPDX-License-Identifier: MIT
// Winsock; the runtime has started it (WSAStartup) by the time of the bind.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "tools/sandbox/platform.h"

namespace sandbox {

void prepareServerSockets(struct soap* soap) {
  // On Windows SO_REUSEADDR would let a second sandbox bind a port in use;
  // without it the bind fails. Winsock raises no signal for a closed peer.
  soap->bind_flags = 0;
}

int boundPort(struct soap* soap) {
  sockaddr_storage address{};
  int length = sizeof address;
  if (getsockname(soap->master, reinterpret_cast<sockaddr*>(&address), &length) != 0) return -1;
  if (address.ss_family == AF_INET) return ntohs(reinterpret_cast<sockaddr_in*>(&address)->sin_port);
  if (address.ss_family == AF_INET6) return ntohs(reinterpret_cast<sockaddr_in6*>(&address)->sin6_port);
  return -1;
}

void interruptSocket(SOAP_SOCKET socket) { shutdown(socket, SD_BOTH); }

}  // namespace sandbox
