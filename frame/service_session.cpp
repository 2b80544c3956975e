#include "frame/service_session.h"

#include <new>

#include "frame/codec.h"
#include "frame/texts.h"
#include "service/session_guard.h"
#include "soapH.h"

namespace nv {
namespace {
thread_local const SessionTimeouts* tlsTimeoutOverride = nullptr;

}  // namespace

ScopedSessionTimeouts::ScopedSessionTimeouts(SessionTimeouts timeouts)
    : previous_(tlsTimeoutOverride), timeouts_(timeouts) {
  tlsTimeoutOverride = &timeouts_;
}

ScopedSessionTimeouts::~ScopedSessionTimeouts() { tlsTimeoutOverride = previous_; }

ServiceSession::ServiceSession() : soap_(soap_new()) {
  if (soap_ == nullptr) throw std::bad_alloc();
  SessionTimeouts timeouts = tlsTimeoutOverride ? *tlsTimeoutOverride : SessionTimeouts();
  soap_->send_timeout = timeouts.send;
  soap_->recv_timeout = timeouts.receive;
  // Never fall back to the process's own stdin and stdout.
  nvGuardAgainstStdio(soap_);
#ifdef MSG_NOSIGNAL
  // A centre that hangs up mid-request must not raise SIGPIPE in the HIS.
  soap_->socket_flags = MSG_NOSIGNAL;
#endif
}

ServiceSession::~ServiceSession() {
  soap_destroy(soap_);
  soap_end(soap_);
  soap_free(soap_);  // soap_done, then the context itself
}

std::string ServiceSession::failureText() const {
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
