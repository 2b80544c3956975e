// SPDX-License-Identifier: MIT
// Faults armed for a HIS test: "the next N calls of operation X (or of any
// operation)" are answered with a fault text, answered late, left
// unanswered, answered with a malformed body or answered a few bytes at a
// time. The connections' threads share the plan; it takes its own lock.
#ifndef NV_SANDBOX_FAULT_PLAN_H
#define NV_SANDBOX_FAULT_PLAN_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/sandbox/platform.h"

namespace sandbox {

enum class FaultKind {
  Fault,      // a SOAP fault with the text; the operation is not carried out
  Wait,       // the answer goes out after `seconds`
  Close,      // the connection is closed without an answer
  Malformed,  // the answer's body is cut inside an element
  Trickle,    // the answer goes out at `bytesPerSecond`
};

struct FaultSpec {
  std::string operation;  // empty: any operation
  int count = 1;          // how many calls it meets
  FaultKind kind = FaultKind::Fault;
  std::string text;        // UTF-8, for Fault
  int seconds = 0;         // for Wait
  int bytesPerSecond = 0;  // for Trickle
};

struct ArmedFault {
  int64_t id = 0;
  FaultSpec spec;
  int remaining = 0;
};

// The names of the kinds as the console and its API spell them.
const char* kindName(FaultKind kind);
std::optional<FaultKind> kindNamed(const std::string& name);

// What the fault does, in a few words of UTF-8 ("wait 30 s before answering").
std::string describe(const FaultSpec& spec);

class FaultPlan {
 public:
  ArmedFault arm(const FaultSpec& spec);
  // False when no armed fault has that id.
  bool disarm(int64_t id);
  void disarmAll();
  // In the order they were armed.
  std::vector<ArmedFault> armed() const;
  // The fault the next call of the operation meets, if any: the first
  // armed one for the operation or for any; it is used up after its count.
  std::optional<ArmedFault> take(const std::string& operation);

 private:
  mutable Mutex lock_;
  int64_t nextId_ = 1;
  std::vector<ArmedFault> armed_;
};

}  // namespace sandbox

#endif
