// SPDX-License-Identifier: MIT
// The words the answer reader's pieces share: an element's name and marks
// as the parser gives them, and the step a piece asks of the reader for an
// element, a text or an end.
#ifndef NV_CLIENT_ANSWER_STEP_H
#define NV_CLIENT_ANSWER_STEP_H

#include <string>
#include <string_view>

#include "client/call_status.h"

namespace nv {

// The parser joins a namespace URI and a local name with this byte, which
// no well-formed name or namespace URI holds.
constexpr char kNameSeparator = '\x01';

struct Name {
  std::string_view ns;  // empty: no namespace
  std::string_view local;
};

inline Name splitName(const char* name) {
  std::string_view whole(name);
  size_t separator = whole.find(kNameSeparator);
  if (separator == std::string_view::npos) return {{}, whole};
  return {whole.substr(0, separator), whole.substr(separator + 1)};
}

// What an element's attributes say about how it is read.
struct Marks {
  bool nil = false;
  bool mustUnderstand = false;
  bool otherActor = false;
  bool reference = false;  // SOAP encoding's href or ref: an element stands for another
};

struct Step {
  enum class Kind {
    kGoOn,         // nothing to do: read on
    kSkip,         // pass over the element with all its content
    kSkipUnknown,  // an element nobody reads: skipped, unless it must be understood
    kCollect,      // the element's content is a text: into `into`
    kIgnoreRest,   // the rest of the element now open is passed over
    kBroken,       // the answer cannot be read: `why`
    kNoResponse,   // the Body holds neither the response nor a readable fault
    kFault,        // the fault is read through
    kAnswered,     // the envelope is read through: the answer stands
  };
  Kind kind = Kind::kGoOn;
  Cause why = Cause::kNone;
  std::string* into = nullptr;

  static Step goOn() { return {}; }
  static Step skip() { return {Kind::kSkip}; }
  static Step skipUnknown() { return {Kind::kSkipUnknown}; }
  static Step collect(std::string* into) { return {Kind::kCollect, Cause::kNone, into}; }
  static Step broken(Cause why) { return {Kind::kBroken, why}; }
  static Step of(Kind kind) { return {kind}; }
};

}  // namespace nv

#endif
