// nv_sandbox: a sandbox insurance centre for HIS developers. Serves the
// centre's SOAP service from the same definition the library is built from,
// keeps its state in SQLite, handles one exchange at a time.
#include <signal.h>
#include <sys/socket.h>
#include <netinet/in.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "soapH.h"
#include "inpatientRedeem.nsmap"
#include "tools/sandbox/database.h"
#include "tools/sandbox/exchange.h"
#include "tools/sandbox/exchange_log.h"
#include "tools/sandbox/seed.h"
#include "tools/sandbox/server_options.h"
#include "tools/sandbox/service_description.h"

namespace {

using namespace sandbox;

// Set by SIGINT or SIGTERM; the accept loop looks at it four times a second.
volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) { stopRequested = 1; }

void installSignalHandlers() {
  struct sigaction action {};
  action.sa_handler = requestStop;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  // A client that hangs up mid-answer must not end the server.
  std::signal(SIGPIPE, SIG_IGN);
}

int onGet(struct soap* soap) {
  auto* state = static_cast<ServerState*>(soap->user);
  state->logged = true;
  return serveGet(soap, state->origin);
}

int boundPort(SOAP_SOCKET socket) {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  if (getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) return -1;
  if (address.ss_family == AF_INET) return ntohs(reinterpret_cast<sockaddr_in*>(&address)->sin_port);
  if (address.ss_family == AF_INET6) return ntohs(reinterpret_cast<sockaddr_in6*>(&address)->sin6_port);
  return -1;
}

std::string faultText(struct soap* soap) {
  const char* text = soap_fault_string(soap);
  return text ? text : "error " + std::to_string(soap->error);
}

// Accepts and serves connections one after another until asked to stop.
void serveUntilStopped(struct soap* soap, ServerState& state, bool tls) {
  while (!stopRequested) {
    SOAP_SOCKET client = soap_accept(soap);
    if (!soap_valid_socket(client)) {
      if (soap->errnum != 0 && !stopRequested) writeLogLine("accept failed: " + faultText(soap));
      continue;  // a time-out: look at the stop flag again
    }
    if (tls && soap_ssl_accept(soap) != SOAP_OK) {
      // A client that refused the certificate, or spoke no TLS.
      writeLogLine("- TLS handshake failed: " + quoteForLog(faultText(soap)));
      soap_closesock(soap);
      soap_end(soap);
      continue;
    }
    state.logged = false;
    int status = soap_serve(soap);
    if (state.logged) {
      // The operation or the GET handler has told what happened.
    } else if (soap->error >= SOAP_STOP) {
      // The runtime closes a POST without a SOAP envelope unanswered.
      writeLogLine("- request refused: no SOAP envelope; closed without an answer");
    } else if (status != SOAP_OK) {
      // Nothing reached an operation: unreadable, unknown or cut short.
      writeLogLine("- request refused: " + quoteForLog(faultText(soap)));
    }
    soap_destroy(soap);
    soap_end(soap);
  }
}

int run(const ServerOptions& options) {
  Database db(options.database);
  prepareDatabase(db);

  struct soap* soap = soap_new1(SOAP_C_UTFSTRING);
  soap->bind_flags = SO_REUSEADDR;
  soap->send_timeout = soap->recv_timeout = options.timeoutSeconds;
  soap->accept_timeout = -250000;  // 0.25 s: how soon a stop request is seen
  soap->socket_flags = MSG_NOSIGNAL;
  soap->recv_maxlength = 8 * 1024 * 1024;  // no request of the contract comes near

  ServerState state;
  state.db = &db;
  soap->user = &state;
  soap->fget = onGet;

  const bool tls = !options.tlsPem.empty();
  if (tls &&
      soap_ssl_server_context(soap, SOAP_SSL_NO_AUTHENTICATION | SOAP_TLSv1_2 | SOAP_TLSv1_3, options.tlsPem.c_str(),
                              nullptr, nullptr, nullptr, nullptr, nullptr, nullptr) != SOAP_OK) {
    std::fprintf(stderr, "nv_sandbox: cannot use %s for TLS: %s\n", options.tlsPem.c_str(), faultText(soap).c_str());
    soap_free(soap);
    return 1;
  }
  if (!soap_valid_socket(soap_bind(soap, options.host.c_str(), options.port, 16))) {
    std::fprintf(stderr, "nv_sandbox: cannot bind %s:%d: %s\n", options.host.c_str(), options.port,
                 faultText(soap).c_str());
    soap_free(soap);
    return 1;
  }
  int port = boundPort(soap->master);
  std::string host = options.host.find(':') != std::string::npos ? "[" + options.host + "]" : options.host;
  state.origin = (tls ? "https://" : "http://") + host + ":" + std::to_string(port);

  // The one line on stdout: scripts read the port from it.
  std::printf("%d\n", port);
  std::fflush(stdout);
  writeLogLine("nv_sandbox serving " + state.origin + servicePath() + " (WSDL: " + state.origin + servicePath() +
               "?wsdl), database " + options.database);

  serveUntilStopped(soap, state, tls);

  writeLogLine("nv_sandbox stopped");
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
  installSignalHandlers();
  try {
    return run(*options);
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "nv_sandbox: %s\n", failure.what());
    return 1;
  }
}
