// SPDX-License-Identifier: MIT
#include "frame/call_trace.h"

#include <cstdio>

#include "frame/settings_file.h"
#include "frame/environment.h"
#include "text/platform.h"
#include "text/codec.h"
#include "text/texts.h"

namespace nv {

namespace {

constexpr const char* kTraceSettingsFile = "NvTrace.ini";
constexpr const char* kDefaultTraceFile = "NvTrace.log";

std::string milliseconds(long ms) { return ms < 0 ? "-" : std::to_string(ms); }

std::string localTimeText(std::chrono::system_clock::time_point at) {
  std::tm parts = localCalendar(std::chrono::system_clock::to_time_t(at));
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(at.time_since_epoch()).count() % 1000;
  char text[64];  // ample for any date the clock gives
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", parts.tm_year + 1900, parts.tm_mon + 1,
                parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec, static_cast<int>(ms));
  return text;
}

const char* connectionWord(ExchangeReport::Connection connection) {
  switch (connection) {
    case ExchangeReport::Connection::kNew: return "new";
    case ExchangeReport::Connection::kReused: return "reused";
    case ExchangeReport::Connection::kResumed: return "resumed";
    default: return "none";
  }
}

}  // namespace

std::string traceField(std::string_view text, bool quoted) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    if (c == '\\' || c == '"') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte == 0x7f || (c == ' ' && !quoted)) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", byte);
      out += escape;
    } else {
      out += c;
    }
  }
  return out;
}

TraceSettings readTraceSettings() {
  TraceSettings settings;
  auto file = readSettingsFile(kTraceSettingsFile);
  if (!file) return settings;
  settings.file = kDefaultTraceFile;
  auto level = file->find("level");
  if (level != file->end() && level->second.size() == 1 && level->second[0] >= '0' && level->second[0] <= '2')
    settings.level = level->second[0] - '0';
  auto name = file->find("file");
  if (name != file->end() && !name->second.empty()) settings.file = name->second;
  return settings;
}

CallTrace::CallTrace(const Environment& environment, std::string_view exportName, std::string_view centreCode)
    : environment_(environment) {
  try {
    settings_ = environment.traceSettings();
    if (!active()) return;
    startedAt_ = std::chrono::system_clock::now();
    started_ = std::chrono::steady_clock::now();
    export_ = exportName;
    centre_ = centreCode;
  } catch (...) {
    settings_.level = 0;  // no memory for the trace: the call goes on untraced
  }
}

void CallTrace::finish(const CallStatus& status, const ExchangeReport& report) noexcept {
  if (!active()) return;
  try {
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started_);
    std::string host = report.attempted && !report.host.empty() ? traceField(report.host) : "-";
    if (!report.proxy.empty()) host += " via " + traceField(report.proxy);
    std::string entry = localTimeText(startedAt_) + " export=" + export_ + " centre=" + traceField(centre_) +
                        " host=" + host + " ms=" + std::to_string(ms.count()) +
                        " sent=" + std::to_string(report.bytesSent) +
                        " received=" + std::to_string(report.bytesReceived);
    if (report.attempted) {
      entry += std::string(" connection=") + connectionWord(report.connection) +
               " resolve_ms=" + milliseconds(report.resolveMs) + " connect_ms=" + milliseconds(report.connectMs) +
               " tls_ms=" + milliseconds(report.tlsMs) + " first_byte_ms=" + milliseconds(report.firstByteMs);
      if (report.resent) entry += " resent=1";
    }
    entry += " out_code=" + traceField(status.outCode());
    if (!status.isOk()) entry += " cause=\"" + traceField(status.traceCause(), true) + "\"";
    if (status.outcomeUnknown()) entry += " outcome=unknown";
    entry += "\n";
    if (settings_.level >= 2 && report.attempted) {
      const char* cut = " (cut short: no memory for the trace's copy)";
      entry += std::string("--- sent") + (report.sentCut ? cut : "") + "\n" + withBase64Decoded(report.sent) +
               "\n--- received" + (report.receivedCut ? cut : "") + "\n" + withBase64Decoded(report.received) + "\n";
    }
    if (!settings_.file.empty()) appendToRegularFile(settings_.file, entry);
    environment_.traceEntry(entry);
  } catch (...) {
    // Out of memory while tracing: the call's result stands.
  }
}

std::string withBase64Decoded(std::string_view message) {
  std::string out;
  out.reserve(message.size());
  size_t at = 0;
  while (at < message.size()) {
    size_t open = message.find('>', at);
    if (open == std::string_view::npos) break;
    size_t close = message.find('<', open + 1);
    if (close == std::string_view::npos) break;
    std::string_view text = message.substr(open + 1, close - open - 1);
    out.append(message.substr(at, open + 1 - at));
    out += decodeField(text);  // as the HIS gets it: decoded when well-formed base64
    at = close;
  }
  out.append(message.substr(at));
  return out;
}

}  // namespace nv
