// SPDX-License-Identifier: MIT
#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <curl/curl.h>

#include <type_traits>

#include "text/platform.h"

namespace nv {

static_assert(std::is_same_v<SocketNumber, curl_socket_t>, "the platform header's socket is the HTTP library's");

SocketNumber openConnectionSocket(const curl_sockaddr& address) {
  return ::socket(address.family, address.socktype | SOCK_CLOEXEC, address.protocol);
}

bool connectionIsQuiet(SocketNumber socket) {
  pollfd watched{socket, POLLIN, 0};
  return ::poll(&watched, 1, 0) == 0;
}

void closeSocketNumber(SocketNumber socket) { ::close(socket); }

std::string numericAddressBytes(const std::string& text) {
  unsigned char bytes[16];
  if (::inet_pton(AF_INET, text.c_str(), bytes) == 1) return std::string(reinterpret_cast<char*>(bytes), 4);
  if (::inet_pton(AF_INET6, text.c_str(), bytes) == 1) return std::string(reinterpret_cast<char*>(bytes), 16);
  return "";
}

}  // namespace nv
