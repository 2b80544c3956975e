// SPDX-License-Identifier: MIT
// One exchange with the centre through libcurl: the envelope the generated
// code wrote goes out as one HTTP POST, on a kept connection when one is
// alive, and the answer's body goes to a BodyReader as it arrives.
#ifndef NV_CLIENT_CURL_EXCHANGE_H
#define NV_CLIENT_CURL_EXCHANGE_H

#include <cstdint>
#include <string>
#include <string_view>

#include "client/answer_reader.h"
#include "client/call_status.h"
#include "client/effect.h"
#include "client/exchange_report.h"
#include "client/session_limits.h"

namespace nv {

// Where the body of an answer read as SOAP goes.
class BodyReader {
 public:
  virtual ~BodyReader() = default;
  virtual void begin(int status, uint64_t announcedLength) = 0;
  virtual void feed(const char* bytes, size_t count) = 0;
  virtual bool settled() const = 0;
  virtual AnswerOutcome finish() = 0;
};

struct ExchangeSettings {
  Effect effect = kChangesState;
  bool keepMessages = false;  // for the trace's level 2
  bool reuse = true;          // keep connections alive
  SessionLimits limits;
  // Instead of the centre's address, every connection goes to this one
  // ("::host:port", tests/support); never set by the library itself.
  std::string testConnectTo;
  // The addresses of a name ("host:port:address,..."), for tests.
  std::string testResolve;
};

struct ExchangeResult {
  // Failed when the exchange broke, or its head was refused, before the
  // answer could be read.
  CallStatus transport = CallStatus::ok();
  bool bodyRead = false;  // the reader was given the body; outcome is its account
  AnswerOutcome outcome;
  int status = 0;
  bool requestStarted = false;  // some of the envelope went out
};

// Throws std::bad_alloc when memory runs out.
ExchangeResult exchangeWithCentre(const std::string& endpoint, std::string_view envelope,
                                  const ExchangeSettings& settings, BodyReader& reader, ExchangeReport& report);

}  // namespace nv

#endif
