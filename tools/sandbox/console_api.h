// SPDX-License-Identifier: MIT
// The console's JSON API: the exchanges, the centre's state, the armed
// faults and the reset, for the page and for a HIS's automated tests alike
// (tools/sandbox/README.md lists the calls).
#ifndef NV_SANDBOX_CONSOLE_API_H
#define NV_SANDBOX_CONSOLE_API_H

#include <string>

#include "tools/sandbox/connection.h"

namespace sandbox {

struct ApiRequest {
  std::string method;  // "GET", "POST" or "DELETE"
  std::string target;  // the path and query, "/api/exchanges?outcome=fault"
  std::string contentType;
  std::string body;
};

struct ApiAnswer {
  int status = 200;
  std::string body;  // JSON, UTF-8
};

// Answers one call of the API; any mistake of the caller is a 4xx answer
// whose body says what it was.
ApiAnswer answerApi(ServerState& state, const ApiRequest& request);

}  // namespace sandbox

#endif
