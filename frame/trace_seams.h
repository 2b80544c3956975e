// SPDX-License-Identifier: MIT
// A seam of the trace for tests and tools, apart from the library's own
// headers: while installed on a thread, calls there trace with these
// settings instead of NvTrace.ini's, and also hand each entry to `sink`.
#ifndef NV_FRAME_TRACE_SEAMS_H
#define NV_FRAME_TRACE_SEAMS_H

#include <string>

#include "frame/call_trace.h"

namespace nv::seams {

struct TraceSeams {
  TraceSettings settings;
  void (*sink)(const std::string& entry, void* context) = nullptr;
  void* context = nullptr;
};

const TraceSeams* threadTraceSeams();
// Installs seams for the calling thread (null removes them); returns the previous.
const TraceSeams* setThreadTraceSeams(const TraceSeams* seams);

}  // namespace nv::seams

#endif
