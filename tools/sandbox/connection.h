// SPDX-License-Identifier: MIT
// The server's shared state, and one accepted connection: the context's
// soap->user. A connection's context reads through and records the bytes it
// receives, and holds back what it sends until the exchange is over; then
// the answer goes out as it was planned: at once, or as an armed fault
// that met the exchange says (late, not at all, malformed, trickled).
#ifndef NV_SANDBOX_CONNECTION_H
#define NV_SANDBOX_CONNECTION_H

#include <chrono>
#include <cstdint>
#include <optional>
#include <set>
#include <string>

#include "stdsoap2.h"
#include "tools/sandbox/database.h"
#include "tools/sandbox/fault_plan.h"
#include "tools/sandbox/journal.h"
#include "tools/sandbox/platform.h"

namespace sandbox {

struct ServerState {
  Database* db = nullptr;
  // The centre's store is used by one exchange (or one console read) at a
  // time; an answer that is held back holds nothing.
  Mutex centreLock;
  Journal journal;
  FaultPlan faults;
  // "http://address:port" of this server, for a GET without a Host.
  std::string origin;

  // The connections being served, so a stop ends their waits.
  Mutex connectionsLock;
  std::set<SOAP_SOCKET> openSockets;
  int activeConnections = 0;
};

struct Connection {
  explicit Connection(ServerState& state) : server(state) {}

  ServerState& server;
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  // Set once an exchange or handler has written its log line, so the
  // connection logs only requests that never reached one.
  bool logged = false;
  // A request of the console or of the service description, not of the
  // service: not journaled.
  bool console = false;
  // The journal's entry of this connection's exchange; 0: none yet.
  int64_t journalId = 0;
  // The armed fault that decides how the answer goes out.
  std::optional<FaultSpec> held;

  std::string received;
  std::string answer;  // as the runtime wrote it
  std::string sent;    // as it went out
  std::string delivery;
  bool delivered = false;

  // The runtime's own transport, wrapped by the capture.
  int (*sendBytes)(struct soap*, const char*, size_t) = nullptr;
  size_t (*receiveBytes)(struct soap*, char*, size_t) = nullptr;
  int (*closeSocket)(struct soap*) = nullptr;
  int (*parseHeader)(struct soap*, const char*, const char*) = nullptr;
};

inline Connection& connectionOf(struct soap* soap) { return *static_cast<Connection*>(soap->user); }

// Makes connection the context's soap->user and wraps its transport.
void attachConnection(struct soap* soap, Connection& connection);

// Sends the answer held back, as planned, once; called when the runtime
// closes the connection, and again (doing nothing then) after it served.
void deliverAnswer(struct soap* soap);

// Milliseconds since the connection was accepted.
int64_t elapsedMs(const Connection& connection);

}  // namespace sandbox

#endif
