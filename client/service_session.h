// SPDX-License-Identifier: MIT
// One exported call's exchange with the centre: the generated code writes
// the request envelope into memory through context(), then exchange()
// carries it to the centre and reads the answer, reporting it to a sink.
#ifndef NV_CLIENT_SERVICE_SESSION_H
#define NV_CLIENT_SERVICE_SESSION_H

#include <string>

#include "client/answer_plan.h"
#include "client/answer_sink.h"
#include "client/call_status.h"
#include "client/effect.h"
#include "client/exchange_environment.h"
#include "client/exchange_report.h"

struct soap;

namespace nv {

struct SessionOptions {
  bool keepMessages = false;  // the trace wants the messages themselves
  bool reuse = true;          // connections are kept alive between calls
};

class ServiceSession {
 public:
  explicit ServiceSession(SessionOptions options = {});
  ~ServiceSession();
  ServiceSession(const ServiceSession&) = delete;
  ServiceSession& operator=(const ServiceSession&) = delete;

  // The SOAP context the generated send procedure writes the envelope
  // with; it opens no connection.
  struct soap* context() {
    return soap_;
  }
  const std::string& envelope() const { return envelope_; }

  // Sends the envelope written to the service address and reads the
  // answer, reporting it to sink, as the environment has calls made. On failure the status says why, with the
  // out_text the HIS gets unless the sink was given the centre's own fault
  // text. Throws std::bad_alloc when memory runs out.
  CallStatus exchange(const ExchangeEnvironment& environment, const std::string& endpoint, Effect effect,
                      const AnswerPlan& plan, AnswerSink& sink);

  const ExchangeReport& report() const { return report_; }

 private:
  std::string runtimeFaultText(int status);

  SessionOptions options_;
  std::string envelope_;
  ExchangeReport report_;
  struct soap* soap_;
};

// Frees the idle SOAP contexts kept for later sessions and their pool (when
// the library is unloaded).
void releaseSessionContexts();
// Frees the idle contexts and XML parsers alone, so that the next session
// makes its own afresh, as the process's first does.
void freeIdleSessionContexts();

}  // namespace nv

#endif
