// The call trace an operator switches on without restarting the HIS: the
// file NvTrace.ini beside NvConfiguration.ini (the process's working
// directory), read afresh by every call, names the level and the log file.
//
//   level=1            0 or no file: off; 1: one line per call;
//                      2: the line plus the messages exchanged
//   file=NvTrace.log   the log, relative to the working directory
//
// Each call appends one line: time, export, centre code, host, duration,
// bytes sent and received, out_code and, for a failure, its cause. Level 1
// never holds patient data. A trace that cannot be written changes nothing
// in the call.
#ifndef NV_FRAME_CALL_TRACE_H
#define NV_FRAME_CALL_TRACE_H

#include <chrono>
#include <string>
#include <string_view>

struct soap;

namespace nv {

struct TransportState;

// The trace settings in force for one call.
struct TraceSettings {
  int level = 0;
  std::string file;
};

// Reads NvTrace.ini from the working directory; level 0 when it is missing.
TraceSettings readTraceSettings();

// Test and tool seam: while an instance lives, calls on this thread trace
// with these settings instead of NvTrace.ini's, and also hand each entry to
// `sink` (nvcall --trace prints them to stderr).
class ScopedTraceSettings {
 public:
  using Sink = void (*)(const std::string& entry, void* context);
  explicit ScopedTraceSettings(TraceSettings settings, Sink sink = nullptr, void* context = nullptr);
  ~ScopedTraceSettings();
  ScopedTraceSettings(const ScopedTraceSettings&) = delete;
  ScopedTraceSettings& operator=(const ScopedTraceSettings&) = delete;

 private:
  friend class CallTrace;
  ScopedTraceSettings* previous_;
  TraceSettings settings_;
  Sink sink_;
  void* context_;
};

// One exported call's trace entry. The session of the call reports into it
// (reportSession); finish writes the entry.
class CallTrace {
 public:
  CallTrace(std::string_view exportName, std::string_view centreCode);
  ~CallTrace();
  CallTrace(const CallTrace&) = delete;
  CallTrace& operator=(const CallTrace&) = delete;

  bool active() const { return settings_.level > 0; }
  int level() const { return settings_.level; }

  // Called by a closing session: what its transport saw and why it failed
  // ("" when it did not).
  void reportSession(const TransportState& transport, const std::string& cause);
  // Writes the entry for the finished result document. Never throws.
  void finish(std::string_view resultDocument) noexcept;

  // The trace of the call running on this thread, or null.
  static CallTrace* current();

 private:
  CallTrace* previous_;
  TraceSettings settings_;
  ScopedTraceSettings* scoped_ = nullptr;
  std::chrono::system_clock::time_point startedAt_;
  std::chrono::steady_clock::time_point started_;
  std::string export_, centre_, host_, cause_, sent_, received_;
  unsigned long long bytesSent_ = 0, bytesReceived_ = 0;
};

// Why a session's call failed, as precisely as the runtime's state and the
// transport tell it: "" for a success.
std::string sessionFailureCause(struct soap* soap, const TransportState& transport, bool answerReadToEnd);

// Called by a closing session: hands its transport's account to the trace
// of the call running on this thread, if any.
void reportToCurrentTrace(struct soap* soap, const TransportState& transport, bool answerReadToEnd) noexcept;

// The exchanged bytes for reading: every element text that is well-formed
// base64 shown decoded.
std::string withBase64Decoded(std::string_view message);

}  // namespace nv

#endif
