// SPDX-License-Identifier: MIT
#include "tools/sandbox/server_options.h"

namespace sandbox {

const char kServerUsage[] =
    "usage: nv_sandbox [--port N] [--db PATH] [--host ADDRESS] [--timeout SECONDS] [--tls PEMFILE]\n"
    "\n"
    "A sandbox insurance centre: serves the centre's SOAP service (all 32\n"
    "operations) and its WSDL (GET ...?wsdl) over HTTP, or HTTPS with --tls,\n"
    "and on the same port a console for the browser (GET /) with its JSON API\n"
    "(/api/...): the exchanges, the centre's state, armed faults, a reset.\n"
    "\n"
    "  --port N        TCP port; 0 picks a free one (default 8888)\n"
    "  --db PATH       SQLite database; created and seeded when new (default nv-sandbox.db)\n"
    "  --host ADDRESS  address to bind (default 127.0.0.1)\n"
    "  --timeout S     socket send and receive time-out in seconds (default 10)\n"
    "  --tls PEMFILE   serve HTTPS: PEMFILE holds the server's certificate (chain)\n"
    "                  followed by its private key\n"
    "\n"
    "Prints the bound port on one line on stdout, then logs one line per\n"
    "exchange on stderr. Stops on SIGINT or SIGTERM.\n";

namespace {

std::optional<int> parseNumber(const std::string& text, int lowest, int highest) {
  if (text.empty() || text.size() > 6) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < lowest || value > highest) return std::nullopt;
  return value;
}

}  // namespace

std::optional<ServerOptions> parseServerOptions(const std::vector<std::string>& args, std::string& error) {
  ServerOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& name = args[i];
    if (name == "-h" || name == "--help") {
      options.help = true;
      continue;
    }
    if (name != "--port" && name != "--db" && name != "--host" && name != "--timeout" && name != "--tls") {
      error = "unknown option " + name;
      return std::nullopt;
    }
    if (i + 1 == args.size()) {
      error = name + " needs a value";
      return std::nullopt;
    }
    const std::string& value = args[++i];
    if (name == "--db") {
      options.database = value;
    } else if (name == "--host") {
      options.host = value;
    } else if (name == "--tls") {
      options.tlsPem = value;
    } else {
      std::optional<int> number = name == "--port" ? parseNumber(value, 0, 65535) : parseNumber(value, 1, 3600);
      if (!number) {
        error = "bad value for " + name + ": " + value;
        return std::nullopt;
      }
      (name == "--port" ? options.port : options.timeoutSeconds) = *number;
    }
  }
  if (options.database.empty() || options.host.empty()) {
    error = "--db and --host need a non-empty value";
    return std::nullopt;
  }
  return options;
}

}  // namespace sandbox
