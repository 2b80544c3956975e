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
#include "client/body_reader.h"
#include "client/call_status.h"
#include "client/effect.h"
#include "client/exchange_environment.h"
#include "client/exchange_report.h"

namespace nv {

struct ExchangeSettings {
  Effect effect = kChangesState;
  bool keepMessages = false;  // for the trace's level 2
  bool reuse = true;          // keep connections alive
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

// The bounds, the address connected to and the names' addresses are the
// environment's. Throws std::bad_alloc when memory runs out.
ExchangeResult exchangeWithCentre(const std::string& endpoint, std::string_view envelope,
                                  const ExchangeSettings& settings, const ExchangeEnvironment& environment,
                                  BodyReader& reader, ExchangeReport& report);

}  // namespace nv

#endif
