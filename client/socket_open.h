// SPDX-License-Identifier: MIT
// A socket for a connection to the centre, not inherited by processes the
// HIS starts. Each platform has its own (socket_open_posix.cpp,
// socket_open_windows.cpp).
#ifndef NV_CLIENT_SOCKET_OPEN_H
#define NV_CLIENT_SOCKET_OPEN_H

#include <curl/curl.h>

namespace nv {

curl_socket_t openConnectionSocket(const curl_sockaddr& address);

}  // namespace nv

#endif
