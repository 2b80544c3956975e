// SPDX-License-Identifier: MIT
// What one exchange takes from the platform it runs on, behind one
// interface so that tests, fuzzing and tools put their own in its place:
// the bounds on its waits, where its connections go and how names resolve,
// and the reader of the answer. frame/environment.h adds the trace's part
// and holds the environment in force; the exchange is handed it.
#ifndef NV_CLIENT_EXCHANGE_ENVIRONMENT_H
#define NV_CLIENT_EXCHANGE_ENVIRONMENT_H

#include <memory>
#include <string_view>

#include "client/answer_plan.h"
#include "client/answer_sink.h"
#include "client/body_reader.h"
#include "client/session_limits.h"

namespace nv {

class ExchangeEnvironment {
 public:
  // The bounds on every wait of a call.
  virtual SessionLimits limits() const = 0;
  // Where every connection goes instead of the centre's address
  // ("::host:port"); empty: the centre's own.
  virtual std::string_view connectTo() const = 0;
  // The addresses of a name ("host:port:address[,address...]"); empty: the
  // resolver's.
  virtual std::string_view resolve() const = 0;
  // The reader of the answer's body, reporting to sink.
  virtual std::unique_ptr<BodyReader> answerReader(const AnswerPlan& plan, AnswerSink& sink) const = 0;

 protected:
  // Never destroyed through the interface; the standard one never is at all.
  ~ExchangeEnvironment() = default;
};

// The streaming reader, the one the library reads answers with.
std::unique_ptr<BodyReader> streamingReader(const AnswerPlan& plan, AnswerSink& sink);

}  // namespace nv

#endif
