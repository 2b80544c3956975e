// SPDX-License-Identifier: MIT
#include <sys/socket.h>

#include "client/socket_open.h"

namespace nv {

curl_socket_t openConnectionSocket(const curl_sockaddr& address) {
  return ::socket(address.family, address.socktype | SOCK_CLOEXEC, address.protocol);
}

}  // namespace nv
