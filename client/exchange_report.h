// SPDX-License-Identifier: MIT
// What one exchange did on the wire, for the trace: where it went, how the
// connection came about, how long each phase took and what moved.
#ifndef NV_CLIENT_EXCHANGE_REPORT_H
#define NV_CLIENT_EXCHANGE_REPORT_H

#include <string>

namespace nv {

struct ExchangeReport {
  enum class Connection { kNone, kNew, kReused, kResumed };

  bool attempted = false;  // an exchange was tried at all
  std::string host;        // the centre's host, as the service address names it
  std::string proxy;       // "host:port" of the proxy that carried it, or ""
  Connection connection = Connection::kNone;
  bool resent = false;  // a read sent again on a new connection
  // Milliseconds from the start to the end of each phase; -1 when the
  // phase was not reached (or, for tls, not needed).
  long resolveMs = -1, connectMs = -1, tlsMs = -1, firstByteMs = -1;
  unsigned long long bytesSent = 0, bytesReceived = 0;
  // The messages, when the trace asked for them: the request as sent, the
  // answer with its headers and its decoded body. Credentials are left out.
  std::string sent, received;
  // Memory ran out for the trace's copy of a message: what is kept of it is
  // cut short. The call itself goes on as it would.
  bool sentCut = false, receivedCut = false;
};

}  // namespace nv

#endif
