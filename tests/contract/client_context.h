// SPDX-License-Identifier: MIT
// A raw SOAP client context for one test call, ended with its scope, and a
// plain view of the fault record it holds afterwards.
#ifndef NVCONTRACT_CLIENT_CONTEXT_H
#define NVCONTRACT_CLIENT_CONTEXT_H

#include "soapH.h"
#include "tests/support/scripted_server.h"

#include <string>

namespace nvcontract {

class ClientContext {
 public:
  // Time-outs in seconds; short ones keep a failing test from hanging.
  explicit ClientContext(int recvTimeout = 10, int sendTimeout = 10) : soap_(soap_new()) {
    soap_->recv_timeout = recvTimeout;
    soap_->send_timeout = sendTimeout;
    soap_->connect_timeout = 10;
  }
  ~ClientContext() {
    soap_destroy(soap_);
    soap_end(soap_);
    soap_free(soap_);
  }
  ClientContext(const ClientContext&) = delete;
  ClientContext& operator=(const ClientContext&) = delete;

  struct soap* get() const {
    return soap_;
  }

 private:
  struct soap* soap_;
};

// What a caller can learn from the context's fault record after a call.
struct FaultView {
  bool present = false;
  bool hasFaultstring = false;
  std::string faultcode;    // "" when absent
  std::string faultstring;  // "" when absent
  std::string reason;       // SOAP 1.2 Reason text, "" when absent
  std::string detail;       // SOAP 1.1 detail as unparsed XML, "" when absent
};

inline FaultView faultOf(const struct soap* soap) {
  FaultView view;
  const SOAP_ENV__Fault* fault = soap->fault;
  if (fault == nullptr) return view;
  view.present = true;
  view.hasFaultstring = fault->faultstring != nullptr;
  if (fault->faultcode) view.faultcode = fault->faultcode;
  if (fault->faultstring) view.faultstring = fault->faultstring;
  if (fault->SOAP_ENV__Reason && fault->SOAP_ENV__Reason->SOAP_ENV__Text)
    view.reason = fault->SOAP_ENV__Reason->SOAP_ENV__Text;
  if (fault->detail && fault->detail->__any) view.detail = fault->detail->__any;
  return view;
}

// One cliSeek call without members to url, on soap: the `return` it read;
// "<absent>" when the answer had none, "status N" when the call failed.
inline std::string seekReturn(struct soap* soap, const std::string& url) {
  ns1__cliSeek request;
  ns1__cliSeekResponse response;
  int status = soap_call___ns1__cliSeek(soap, url.c_str(), nullptr, &request, response);
  if (status != SOAP_OK) return "status " + std::to_string(status);
  return response.return_ ? *response.return_ : "<absent>";
}

// The generated call procedure `call` with an empty request, against a
// scripted centre answering its response wrapper holding membersXml: the
// call's status. The response is read into soap's memory.
template <class Request, class Response>
int callAnswered(struct soap* soap, const std::string& operation, const std::string& membersXml,
                 int (*call)(struct soap*, const char*, const char*, Request*, Response&), Response& response) {
  nvtest::ScriptedServer server;
  server.enqueue(nvtest::Reply::soap(operation, membersXml));
  Request request;
  return call(soap, server.url().c_str(), nullptr, &request, response);
}

}  // namespace nvcontract

#endif
