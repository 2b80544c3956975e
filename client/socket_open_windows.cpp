// SPDX-License-Identifier: MIT
#include <winsock2.h>
#include <windows.h>

#include "client/socket_open.h"

namespace nv {

curl_socket_t openConnectionSocket(const curl_sockaddr& address) {
  SOCKET s = ::socket(address.family, address.socktype, address.protocol);
  if (s != INVALID_SOCKET) SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
  return s;
}

}  // namespace nv
