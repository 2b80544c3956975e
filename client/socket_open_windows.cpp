// SPDX-License-Identifier: MIT
#include <winsock2.h>
#include <windows.h>
#include <ws2tcpip.h>

#include "text/platform.h"

namespace nv {

curl_socket_t openConnectionSocket(const curl_sockaddr& address) {
  SOCKET s = ::socket(address.family, address.socktype, address.protocol);
  if (s != INVALID_SOCKET) SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
  return s;
}

bool connectionIsQuiet(curl_socket_t socket) {
  // select, not WSAPoll: its answer for a socket with an error is reliable
  // on every supported Windows.
  fd_set readable, failed;
  FD_ZERO(&readable);
  FD_ZERO(&failed);
  FD_SET(socket, &readable);
  FD_SET(socket, &failed);
  timeval none{0, 0};
  return ::select(0, &readable, nullptr, &failed, &none) == 0;
}

// Windows has no fork: nothing closes a socket by number alone.
void closeSocketNumber(curl_socket_t socket) { ::closesocket(socket); }

std::string numericAddressBytes(const std::string& text) {
  unsigned char bytes[16];
  if (::inet_pton(AF_INET, text.c_str(), bytes) == 1) return std::string(reinterpret_cast<char*>(bytes), 4);
  if (::inet_pton(AF_INET6, text.c_str(), bytes) == 1) return std::string(reinterpret_cast<char*>(bytes), 16);
  return "";
}

}  // namespace nv
