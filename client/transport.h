// The transport of one session: bounded waits (connecting, sending,
// receiving, and a low-speed limit over both directions), and a record of
// what moved and why a call failed, for the out_text and the trace.
#ifndef NV_CLIENT_TRANSPORT_H
#define NV_CLIENT_TRANSPORT_H

#include <chrono>
#include <cstddef>
#include <deque>
#include <string>

#include "stdsoap2.h"

namespace nv {

// Socket waits, in the runtime's units: positive values are seconds,
// negative ones microseconds, 0 no limit.
struct SessionTimeouts {
  int send = 100;
  int receive = 100;
  int connect = 100;
  // A call that moves fewer than lowSpeedBytes (both directions together)
  // in any span of lowSpeedSpan fails as a time-out does.
  int lowSpeedSpan = 100;
  size_t lowSpeedBytes = 1024;
};

using TransportClock = std::chrono::steady_clock;

// When the low-speed limit runs out: lowSpeedSpan after the moment since
// which fewer than lowSpeedBytes have moved. Keeps at most lowSpeedBytes
// entries, so its cost is linear in what moves.
class LowSpeedWindow {
 public:
  void start(TransportClock::time_point now, const SessionTimeouts& timeouts);
  void moved(size_t bytes, TransportClock::time_point now);
  bool running() const { return span_.count() > 0; }
  TransportClock::time_point deadline() const;

 private:
  struct Mark {
    TransportClock::time_point at;
    unsigned long long total;  // bytes moved up to and including this mark
  };
  std::chrono::microseconds span_{0};
  size_t bytes_ = 0;
  TransportClock::time_point started_;
  unsigned long long total_ = 0;
  std::deque<Mark> marks_;
};

// What one session's transport saw. The callbacks it installs reach it
// through transportOf(), which the session provides.
struct TransportState {
  SessionTimeouts timeouts;
  LowSpeedWindow window;
  std::string host;  // as the endpoint names it
  unsigned long long bytesSent = 0, bytesReceived = 0;
  // Why the exchange failed, in words for the trace ("" while nothing
  // failed at the transport), and the out_text that replaces the runtime's
  // when the library knows better (GBK; "" to keep the runtime's).
  std::string cause;
  std::string outText;
  bool connectFailed = false;
  bool closedByCentre = false;  // the centre ended the connection (maybe at the answer's end)
  // The answer reader's own account of a failure ("malformed answer at byte
  // N"); it goes before what the runtime's state tells.
  std::string answerCause;
  // Set when the trace wants the messages themselves.
  bool keepMessages = false;
  std::string sent, received;

  // The proxy the call goes through ("" when direct), from the environment.
  std::string proxyHost, proxyUser, proxyPassword;
  int proxyPort = 0;

  // The first certificate check that failed in a TLS handshake (0: none).
  long tlsVerifyError = 0;

  // The runtime's own callbacks, which ours wrap.
  int (*tlsSetUpRuntime)(struct soap*) = nullptr;
  SOAP_SOCKET (*openRuntime)(struct soap*, const char*, const char*, int) = nullptr;
  int (*sendRuntime)(struct soap*, const char*, size_t) = nullptr;
  size_t (*receiveRuntime)(struct soap*, char*, size_t) = nullptr;
};

// A new context for a session. The runtime's one-time TLS set-up runs once
// per process before the first, never on two threads at once.
struct soap* newSessionContext();

// The proxy for a call to host over http or https, as the environment
// names it (http_proxy, https_proxy, no_proxy, or their upper-case forms).
// Fills the proxy fields of state; false when the variable names a proxy
// that cannot be used (cause set).
bool chooseProxy(bool https, const char* host, TransportState& state);

// For the answer reader: records why it refused the answer.
void recordAnswerCause(struct soap* soap, std::string cause);

// Provided by the session: the TransportState of a context.
TransportState& transportOf(struct soap* soap);

// Sets the context's waits and wraps its open, send and receive callbacks
// (whichever are installed: the runtime's sockets or a test transport).
void attachTransport(struct soap* soap, TransportState& state);

}  // namespace nv

#endif
