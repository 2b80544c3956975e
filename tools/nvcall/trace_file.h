// SPDX-License-Identifier: MIT
// nvcall --trace: the library's own call trace, switched on for one call.
// nvcall writes NvTrace.ini in the working directory, naming a log of its
// own, makes the call, removes both and hands over what the library wrote:
// the very entry the HIS's trace would hold. A HIS working in the same
// directory at that moment traces into that log too, for as long as the call
// lasts. An NvTrace.ini already there is left alone and rules the call.
#ifndef NV_NVCALL_TRACE_FILE_H
#define NV_NVCALL_TRACE_FILE_H

#include <string>
#include <string_view>

namespace nvcall {

class TraceForOneCall {
 public:
  explicit TraceForOneCall(int level);
  ~TraceForOneCall();
  TraceForOneCall(const TraceForOneCall&) = delete;
  TraceForOneCall& operator=(const TraceForOneCall&) = delete;

  // False when NvTrace.ini was there already, or could not be written.
  bool ours() const { return ours_; }
  // What the library wrote to the log so far.
  std::string entries() const;

 private:
  bool ours_ = false;
};

// The log's text for stderr, each line ended by a single LF. The messages
// of --trace=2 keep their HTTP heads' CR LF, which a text-mode stream (stderr
// on Windows) would write as CR CR LF; the stream ends each line as its
// console expects (LF, or CR LF on Windows).
std::string withLineFeedEnds(std::string_view text);

inline constexpr const char* kTraceSettingsFile = "NvTrace.ini";
inline constexpr const char* kOneCallLog = "nvcall-trace.log";

}  // namespace nvcall

#endif
