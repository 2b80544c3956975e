// SPDX-License-Identifier: MIT
// A socket for a connection to the centre, not inherited by processes the
// HIS starts, and what the pool asks of a kept one. Each platform has its
// own (socket_open_posix.cpp, socket_open_windows.cpp).
#ifndef NV_CLIENT_SOCKET_OPEN_H
#define NV_CLIENT_SOCKET_OPEN_H

#include <curl/curl.h>

#include <string>

namespace nv {

curl_socket_t openConnectionSocket(const curl_sockaddr& address);

// Whether nothing waits to be read on a kept connection, without waiting:
// no byte, no TLS close-notify, no end of stream, no error. Only a quiet
// connection may carry the next request; anything else there is a centre
// that closed it, timed it out (408) or left bytes no request asked for.
bool connectionIsQuiet(curl_socket_t socket);

// Closes a socket by its number alone, as a forked child does with its
// parent's kept connections: nothing is sent on it, and the parent's
// connection stays open.
void closeSocketNumber(curl_socket_t socket);

// The bytes of a numeric address, 4 for IPv4 and 16 for IPv6 (written
// without brackets); "" when the text is no address.
std::string numericAddressBytes(const std::string& text);

}  // namespace nv

#endif
