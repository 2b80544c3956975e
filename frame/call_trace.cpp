#include "frame/call_trace.h"

#include <cstdio>
#include <ctime>

#ifdef _WIN32
#include <winsock2.h>  // before windows.h, as the SOAP runtime's headers include it
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include "text/codec.h"
#include "text/texts.h"
#include "client/transport.h"
#include "soapH.h"

namespace nv {
namespace {

thread_local CallTrace* tlsCurrentTrace = nullptr;
thread_local ScopedTraceSettings* tlsScopedSettings = nullptr;

constexpr const char* kTraceSettingsFile = "NvTrace.ini";
constexpr const char* kDefaultTraceFile = "NvTrace.log";

std::string trimmed(std::string text) {
  size_t begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string::npos) return "";
  size_t end = text.find_last_not_of(" \t\r\n");
  return text.substr(begin, end - begin + 1);
}

std::string lowered(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

// One write with O_APPEND (FILE_APPEND_DATA on Windows): concurrent calls,
// of this process or another, never interleave within an entry. Failures
// are ignored: the trace must not change the call.
void appendToFile(const std::string& path, const std::string& entry) {
#ifdef _WIN32
  HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, entry.data(), static_cast<DWORD>(entry.size()), &written, nullptr);
  CloseHandle(file);
#else
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return;
  for (size_t at = 0; at < entry.size();) {
    ssize_t n = ::write(fd, entry.data() + at, entry.size() - at);
    if (n <= 0) break;
    at += static_cast<size_t>(n);
  }
  ::close(fd);
#endif
}

std::string localTime(std::chrono::system_clock::time_point at) {
  std::time_t seconds = std::chrono::system_clock::to_time_t(at);
  std::tm parts{};
#ifdef _WIN32
  localtime_s(&parts, &seconds);
#else
  localtime_r(&seconds, &parts);
#endif
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(at.time_since_epoch()).count() % 1000;
  char text[64];  // ample for any date the clock gives
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", parts.tm_year + 1900, parts.tm_mon + 1,
                parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec, static_cast<int>(ms));
  return text;
}

std::string between(std::string_view text, std::string_view open, std::string_view close) {
  size_t start = text.find(open);
  if (start == std::string_view::npos) return "";
  start += open.size();
  size_t end = text.find(close, start);
  return end == std::string_view::npos ? "" : std::string(text.substr(start, end - start));
}

// A field of the one-line entry: control characters (line breaks in the
// runtime's texts, in a centre code) become blanks.
std::string oneLine(std::string text) {
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
  return trimmed(text);
}

// What the HIS's own input caused when no session ran.
std::string causeWithoutSession(const std::string& outCode, const std::string& outText) {
  if (outCode == texts::kSuccessCode) return "";
  if (outText == texts::kCentreNotFound) return "centre not found in NvConfiguration.ini";
  if (outText == texts::kEndpointNotUsable) return "service address missing or not http(s)";
  return "argument check failed";
}

}  // namespace

TraceSettings readTraceSettings() {
  TraceSettings settings;
  std::FILE* file = std::fopen(kTraceSettingsFile, "r");
  if (file == nullptr) return settings;
  settings.file = kDefaultTraceFile;
  std::string line;
  for (int c = 0; c != EOF;) {
    c = std::fgetc(file);
    if (c != '\n' && c != EOF) {
      line += static_cast<char>(c);
      continue;
    }
    line = trimmed(line);
    size_t equals = line.find('=');
    if (!line.empty() && line[0] != '#' && line[0] != ';' && equals != std::string::npos) {
      std::string key = lowered(trimmed(line.substr(0, equals))), value = trimmed(line.substr(equals + 1));
      if (key == "level")
        settings.level = value.size() == 1 && value[0] >= '0' && value[0] <= '2' ? value[0] - '0' : 0;
      else if (key == "file" && !value.empty())
        settings.file = value;
    }
    line.clear();
  }
  std::fclose(file);
  return settings;
}

ScopedTraceSettings::ScopedTraceSettings(TraceSettings settings, Sink sink, void* context)
    : previous_(tlsScopedSettings), settings_(std::move(settings)), sink_(sink), context_(context) {
  tlsScopedSettings = this;
}

ScopedTraceSettings::~ScopedTraceSettings() { tlsScopedSettings = previous_; }

CallTrace::CallTrace(std::string_view exportName, std::string_view centreCode)
    : previous_(tlsCurrentTrace), scoped_(tlsScopedSettings) {
  tlsCurrentTrace = this;
  try {
    settings_ = scoped_ ? scoped_->settings_ : readTraceSettings();
    if (!active()) return;
    startedAt_ = std::chrono::system_clock::now();
    started_ = std::chrono::steady_clock::now();
    export_ = exportName;
    centre_ = centreCode;
  } catch (...) {
    settings_.level = 0;  // no memory for the trace: the call goes on untraced
  }
}

CallTrace::~CallTrace() { tlsCurrentTrace = previous_; }

CallTrace* CallTrace::current() { return tlsCurrentTrace; }

void CallTrace::reportSession(const TransportState& transport, const std::string& cause) {
  if (!active()) return;
  host_ = transport.host;
  if (!transport.proxyHost.empty()) host_ += " via " + transport.proxyHost + ":" + std::to_string(transport.proxyPort);
  bytesSent_ += transport.bytesSent;
  bytesReceived_ += transport.bytesReceived;
  if (cause_.empty()) cause_ = cause;
  sent_ += transport.sent;
  received_ += transport.received;
}

void CallTrace::finish(std::string_view resultDocument) noexcept {
  if (!active()) return;
  try {
    std::string outCode = between(resultDocument, "<out_code>", "</out_code>");
    std::string cause = cause_;
    if (cause.empty() && host_.empty())
      cause = causeWithoutSession(outCode, between(resultDocument, "<out_text>", "</out_text>"));
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started_);
    std::string entry = localTime(startedAt_) + " export=" + export_ + " centre=" + oneLine(centre_) +
                        " host=" + (host_.empty() ? "-" : oneLine(host_)) + " ms=" + std::to_string(ms.count()) +
                        " sent=" + std::to_string(bytesSent_) + " received=" + std::to_string(bytesReceived_) +
                        " out_code=" + outCode;
    if (outCode != texts::kSuccessCode) entry += " cause=\"" + (cause.empty() ? "unknown" : oneLine(cause)) + "\"";
    entry += "\n";
    if (settings_.level >= 2 && (!sent_.empty() || !received_.empty()))
      entry += "--- sent\n" + withBase64Decoded(sent_) + "\n--- received\n" + withBase64Decoded(received_) + "\n";
    if (!settings_.file.empty()) appendToFile(settings_.file, entry);
    if (scoped_ && scoped_->sink_) scoped_->sink_(entry, scoped_->context_);
  } catch (...) {
    // Out of memory while tracing: the call's result stands.
  }
}

std::string sessionFailureCause(struct soap* soap, const TransportState& t, bool answerReadToEnd) {
  if (t.connectFailed || !t.cause.empty()) return t.cause.empty() ? "cannot connect" : t.cause;
  // The centre hung up before the length it announced: whatever the reader
  // made of the rest, the answer was cut short.
  if (t.closedByCentre && soap->length > 0 && soap->count < soap->length)
    return "connection closed by the centre after " + std::to_string(t.bytesReceived) + " bytes received";
  if (!t.answerCause.empty()) return t.answerCause;
  if (soap->error == SOAP_OK) return answerReadToEnd ? "" : "no response in the answer's Body";
  // A status other than 2xx that the runtime would not read as SOAP.
  if (soap->error >= 100 && soap->error < 600 && (soap->error < 200 || soap->error >= 300))
    return "HTTP status " + std::to_string(soap->error);
  switch (soap->error) {
    case SOAP_CLI_FAULT:
    case SOAP_SVR_FAULT:
    case SOAP_FAULT:
    case SOAP_MUSTUNDERSTAND: {
      const char* code = soap->fault ? soap->fault->faultcode : nullptr;
      if (code == nullptr && soap->fault && soap->fault->SOAP_ENV__Code)
        code = soap->fault->SOAP_ENV__Code->SOAP_ENV__Value;
      return std::string("fault ") + (code ? code : "without a code");
    }
    default: break;
  }
  // The answer could not be read (the runtime gives a 2xx status when a
  // Body holds neither the response nor a fault): cut short by the centre,
  // or malformed where the reader stopped in its body, counting what the
  // runtime received of the body less what it had not read yet.
  const bool bodyComplete = soap->length > 0 && soap->count >= soap->length;
  if (t.closedByCentre && !bodyComplete)
    return "connection closed by the centre after " + std::to_string(t.bytesReceived) + " bytes received";
  unsigned long long unread = soap->buflen > soap->bufidx ? soap->buflen - soap->bufidx : 0;
  std::string at = " at byte " + std::to_string(soap->count > unread ? soap->count - unread : 0);
  if (soap->error == SOAP_TAG_MISMATCH) return "malformed answer" + at + ": not the operation's response";
  if (soap->error == SOAP_EOF) return "malformed answer" + at + ": ended early";
  if (soap->error >= 200 && soap->error < 300) return "malformed answer" + at;
  return "malformed answer" + at + " (runtime error " + std::to_string(soap->error) + ")";
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

void reportToCurrentTrace(struct soap* soap, const TransportState& transport, bool answerReadToEnd) noexcept {
  CallTrace* trace = CallTrace::current();
  if (trace == nullptr || !trace->active()) return;
  try {
    trace->reportSession(transport, sessionFailureCause(soap, transport, answerReadToEnd));
  } catch (...) {
  }
}

}  // namespace nv
