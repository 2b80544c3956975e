// SPDX-License-Identifier: MIT
// The call trace an operator switches on without restarting the HIS: the
// file NvTrace.ini beside NvConfiguration.ini (the process's working
// directory), read afresh by every call, names the level and the log file.
//
//   level=1            0 or no file: off; 1: one line per call;
//                      2: the line plus the messages exchanged
//   file=NvTrace.log   the log, relative to the working directory
//
// Each call appends one line: time, export, centre code, host, duration,
// bytes sent and received, the connection (new, reused or resumed) and the
// time of each phase, out_code and, for a failure, its cause. Level 1 never
// holds patient data. A trace that cannot be written changes nothing in the
// call; the log is written only when it is a regular file.
#ifndef NV_FRAME_CALL_TRACE_H
#define NV_FRAME_CALL_TRACE_H

#include <chrono>
#include <ctime>
#include <string>
#include <string_view>

#include "client/call_status.h"
#include "client/exchange_report.h"

namespace nv {

class Environment;

// The trace settings in force for one call.
struct TraceSettings {
  int level = 0;
  std::string file;
};

// Reads NvTrace.ini from the working directory; level 0 when it is missing
// (the standard environment's settings).
TraceSettings readTraceSettings();

// One exported call's trace entry, written by finish, with the settings of
// the call's environment, which outlives it.
class CallTrace {
 public:
  CallTrace(const Environment& environment, std::string_view exportName, std::string_view centreCode);
  CallTrace(const CallTrace&) = delete;
  CallTrace& operator=(const CallTrace&) = delete;

  bool active() const { return settings_.level > 0; }
  int level() const { return settings_.level; }

  // Writes the entry of the finished call: its status (out_code and cause)
  // and what its exchange with the centre did (none when report.attempted
  // is false). Never throws.
  void finish(const CallStatus& status, const ExchangeReport& report) noexcept;

 private:
  const Environment& environment_;
  TraceSettings settings_;
  std::chrono::system_clock::time_point startedAt_;
  std::chrono::steady_clock::time_point started_;
  std::string export_, centre_;
};

// A field of the one-line entry: a backslash, a double quote and every
// control byte written as an escape, and a blank too unless the field is
// quoted, so no value can add a field or a line.
std::string traceField(std::string_view text, bool quoted = false);

// The exchanged bytes for reading: every element text that is well-formed
// base64 shown decoded.
std::string withBase64Decoded(std::string_view message);

}  // namespace nv

#endif
