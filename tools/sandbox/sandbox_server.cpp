// SPDX-License-Identifier: MIT
// nv_sandbox: a sandbox insurance centre for HIS developers. Serves the
// centre's SOAP service from the same definition the library is built from,
// keeps its state in SQLite, and on the same port a console in the browser
// with its JSON API. Each connection is served on a thread of its own; the
// centre's store takes one exchange at a time.
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "inpatientRedeem.nsmap"
#include "soapH.h"
#include "tools/sandbox/connection.h"
#include "tools/sandbox/console_routes.h"
#include "tools/sandbox/database.h"
#include "tools/sandbox/exchange_log.h"
#include "tools/sandbox/platform.h"
#include "tools/sandbox/seed.h"
#include "tools/sandbox/server_options.h"
#include "tools/sandbox/service_description.h"

namespace {

using namespace sandbox;

// How long a stop waits for the connections still being served.
constexpr int kStopGraceMs = 15000;

std::string faultText(struct soap* soap) {
  const char* text = soap_fault_string(soap);
  return text ? text : "error " + std::to_string(soap->error);
}

// A request that reached no operation, as the journal keeps it.
void journalRefused(Connection& connection, const std::string& why) {
  JournalEntry entry;
  entry.time = timeNow();
  entry.outcome = "refused";
  entry.message = why;
  int64_t id = connection.server.journal.begin(std::move(entry));
  connection.server.journal.finish(id, connection.delivery, elapsedMs(connection),
                                   {connection.received, connection.sent});
}

// Serves one accepted connection on its own context, then frees it.
void serveConnection(struct soap* soap, ServerState& state, bool tls) {
  Connection connection(state);
  attachConnection(soap, connection);
  installConsoleRoutes(soap);
  if (tls && soap_ssl_accept(soap) != SOAP_OK) {
    // A client that refused the certificate, or spoke no TLS.
    writeLogLine("- TLS handshake failed: " + quoteForLog(faultText(soap)));
  } else {
    int status = soap_serve(soap);
    int error = soap->error;
    deliverAnswer(soap);
    if (connection.journalId != 0) {
      state.journal.finish(connection.journalId, connection.delivery, elapsedMs(connection),
                           {std::move(connection.received), std::move(connection.sent)});
    } else if (!connection.logged && !connection.console) {
      std::string why;
      if (error >= SOAP_STOP) {
        // The runtime closes a POST without a SOAP envelope unanswered.
        why = "no SOAP envelope; closed without an answer";
      } else if (status != SOAP_OK) {
        // Nothing reached an operation: unreadable, unknown or cut short.
        why = faultText(soap);
      }
      if (!why.empty()) {
        writeLogLine("- request refused: " + (error >= SOAP_STOP ? why : quoteForLog(why)));
        journalRefused(connection, why);
      }
    }
  }
  soap_destroy(soap);
  soap_end(soap);
  soap_closesock(soap);
  soap_free(soap);
  std::lock_guard<Mutex> hold(state.connectionsLock);
  --state.activeConnections;
}

// Accepts connections until asked to stop, each served on a thread.
void serveUntilStopped(struct soap* soap, ServerState& state, bool tls) {
  while (!stopRequested()) {
    SOAP_SOCKET client = soap_accept(soap);
    if (!soap_valid_socket(client)) {
      if (soap->errnum != 0 && !stopRequested()) writeLogLine("accept failed: " + faultText(soap));
      continue;  // a time-out: look at the stop request again
    }
    struct soap* copy = soap_copy(soap);
    soap->socket = SOAP_INVALID_SOCKET;  // the copy owns it now
    if (copy == nullptr) {
      writeLogLine("- connection dropped: out of memory");
      soap_closesock(soap);
      continue;
    }
    {
      std::lock_guard<Mutex> hold(state.connectionsLock);
      state.openSockets.insert(copy->socket);
      ++state.activeConnections;
    }
    if (!startThread([copy, &state, tls] { serveConnection(copy, state, tls); })) {
      writeLogLine("- connection dropped: no thread to serve it");
      {
        std::lock_guard<Mutex> hold(state.connectionsLock);
        state.openSockets.erase(copy->socket);
        --state.activeConnections;
      }
      soap_closesock(copy);
      soap_free(copy);
    }
  }
}

// Ends the waits of the connections still open and gives them time to end;
// false when some did not.
bool finishConnections(ServerState& state) {
  {
    std::lock_guard<Mutex> hold(state.connectionsLock);
    for (SOAP_SOCKET socket : state.openSockets) interruptSocket(socket);
  }
  for (int waited = 0; waited < kStopGraceMs; waited += 50) {
    {
      std::lock_guard<Mutex> hold(state.connectionsLock);
      if (state.activeConnections == 0) return true;
    }
    sleepMilliseconds(50);
  }
  return false;
}

int run(const ServerOptions& options) {
  Database db(options.database);
  prepareDatabase(db);

  struct soap* soap = soap_new1(SOAP_C_UTFSTRING);
  prepareServerSockets(soap);
  soap->send_timeout = soap->recv_timeout = options.timeoutSeconds;
  soap->accept_timeout = -250000;          // 0.25 s: how soon a stop request is seen
  soap->recv_maxlength = 8 * 1024 * 1024;  // no request of the contract comes near
  soap->cors_allow = nullptr;              // no other site's page may read the console's answers

  ServerState state;
  state.db = &db;

  const bool tls = !options.tlsPem.empty();
  if (tls &&
      soap_ssl_server_context(soap, SOAP_SSL_NO_AUTHENTICATION | SOAP_TLSv1_2 | SOAP_TLSv1_3, options.tlsPem.c_str(),
                              nullptr, nullptr, nullptr, nullptr, nullptr, nullptr) != SOAP_OK) {
    std::fprintf(stderr, "nv_sandbox: cannot use %s for TLS: %s\n", options.tlsPem.c_str(), faultText(soap).c_str());
    soap_free(soap);
    return 1;
  }
  if (!soap_valid_socket(soap_bind(soap, options.host.c_str(), options.port, 64))) {
    std::fprintf(stderr, "nv_sandbox: cannot bind %s:%d: %s\n", options.host.c_str(), options.port,
                 faultText(soap).c_str());
    soap_free(soap);
    return 1;
  }
  int port = boundPort(soap);
  std::string host = options.host.find(':') != std::string::npos ? "[" + options.host + "]" : options.host;
  state.origin = (tls ? "https://" : "http://") + host + ":" + std::to_string(port);

  // The one line on stdout: scripts read the port from it.
  std::printf("%d\n", port);
  std::fflush(stdout);
  writeLogLine("nv_sandbox serving " + state.origin + servicePath() + " (WSDL: " + state.origin + servicePath() +
               "?wsdl), database " + options.database + "; console: " + state.origin + "/");

  serveUntilStopped(soap, state, tls);

  bool finished = finishConnections(state);
  writeLogLine(finished ? "nv_sandbox stopped" : "nv_sandbox stopped with connections still open");
  if (!finished) {
    // Their threads still use the context and the state: the process's end
    // frees them.
    std::fflush(stderr);
    std::_Exit(1);
  }
  soap_destroy(soap);
  soap_end(soap);
  soap_free(soap);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  std::optional<ServerOptions> options = parseServerOptions(args, error);
  if (!options) {
    std::fprintf(stderr, "nv_sandbox: %s\n\n%s", error.c_str(), kServerUsage);
    return 2;
  }
  if (options->help) {
    std::fputs(kServerUsage, stdout);
    return 0;
  }
  installStopRequestHandlers();
  try {
    return run(*options);
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "nv_sandbox: %s\n", failure.what());
    return 1;
  }
}
