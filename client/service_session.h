// One SOAP client context for one exported call: created when the call
// needs the centre, closed in every outcome.
#ifndef NV_CLIENT_SERVICE_SESSION_H
#define NV_CLIENT_SERVICE_SESSION_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "client/transport.h"

struct soap;

namespace nv {

struct AnswerPlan;
class ResultDocument;

// Test seam: sessions opened on this thread while an instance lives use the
// given time-outs instead of 100 seconds. Per thread, so nothing is shared.
class ScopedSessionTimeouts {
 public:
  explicit ScopedSessionTimeouts(SessionTimeouts timeouts);
  ~ScopedSessionTimeouts();
  ScopedSessionTimeouts(const ScopedSessionTimeouts&) = delete;
  ScopedSessionTimeouts& operator=(const ScopedSessionTimeouts&) = delete;

 private:
  const SessionTimeouts* previous_;
  SessionTimeouts timeouts_;
};

// Test and fuzzing seam: sessions opened on this thread while an instance
// lives open no socket. Each connection they make reads `response` from its
// start as the centre's whole answer (which must outlive the instance), and
// every byte they send is appended to sent(). Per thread, so nothing is
// shared.
class ScopedSessionTransport {
 public:
  explicit ScopedSessionTransport(std::string_view response);
  ~ScopedSessionTransport();
  ScopedSessionTransport(const ScopedSessionTransport&) = delete;
  ScopedSessionTransport& operator=(const ScopedSessionTransport&) = delete;

  const std::string& sent() const { return channel_.sent; }

  struct Channel {
    std::string_view response;
    size_t readOffset = 0;
    std::string sent;
  };

 private:
  friend class ServiceSession;
  ScopedSessionTransport* previous_;
  Channel channel_;
};

class ServiceSession;

// Test seam: sessions opened on this thread while an instance lives read
// answers with `reader` (the differential tests give the generated reader).
// Per thread, so nothing is shared.
class ScopedAnswerReader {
 public:
  using Reader = bool (*)(ServiceSession& session, const AnswerPlan& plan, ResultDocument& doc);
  explicit ScopedAnswerReader(Reader reader);
  ~ScopedAnswerReader();
  ScopedAnswerReader(const ScopedAnswerReader&) = delete;
  ScopedAnswerReader& operator=(const ScopedAnswerReader&) = delete;

 private:
  Reader previous_;
};

class ServiceSession {
 public:
  ServiceSession();
  ~ServiceSession();
  ServiceSession(const ServiceSession&) = delete;
  ServiceSession& operator=(const ServiceSession&) = delete;

  struct soap* context() {
    return soap_;
  }

  // Whether the runtime read an answer through to its end. A Body with no
  // response in it passes the runtime as a success with every member
  // absent; it stops short of the end, so this tells it from an answer.
  bool answerReadToEnd() const { return state_.answerReadToEnd; }

  // Reads the answer to the request just sent and closes the connection. On
  // success writes out_code, out_text and the data element to doc and
  // returns true; otherwise doc is as it was and failureText() tells why.
  bool receiveAnswer(const AnswerPlan& plan, ResultDocument& doc);
  // The same with the streaming reader, whatever ScopedAnswerReader says.
  bool readAsStream(const AnswerPlan& plan, ResultDocument& doc);

  // The byte of the last answer's body at which its XML stopped being
  // well-formed, or -1 when it did not.
  int64_t malformedAnswerAt() const { return state_.malformedAnswerAt; }

  // The out_text of a failed call: the decoded fault string, the text of a
  // SOAP 1.2 fault's Reason, or the major-exception text when neither the
  // answer nor the runtime left a fault with a text.
  std::string failureText() const;

  // Why the transport failed, in words for the trace ("" when it did not).
  const std::string& transportCause() const { return state_.transport.cause; }

  // What the runtime's callbacks reach through soap->user.
  struct State {
    ScopedSessionTransport::Channel* channel = nullptr;  // null: a real socket
    bool answerReadToEnd = false;
    int (*parseHttpHeader)(struct soap*, const char*, const char*) = nullptr;  // the runtime's own
    std::optional<std::string> answerFaultText;                                // the text of a fault the centre sent
    int64_t malformedAnswerAt = -1;
    TransportState transport;
  };

 private:
  State state_;
  struct soap* soap_;
};

}  // namespace nv

#endif
