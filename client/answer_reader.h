// SPDX-License-Identifier: MIT
// Reads the centre's answer to one call as its body arrives: bytes in,
// events to the caller's sink out, and an outcome. The HTTP exchange is the
// transport's; the XML is parsed by expat, and the reader's pieces (prolog,
// envelope, fault, member) each look after their own part of it. No record
// is built, nothing is read twice and no socket is touched.
#ifndef NV_CLIENT_ANSWER_READER_H
#define NV_CLIENT_ANSWER_READER_H

#include <cstdint>
#include <memory>
#include <string>

#include "client/answer_plan.h"
#include "client/answer_sink.h"
#include "client/call_status.h"

namespace nv {

class AnswerParser;

struct AnswerOutcome {
  enum class Kind {
    kSuccess,     // the answer was read through: the sink has its rows
    kFault,       // the centre sent a SOAP fault: the sink has its text, if any
    kNoResponse,  // the Body holds neither the response nor a readable fault:
                  // the runtime's client fault for the HTTP status (the sink
                  // has a fault text read before the fault was refused, if any)
    kBroken,      // nothing readable: the major exception
  };
  Kind kind = Kind::kBroken;
  std::string faultCode;                  // kFault: the local part of its code ("Server"), as sent
  int64_t malformedAt = -1;               // the byte of the body at which the XML stopped being well-formed
  CallStatus failure = CallStatus::ok();  // kNoResponse, kBroken: why, when the reader knows
};

class AnswerReader {
 public:
  // Takes what it needs of the plan at once: a call under way touches the
  // plan no more (the process may be ending under it).
  AnswerReader(const AnswerPlan& plan, AnswerSink& sink);
  ~AnswerReader();
  AnswerReader(const AnswerReader&) = delete;
  AnswerReader& operator=(const AnswerReader&) = delete;

  // The answer's head is read: its HTTP status, and its Content-Length
  // (0 when it gave none), passed on to the sink.
  void begin(int status, uint64_t announcedLength);
  // The next bytes of the body (chunked framing already taken off).
  void feed(const char* bytes, size_t count);
  // Once the outcome is settled (the envelope read through, or the answer
  // refused), later bytes change nothing.
  bool settled() const;
  // The body has ended: the sink is told the outcome. Throws std::bad_alloc
  // when memory ran out while reading (the sink has been told its rows are
  // void).
  AnswerOutcome finish();

 private:
  AnswerSink& sink_;
  std::unique_ptr<AnswerParser> parser_;
};

}  // namespace nv

#endif
