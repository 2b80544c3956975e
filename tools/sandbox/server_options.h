// SPDX-License-Identifier: MIT
// The sandbox server's command line.
#ifndef NV_SANDBOX_SERVER_OPTIONS_H
#define NV_SANDBOX_SERVER_OPTIONS_H

#include <optional>
#include <string>
#include <vector>

namespace sandbox {

struct ServerOptions {
  std::string host = "127.0.0.1";
  int port = 8888;  // 0: any free port
  std::string database = "nv-sandbox.db";
  int timeoutSeconds = 10;  // per socket send or receive
  std::string tlsPem;       // not empty: serve HTTPS with the certificate chain and key in this PEM file
  bool help = false;
};

// Parses the arguments after the program name; on a mistake returns nothing
// and sets error.
std::optional<ServerOptions> parseServerOptions(const std::vector<std::string>& args, std::string& error);

extern const char kServerUsage[];

}  // namespace sandbox

#endif
