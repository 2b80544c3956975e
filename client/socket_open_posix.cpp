// SPDX-License-Identifier: MIT
#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "text/platform.h"

namespace nv {

curl_socket_t openConnectionSocket(const curl_sockaddr& address) {
  return ::socket(address.family, address.socktype | SOCK_CLOEXEC, address.protocol);
}

bool connectionIsQuiet(curl_socket_t socket) {
  pollfd watched{socket, POLLIN, 0};
  return ::poll(&watched, 1, 0) == 0;
}

void closeSocketNumber(curl_socket_t socket) { ::close(socket); }

std::string numericAddressBytes(const std::string& text) {
  unsigned char bytes[16];
  if (::inet_pton(AF_INET, text.c_str(), bytes) == 1) return std::string(reinterpret_cast<char*>(bytes), 4);
  if (::inet_pton(AF_INET6, text.c_str(), bytes) == 1) return std::string(reinterpret_cast<char*>(bytes), 16);
  return "";
}

}  // namespace nv
