#include "client/service_session.h"

#include <algorithm>
#include <limits>
#include <new>

#include "client/answer_reader.h"
#include "frame/call_trace.h"
#include "text/codec.h"
#include "text/texts.h"
#include "service/session_guard.h"
#include "soapH.h"

namespace nv {
namespace {
thread_local const SessionTimeouts* tlsTimeoutOverride = nullptr;
thread_local ScopedSessionTransport* tlsTransport = nullptr;
thread_local ScopedAnswerReader::Reader tlsAnswerReader = nullptr;

ServiceSession::State& stateOf(struct soap* soap) { return *static_cast<ServiceSession::State*>(soap->user); }
}  // namespace

TransportState& transportOf(struct soap* soap) { return stateOf(soap).transport; }

namespace {

// The runtime takes a Content-Length as a size to set aside for some
// answers, wrapping a negative one to an enormous size. A Content-Length
// that is not a plain decimal number fails the call instead.
int parseHttpHeader(struct soap* soap, const char* key, const char* value) {
  if (soap_tag_cmp(key, "Content-Length") == 0) {
    size_t digits = 0;
    while (value[digits] >= '0' && value[digits] <= '9') ++digits;
    if (digits == 0 || value[digits] != '\0' || digits > 18) return SOAP_LENGTH;
  }
  return stateOf(soap).parseHttpHeader(soap, key, value);
}

// Called by the runtime when it has read an answer through to its end.
int markAnswerReadToEnd(struct soap* soap) {
  stateOf(soap).answerReadToEnd = true;
  return SOAP_OK;
}

// The runtime's transport callbacks for a session on a ScopedSessionTransport.
// The socket they hand out is a token that no callback ever passes to the
// operating system.
constexpr SOAP_SOCKET kMemorySocket = 0x7ffffff0;

ScopedSessionTransport::Channel& channelOf(struct soap* soap) { return *stateOf(soap).channel; }
SOAP_SOCKET openMemory(struct soap* soap, const char*, const char*, int) {
  channelOf(soap).readOffset = 0;
  return kMemorySocket;
}
int closeMemory(struct soap* soap) {
  soap->socket = SOAP_INVALID_SOCKET;
  return SOAP_OK;
}
int closeMemorySocket(struct soap*, SOAP_SOCKET) { return SOAP_OK; }
int shutdownMemorySocket(struct soap*, SOAP_SOCKET, int) { return SOAP_OK; }
int sendMemory(struct soap* soap, const char* bytes, size_t count) {
  channelOf(soap).sent.append(bytes, count);
  return SOAP_OK;
}
size_t receiveMemory(struct soap* soap, char* buffer, size_t capacity) {
  ScopedSessionTransport::Channel& channel = channelOf(soap);
  std::string_view rest = channel.response.substr(std::min(channel.readOffset, channel.response.size()));
  size_t count = rest.copy(buffer, capacity);
  channel.readOffset += count;
  return count;  // 0 is the end of the answer
}

void attachMemoryTransport(struct soap* soap) {
  soap->fopen = openMemory;
  soap->fclose = closeMemory;
  soap->fclosesocket = closeMemorySocket;
  soap->fshutdownsocket = shutdownMemorySocket;
  soap->fsend = sendMemory;
  soap->frecv = receiveMemory;
}

}  // namespace

ScopedSessionTimeouts::ScopedSessionTimeouts(SessionTimeouts timeouts)
    : previous_(tlsTimeoutOverride), timeouts_(timeouts) {
  tlsTimeoutOverride = &timeouts_;
}

ScopedSessionTimeouts::~ScopedSessionTimeouts() { tlsTimeoutOverride = previous_; }

ScopedSessionTransport::ScopedSessionTransport(std::string_view response) : previous_(tlsTransport) {
  channel_.response = response;
  tlsTransport = this;
}

ScopedSessionTransport::~ScopedSessionTransport() { tlsTransport = previous_; }

ScopedAnswerReader::ScopedAnswerReader(Reader reader) : previous_(tlsAnswerReader) { tlsAnswerReader = reader; }

ScopedAnswerReader::~ScopedAnswerReader() { tlsAnswerReader = previous_; }

ServiceSession::ServiceSession() : soap_(newSessionContext()) {
  if (soap_ == nullptr) throw std::bad_alloc();
  state_.transport.timeouts = tlsTimeoutOverride ? *tlsTimeoutOverride : SessionTimeouts();
  // A catalogue may hold any number of entries; the runtime's default
  // refuses lists of more than 100,000.
  soap_->maxoccurs = std::numeric_limits<decltype(soap_->maxoccurs)>::max();
  // Never fall back to the process's own stdin and stdout.
  nvGuardAgainstStdio(soap_);
#ifdef MSG_NOSIGNAL
  // A centre that hangs up mid-request must not raise SIGPIPE in the HIS.
  soap_->socket_flags = MSG_NOSIGNAL;
#endif
  soap_->user = &state_;
  soap_->fpreparefinalrecv = markAnswerReadToEnd;
  state_.parseHttpHeader = soap_->fparsehdr;
  soap_->fparsehdr = parseHttpHeader;
  if (tlsTransport != nullptr) {
    state_.channel = &tlsTransport->channel_;
    attachMemoryTransport(soap_);
  }
  attachTransport(soap_, state_.transport);
}

ServiceSession::~ServiceSession() {
  reportToCurrentTrace(soap_, state_.transport, state_.answerReadToEnd);
  soap_destroy(soap_);
  soap_end(soap_);
  soap_free(soap_);  // soap_done, then the context itself
}

bool ServiceSession::receiveAnswer(const AnswerPlan& plan, ResultDocument& doc) {
  return tlsAnswerReader != nullptr ? tlsAnswerReader(*this, plan, doc) : readAsStream(plan, doc);
}

bool ServiceSession::readAsStream(const AnswerPlan& plan, ResultDocument& doc) {
  AnswerOutcome outcome = readAnswer(soap_, plan, doc);
  state_.malformedAnswerAt = outcome.malformedAt;
  // The reader's own account of a failure for the trace; the fault's text
  // may name a patient, so only its code is said.
  if (outcome.malformedAt >= 0)
    recordAnswerCause(soap_, "malformed answer at byte " + std::to_string(outcome.malformedAt));
  if (outcome.kind == AnswerOutcome::Kind::kFault) {
    recordAnswerCause(soap_,
                      "fault " + (outcome.faultCode.empty() ? std::string("without a code") : outcome.faultCode));
    state_.answerFaultText = std::move(outcome.faultText);
  }
  return outcome.kind == AnswerOutcome::Kind::kSuccess;
}

std::string ServiceSession::failureText() const {
  if (!state_.transport.outText.empty()) return state_.transport.outText;  // the transport knows better
  if (state_.answerFaultText) {
    if (state_.answerFaultText->empty()) return texts::kMajorException;
    return decodeField(*state_.answerFaultText);
  }
  const SOAP_ENV__Fault* fault = soap_->fault;
  if (fault != nullptr) {
    if (fault->faultstring != nullptr && *fault->faultstring != '\0') return decodeField(fault->faultstring);
    const SOAP_ENV__Reason* reason = fault->SOAP_ENV__Reason;
    if (reason != nullptr && reason->SOAP_ENV__Text != nullptr && *reason->SOAP_ENV__Text != '\0')
      return decodeField(reason->SOAP_ENV__Text);
  }
  return texts::kMajorException;
}

}  // namespace nv
