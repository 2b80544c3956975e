// SPDX-License-Identifier: MIT
#include <netinet/in.h>
#include <sys/socket.h>

#include "tools/sandbox/platform.h"

namespace sandbox {

void prepareServerSockets(struct soap* soap) {
  soap->bind_flags = SO_REUSEADDR;
  soap->socket_flags = MSG_NOSIGNAL;
}

int boundPort(struct soap* soap) {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  if (getsockname(soap->master, reinterpret_cast<sockaddr*>(&address), &length) != 0) return -1;
  if (address.ss_family == AF_INET) return ntohs(reinterpret_cast<sockaddr_in*>(&address)->sin_port);
  if (address.ss_family == AF_INET6) return ntohs(reinterpret_cast<sockaddr_in6*>(&address)->sin6_port);
  return -1;
}

void interruptSocket(SOAP_SOCKET socket) { shutdown(socket, SHUT_RDWR); }

}  // namespace sandbox
