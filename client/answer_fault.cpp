// SPDX-License-Identifier: MIT
#include "client/answer_fault.h"

namespace nv {

Step AnswerFault::start(int depth, const Name& name, const Marks& marks, const AnswerEnvelope& envelope) {
  const bool soapName = envelope.inEnvelopeNamespace(name.ns);
  if (depth == 4) {
    if (name.local == "faultstring" && !faultStringTaken_ && !marks.otherActor) {
      faultStringTaken_ = true;
      return marks.nil ? Step::skip() : Step::collect(&faultString_);
    }
    if (name.local == "Reason" && soapName && !reasonTaken_ && !marks.otherActor) {
      reasonTaken_ = true;
      if (marks.nil) return Step::skip();
      inReason_ = true;
      return Step::goOn();
    }
    // The code only names the kind of fault, for the trace.
    if (name.local == "faultcode" && !faultCodeTaken_ && !marks.otherActor) {
      faultCodeTaken_ = true;
      return marks.nil ? Step::skip() : Step::collect(&faultCode_);
    }
    if (name.local == "Code" && soapName && !codeTaken_ && !marks.otherActor) {
      codeTaken_ = true;
      if (marks.nil) return Step::skip();
      inCode_ = true;
      return Step::goOn();
    }
    bool known =
        ((name.local == "faultcode" || name.local == "faultactor" || name.local == "detail") && !marks.otherActor) ||
        (soapName && (name.local == "Code" || name.local == "Node" || name.local == "Role" || name.local == "Detail"));
    return known ? Step::skip() : Step::skipUnknown();
  }
  // Inside a SOAP 1.2 Code only its Value is read, for the trace; the rest
  // of it is passed over as the Code once was as a whole.
  if (inCode_) {
    if (depth == 5 && name.local == "Value" && soapName && faultCode_.empty())
      return marks.nil ? Step::skip() : Step::collect(&faultCode_);
    return Step::skip();
  }
  if (inReason_ && depth == 5 && name.local == "Text" && soapName && !reasonTextTaken_) {
    reasonTextTaken_ = true;
    return marks.nil ? Step::skip() : Step::collect(&reasonText_);
  }
  return Step::skipUnknown();
}

}  // namespace nv
