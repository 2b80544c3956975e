// SPDX-License-Identifier: MIT
#include "service/session_guard.h"

#include "soapH.h"

#include <cstring>

namespace {

// The length of s's scheme when it is one of the given, in any letter
// case; 0 otherwise.
std::size_t schemeLength(const char* s, const char* scheme) {
  std::size_t i = 0;
  for (; scheme[i] != '\0'; ++i) {
    char c = s[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != scheme[i]) return 0;
  }
  return i;
}

// Every byte the runtime sends passes this filter first, the counting pass
// included. Without a socket the bytes would go to the send descriptor.
int refuseSendWithoutConnection(struct soap* soap, const char**, std::size_t*) {
  if ((soap->mode & SOAP_IO_LENGTH) || soap_valid_socket(soap->socket) || soap_valid_socket(soap->sendsk))
    return SOAP_OK;
  return soap->error = SOAP_TCP_ERROR;
}

}  // namespace

bool nvIsHttpEndpoint(const char* endpoint) {
  if (endpoint == nullptr) return false;
  std::size_t scheme = schemeLength(endpoint, "http://");
  if (scheme == 0) scheme = schemeLength(endpoint, "https://");
  if (scheme == 0) return false;
  // The runtime copies the endpoint into a fixed buffer, cutting what does
  // not fit: such an endpoint cannot be called as it was given.
  if (std::strlen(endpoint) >= sizeof(static_cast<struct soap*>(nullptr)->endpoint)) return false;
  const char* host = endpoint + scheme;
  // Read the host as the runtime does: after user information ending in
  // the first '@', as "[...]" for IPv6, else up to ':', '/' or '?'.
  const char* at = std::strchr(host, '@');
  if (at != nullptr && *host != ':' && *host != '@') host = at + 1;
  // An IPv6 host without its closing ']' makes the runtime read past the
  // end of the endpoint text: refuse it.
  if (host[0] == '[') return host[1] != '\0' && host[1] != ']' && std::strchr(host, ']') != nullptr;
  return host[0] != '\0' && std::strchr(":/?", host[0]) == nullptr;
}

void nvGuardAgainstStdio(struct soap* soap) {
  soap->ffiltersend = refuseSendWithoutConnection;
  // With no descriptors, nothing can switch the process's stdin or stdout
  // to binary mode or read and write them (the runtime checks for < 0).
  soap->sendfd = -1;
  soap->recvfd = -1;
}
