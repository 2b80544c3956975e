// SPDX-License-Identifier: MIT
// Test and fuzzing seams of a session, apart from the library's own
// headers: tests/support installs them for one thread; the library itself
// never does.
#ifndef NV_CLIENT_SESSION_SEAMS_H
#define NV_CLIENT_SESSION_SEAMS_H

#include <memory>

#include "client/answer_plan.h"
#include "client/curl_exchange.h"
#include "client/session_limits.h"

namespace nv {
namespace seams {

struct SessionSeams {
  // Instead of the standard bounds (tests scale them down).
  const SessionLimits* limits = nullptr;
  // Instead of the centre's address, every connection goes to this one
  // ("::127.0.0.1:port": any host and port).
  const char* connectTo = nullptr;
  // Addresses of names, as "host:port:address[,address...]".
  const char* resolve = nullptr;
  // Instead of the streaming reader (the generated reader, as its oracle).
  std::unique_ptr<BodyReader> (*reader)(const AnswerPlan& plan, AnswerSink& sink) = nullptr;
};

// The seams of the calling thread, or null.
const SessionSeams* threadSeams();
// Installs seams for the calling thread (null removes them); returns the previous.
const SessionSeams* setThreadSeams(const SessionSeams* seams);

}  // namespace seams
}  // namespace nv

#endif
