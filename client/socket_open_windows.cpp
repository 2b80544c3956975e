// SPDX-License-Identifier: MIT
#include <winsock2.h>
#include <windows.h>
#include <ws2tcpip.h>

#include <curl/curl.h>

#include <type_traits>

#include "text/platform.h"

namespace nv {

static_assert(std::is_same_v<SocketNumber, curl_socket_t>, "the platform header's socket is the HTTP library's");

SocketNumber openConnectionSocket(const curl_sockaddr& address) {
  SOCKET s = ::socket(address.family, address.socktype, address.protocol);
  if (s != INVALID_SOCKET) SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
  return s;
}

bool connectionIsQuiet(SocketNumber socket) {
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
void closeSocketNumber(SocketNumber socket) { ::closesocket(socket); }

std::string numericAddressBytes(const std::string& text) {
  unsigned char bytes[16];
  if (::inet_pton(AF_INET, text.c_str(), bytes) == 1) return std::string(reinterpret_cast<char*>(bytes), 4);
  if (::inet_pton(AF_INET6, text.c_str(), bytes) == 1) return std::string(reinterpret_cast<char*>(bytes), 16);
  return "";
}

}  // namespace nv
