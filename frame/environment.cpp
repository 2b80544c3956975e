// SPDX-License-Identifier: MIT
#include "frame/environment.h"

#include <atomic>

namespace nv {
namespace {

class StandardEnvironment final : public Environment {
 public:
  SessionLimits limits() const override { return SessionLimits(); }
  std::string_view connectTo() const override { return {}; }
  std::string_view resolve() const override { return {}; }
  std::unique_ptr<BodyReader> answerReader(const AnswerPlan& plan, AnswerSink& sink) const override {
    return streamingReader(plan, sink);
  }
  TraceSettings traceSettings() const override { return readTraceSettings(); }
  void traceEntry(const std::string&) const override {}
};

// Nothing to destroy, nothing allocated: a HIS thread may still call while
// the process exits.
const StandardEnvironment kStandard{};

std::atomic<const Environment*> substituted{nullptr};

}  // namespace

const Environment& Environment::standard() { return kStandard; }

const Environment& Environment::current() {
  const Environment* environment = substituted.load(std::memory_order_acquire);
  return environment != nullptr ? *environment : kStandard;
}

const Environment* substituteEnvironment(const Environment* environment) {
  return substituted.exchange(environment, std::memory_order_acq_rel);
}

}  // namespace nv
