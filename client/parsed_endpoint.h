// SPDX-License-Identifier: MIT
// A centre's service address as the HTTP library reads it, once: its parse,
// and the reading of its parts, cost a call more than its request line does.
#ifndef NV_CLIENT_PARSED_ENDPOINT_H
#define NV_CLIENT_PARSED_ENDPOINT_H

#include <curl/curl.h>

#include <memory>
#include <string>

namespace nv {

struct ParsedEndpoint {
  ParsedEndpoint() = default;
  ~ParsedEndpoint();
  ParsedEndpoint(const ParsedEndpoint&) = delete;
  ParsedEndpoint& operator=(const ParsedEndpoint&) = delete;

  // Without user information: a call never sends credentials to the centre.
  // Only read once made, so transfers on several threads may use it at once.
  CURLU* url = nullptr;
  std::string scheme, host, port;  // port: the scheme's own when none is given
};

// Null when the text is no address the HTTP library reads. Throws
// std::bad_alloc.
std::shared_ptr<const ParsedEndpoint> parseEndpoint(const std::string& endpoint);

}  // namespace nv

#endif
