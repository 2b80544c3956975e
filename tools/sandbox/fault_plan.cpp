// SPDX-License-Identifier: MIT
#include "tools/sandbox/fault_plan.h"

#include <mutex>

namespace sandbox {
namespace {

struct KindName {
  FaultKind kind;
  const char* name;
};
constexpr KindName kKindNames[] = {{FaultKind::Fault, "fault"},
                                   {FaultKind::Wait, "wait"},
                                   {FaultKind::Close, "close"},
                                   {FaultKind::Malformed, "malformed"},
                                   {FaultKind::Trickle, "trickle"}};

}  // namespace

const char* kindName(FaultKind kind) {
  for (const KindName& known : kKindNames)
    if (known.kind == kind) return known.name;
  return "?";
}

std::optional<FaultKind> kindNamed(const std::string& name) {
  for (const KindName& known : kKindNames)
    if (name == known.name) return known.kind;
  return std::nullopt;
}

std::string describe(const FaultSpec& spec) {
  switch (spec.kind) {
    case FaultKind::Fault: return "answer the fault \"" + spec.text + "\"";
    case FaultKind::Wait: return "wait " + std::to_string(spec.seconds) + " s before answering";
    case FaultKind::Close: return "close the connection without answering";
    case FaultKind::Malformed: return "answer with a malformed body";
    case FaultKind::Trickle: return "trickle the answer at " + std::to_string(spec.bytesPerSecond) + " bytes/s";
  }
  return "?";
}

ArmedFault FaultPlan::arm(const FaultSpec& spec) {
  std::lock_guard<Mutex> hold(lock_);
  ArmedFault fault{nextId_++, spec, spec.count};
  armed_.push_back(fault);
  return fault;
}

bool FaultPlan::disarm(int64_t id) {
  std::lock_guard<Mutex> hold(lock_);
  for (auto it = armed_.begin(); it != armed_.end(); ++it)
    if (it->id == id) {
      armed_.erase(it);
      return true;
    }
  return false;
}

void FaultPlan::disarmAll() {
  std::lock_guard<Mutex> hold(lock_);
  armed_.clear();
}

std::vector<ArmedFault> FaultPlan::armed() const {
  std::lock_guard<Mutex> hold(lock_);
  return armed_;
}

std::optional<ArmedFault> FaultPlan::take(const std::string& operation) {
  std::lock_guard<Mutex> hold(lock_);
  for (auto it = armed_.begin(); it != armed_.end(); ++it) {
    if (!it->spec.operation.empty() && it->spec.operation != operation) continue;
    ArmedFault met = *it;
    if (--it->remaining <= 0) armed_.erase(it);
    met.remaining = met.remaining - 1;
    return met;
  }
  return std::nullopt;
}

}  // namespace sandbox
