// SPDX-License-Identifier: MIT
// The platform a call runs on, behind one interface: what its exchange
// takes (client/exchange_environment.h) and the trace's settings and
// entries. The standard environment is the library's own behaviour; tests,
// fuzzing and tools put another in its place for the whole process, before
// any thread of theirs calls and until the last has returned. Each call
// reads which is in force once, when it starts.
#ifndef NV_FRAME_ENVIRONMENT_H
#define NV_FRAME_ENVIRONMENT_H

#include <string>

#include "client/exchange_environment.h"
#include "frame/call_trace.h"

namespace nv {

class Environment : public ExchangeEnvironment {
 public:
  // The trace's settings for one call.
  virtual TraceSettings traceSettings() const = 0;
  // Each trace entry written is handed here too.
  virtual void traceEntry(const std::string& entry) const = 0;

  // The one in force: the standard one unless another was put in its place.
  static const Environment& current();
  // Standard bounds, the centre's own address and the resolver's
  // addresses, the streaming reader, and NvTrace.ini's trace.
  static const Environment& standard();

 protected:
  ~Environment() = default;
};

// Hands every call on to a target: an environment that derives from it
// overrides only what it changes.
class EnvironmentWrapper : public Environment {
 public:
  explicit EnvironmentWrapper(const Environment& target) : target_(target) {}

  SessionLimits limits() const override { return target_.limits(); }
  std::string_view connectTo() const override { return target_.connectTo(); }
  std::string_view resolve() const override { return target_.resolve(); }
  std::unique_ptr<BodyReader> answerReader(const AnswerPlan& plan, AnswerSink& sink) const override {
    return target_.answerReader(plan, sink);
  }
  TraceSettings traceSettings() const override { return target_.traceSettings(); }
  void traceEntry(const std::string& entry) const override { target_.traceEntry(entry); }

 protected:
  ~EnvironmentWrapper() = default;
  const Environment& target() const { return target_; }

 private:
  const Environment& target_;
};

// Puts environment in force for the whole process (null: the standard one)
// and returns the one it replaces. For tests, fuzzing and tools only: the
// library never calls it.
const Environment* substituteEnvironment(const Environment* environment);

}  // namespace nv

#endif
