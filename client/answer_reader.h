// Reads the centre's answer to one call as it arrives: the HTTP exchange is
// the SOAP runtime's (status line, headers, 100 Continue, chunks), the XML
// is parsed by expat, and each member goes straight into the result
// document. No record is built and nothing is read twice.
#ifndef NV_CLIENT_ANSWER_READER_H
#define NV_CLIENT_ANSWER_READER_H

#include <cstdint>
#include <string>

#include "client/answer_plan.h"

struct soap;

namespace nv {

class ResultDocument;

struct AnswerOutcome {
  enum class Kind {
    kSuccess,  // out_code, out_text and the data element are written
    kFault,    // the centre sent a SOAP fault: faultText holds its text
    kRuntime,  // the runtime's fault record tells what failed, or nothing does
  };
  Kind kind = Kind::kRuntime;
  std::string faultText;     // kFault: the fault string (or SOAP 1.2 Reason text) in GBK, undecoded
  std::string faultCode;     // kFault: the local part of its code ("Server"), as sent
  int64_t malformedAt = -1;  // the byte of the body at which the XML stopped being well-formed
};

// Reads the answer to the request just sent on the context's connection, then
// closes the connection. On success writes out_code "000", out_text and the
// data element with its rows to doc; otherwise leaves doc as it was.
AnswerOutcome readAnswer(struct soap* soap, const AnswerPlan& plan, ResultDocument& doc);

}  // namespace nv

#endif
