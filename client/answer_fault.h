// SPDX-License-Identifier: MIT
// A SOAP fault in the answer's Body, in either version: its text
// (faultstring, or the SOAP 1.2 Reason's Text) and its code, which only
// names the kind of fault for the trace.
#ifndef NV_CLIENT_ANSWER_FAULT_H
#define NV_CLIENT_ANSWER_FAULT_H

#include <string>
#include <string_view>

#include "client/answer_envelope.h"
#include "client/answer_step.h"

namespace nv {

class AnswerFault {
 public:
  // An element inside the Fault, at depth 4 or deeper.
  Step start(int depth, const Name& name, const Marks& marks, const AnswerEnvelope& envelope);
  // The end of an element at depth 4.
  void endChild() { inReason_ = inCode_ = false; }
  // Text between elements inside a SOAP 1.2 Code changes nothing.
  bool inCode() const { return inCode_; }

  // The fault's text, read through: faultstring, or else the Reason's Text.
  const std::string& text() const { return !faultString_.empty() || reasonText_.empty() ? faultString_ : reasonText_; }
  // The text read so far of a fault the runtime then refuses: its version's own.
  const std::string& textSoFar(int version) const { return version == 2 ? reasonText_ : faultString_; }
  // The local part of the code ("Server"), as sent.
  std::string code() const { return faultCode_.substr(faultCode_.find(':') + 1); }  // npos + 1: all of it

 private:
  bool faultStringTaken_ = false, reasonTaken_ = false, reasonTextTaken_ = false, inReason_ = false;
  bool faultCodeTaken_ = false, codeTaken_ = false, inCode_ = false;
  std::string faultString_, reasonText_, faultCode_;
};

}  // namespace nv

#endif
