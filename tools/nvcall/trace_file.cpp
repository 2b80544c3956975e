// SPDX-License-Identifier: MIT
#include "tools/nvcall/trace_file.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace nvcall {

TraceForOneCall::TraceForOneCall(int level) {
  if (std::ifstream(kTraceSettingsFile)) return;
  std::remove(kOneCallLog);
  std::ofstream settings(kTraceSettingsFile, std::ios::binary);
  settings << "# written by nvcall --trace for one call; removed when it ends\n"
           << "level=" << level << "\nfile=" << kOneCallLog << "\n";
  ours_ = static_cast<bool>(settings.flush());
  if (!ours_) std::remove(kTraceSettingsFile);
}

TraceForOneCall::~TraceForOneCall() {
  if (!ours_) return;
  std::remove(kTraceSettingsFile);
  std::remove(kOneCallLog);
}

std::string TraceForOneCall::entries() const {
  if (!ours_) return "";
  std::ifstream log(kOneCallLog, std::ios::binary);
  std::ostringstream text;
  text << log.rdbuf();
  return text.str();
}

std::string withLineFeedEnds(std::string_view text) {
  std::string lines;
  lines.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) lines += text[i];
  return lines;
}

}  // namespace nvcall
