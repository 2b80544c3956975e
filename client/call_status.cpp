// SPDX-License-Identifier: MIT
#include "client/call_status.h"

#include <cstdio>

#include "text/texts.h"

namespace nv {
namespace {

// Where a cause's out_text comes from.
enum class OutText {
  kFixed,   // the row's own text
  kDetail,  // the detail's text: the check message, the system's or the runtime's words
  kTrace,   // the trace's words, as the HIS has always had them for this cause
};

using Words = std::string (*)(const CauseDetail&);

struct CauseRow {
  Cause cause;
  const char* outCode;  // nullptr: the detail's
  OutText from;
  const char* outText;  // for OutText::kFixed
  const char* traceText;
  Words traceWords;  // when set, the trace's words instead of traceText
};

std::string via(const CauseDetail& d) { return d.proxy.empty() ? "" : " (proxy " + d.proxy + ")"; }
std::string number(int64_t value) { return std::to_string(value); }
std::string status(const CauseDetail& d) { return "HTTP status " + number(d.httpStatus); }
std::string seconds(int64_t microseconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f s", static_cast<double>(microseconds) / 1e6);
  return text;
}
std::string lowSpeed(const CauseDetail& d) {
  return "low-speed limit: under " + number(d.bytesPerSecond) + " bytes/s for " + number(d.seconds) + " s while ";
}
std::string systemWords(const CauseDetail& d) { return d.text.empty() ? "" : ": " + d.text; }

constexpr const char* k600 = texts::kCallFailedCode;
constexpr const char* kMajor = texts::kMajorException;
constexpr const char* kHttp = texts::kHttpError;

// One row a cause, in the order of the enumeration.
constexpr CauseRow kCauses[] = {
    {Cause::kNone, texts::kSuccessCode, OutText::kFixed, texts::kSuccess, "", nullptr},
    {Cause::kCentreNotFound, texts::kNotFoundCode, OutText::kFixed, texts::kCentreNotFound,
     "centre not found in NvConfiguration.ini", nullptr},
    {Cause::kArgumentCheck, nullptr, OutText::kDetail, nullptr, "argument check failed", nullptr},
    {Cause::kEndpointNotHttp, k600, OutText::kFixed, texts::kEndpointNotUsable,
     "service address missing or not http(s)", nullptr},
    {Cause::kEndpointUnreadable, k600, OutText::kFixed, texts::kEndpointNotUsable,
     "service address not usable by the HTTP library", nullptr},
    {Cause::kEndpointMalformed, k600, OutText::kFixed, texts::kEndpointNotUsable, nullptr,
     [](const CauseDetail& d) { return "service address not usable (" + d.text + ")"; }},
    {Cause::kProxySettingUnreadable, k600, OutText::kTrace, nullptr,
     "proxy not usable: the proxy setting is not an address of the form http://[user:password@]host[:port] "
     "(a '/', '@' or ':' in the password is written %2F, %40 or %3A)",
     nullptr},
    {Cause::kProxySchemeUnsupported, k600, OutText::kTrace, nullptr, nullptr,
     [](const CauseDetail& d) { return "proxy not usable: only http:// proxies are supported (" + d.text + "://)"; }},
    {Cause::kNameUnresolved, k600, OutText::kDetail, nullptr, nullptr,
     [](const CauseDetail& d) { return "cannot connect: " + d.text + via(d); }},
    {Cause::kConnectRefused, k600, OutText::kDetail, nullptr, nullptr,
     [](const CauseDetail& d) { return "connect refused" + via(d); }},
    {Cause::kCannotConnect, k600, OutText::kDetail, nullptr, nullptr,
     [](const CauseDetail& d) { return "cannot connect: " + d.text + via(d); }},
    {Cause::kConnectTimeout, k600, OutText::kFixed, texts::kTimeout, nullptr,
     [](const CauseDetail& d) { return "time-out while connecting (" + seconds(d.microseconds) + ")" + via(d); }},
    {Cause::kProxyRefusedTunnel, k600, OutText::kFixed, kHttp, nullptr,
     [](const CauseDetail& d) { return "proxy answered HTTP " + number(d.httpStatus) + " to CONNECT" + via(d); }},
    {Cause::kTlsNameMismatch, k600, OutText::kFixed, texts::kTlsNameMismatch, nullptr,
     [](const CauseDetail& d) { return "TLS: certificate name mismatch (" + d.text + ")"; }},
    {Cause::kTlsExpired, k600, OutText::kFixed, texts::kTlsExpired, "TLS: certificate expired", nullptr},
    {Cause::kTlsNotYetValid, k600, OutText::kFixed, texts::kTlsNotYetValid, "TLS: certificate not yet valid", nullptr},
    {Cause::kTlsUntrusted, k600, OutText::kFixed, texts::kTlsUntrusted, nullptr,
     [](const CauseDetail& d) { return "TLS: certificate not trusted (" + d.text + ")"; }},
    {Cause::kTlsNotTls, k600, OutText::kFixed, texts::kTlsNotTls, nullptr,
     [](const CauseDetail& d) { return "TLS: the centre did not answer in TLS (" + d.text + ")"; }},
    {Cause::kTlsHandshakeFailed, k600, OutText::kFixed, texts::kTlsFailed, nullptr,
     [](const CauseDetail& d) { return "TLS handshake failed (" + d.text + ")"; }},
    {Cause::kSlowWhileSending, k600, OutText::kFixed, kMajor, nullptr,
     [](const CauseDetail& d) { return lowSpeed(d) + "sending"; }},
    {Cause::kSlowWhileReceiving, k600, OutText::kFixed, kMajor, nullptr,
     [](const CauseDetail& d) { return lowSpeed(d) + "receiving"; }},
    {Cause::kClosedByCentre, k600, OutText::kFixed, kMajor, nullptr,
     [](const CauseDetail& d) {
       return "connection closed by the centre after " + number(d.bytes) + " bytes received";
     }},
    {Cause::kLostWhileSending, k600, OutText::kFixed, kMajor, nullptr,
     [](const CauseDetail& d) {
       return "connection lost while sending after " + number(d.bytes) + " bytes sent" + systemWords(d);
     }},
    {Cause::kLostWhileReceiving, k600, OutText::kFixed, kMajor, nullptr,
     [](const CauseDetail& d) {
       return "connection lost while receiving after " + number(d.bytes) + " bytes received" + systemWords(d);
     }},
    {Cause::kResendRefused, k600, OutText::kFixed, kMajor,
     "a kept connection closed before the answer came; the request is not sent again", nullptr},
    {Cause::kTransferFailed, k600, OutText::kFixed, kMajor, nullptr,
     [](const CauseDetail& d) { return "transfer failed: " + d.text; }},
    {Cause::kHeadLineTooLong, k600, OutText::kFixed, kHttp, "an answer header line over the HTTP library's 100 KB",
     nullptr},
    {Cause::kHeadTooLarge, k600, OutText::kFixed, kHttp, nullptr,
     [](const CauseDetail& d) { return "answer headers larger than " + number(d.bytes / 1024) + " KB"; }},
    {Cause::kHttpStatus, k600, OutText::kFixed, kHttp, nullptr, status},
    {Cause::kContentLengthNotNumber, k600, OutText::kFixed, kHttp, nullptr,
     [](const CauseDetail& d) { return status(d) + " with a Content-Length that is not a number"; }},
    {Cause::kEncodedBody, k600, OutText::kFixed, kHttp, nullptr,
     [](const CauseDetail& d) { return status(d) + " with an encoded body"; }},
    {Cause::kHeaderUnreadable, k600, OutText::kFixed, kHttp, nullptr,
     [](const CauseDetail& d) { return status(d) + " with a header that cannot be read (" + d.text + ")"; }},
    {Cause::kNoStatus, k600, OutText::kFixed, kMajor, "an answer without a status", nullptr},
    {Cause::kStatusOutOfRange, k600, OutText::kFixed, kMajor, nullptr, status},
    {Cause::kNotHttp, k600, OutText::kFixed, kMajor, nullptr,
     [](const CauseDetail& d) { return "not an HTTP answer (" + d.text + ")"; }},
    {Cause::kHeadUnfinished, k600, OutText::kFixed, kMajor, "the answer ended inside its headers", nullptr},
    // The fault's code only names the kind of fault: its text may name a
    // patient. The HIS gets the text (the document has it) when there is one.
    {Cause::kFault, k600, OutText::kFixed, kMajor, nullptr,
     [](const CauseDetail& d) { return "fault " + (d.text.empty() ? "without a code" : d.text); }},
    {Cause::kNoResponse, k600, OutText::kDetail, nullptr, nullptr,
     [](const CauseDetail& d) {
       return "no response to the operation in the answer (HTTP " + number(d.httpStatus) + ")";
     }},
    {Cause::kMalformed, k600, OutText::kFixed, kMajor, nullptr,
     [](const CauseDetail& d) { return "malformed answer at byte " + number(d.bytes); }},
    {Cause::kNotSoapEnvelope, k600, OutText::kFixed, kMajor, "not a SOAP envelope", nullptr},
    {Cause::kUnknownSoapVersion, k600, OutText::kFixed, kMajor, "a SOAP envelope of an unknown version", nullptr},
    {Cause::kNoSoapBody, k600, OutText::kFixed, kMajor, "no SOAP Body", nullptr},
    {Cause::kNoResponseInBody, k600, OutText::kFixed, kMajor, "no response in the answer's Body", nullptr},
    {Cause::kMustUnderstand, k600, OutText::kFixed, kMajor, "an element that must be understood", nullptr},
    {Cause::kEnvelopeUnfinished, k600, OutText::kFixed, kMajor, "the answer ended before its envelope did", nullptr},
    {Cause::kUnknown, k600, OutText::kFixed, kMajor, "unknown", nullptr},
};

constexpr bool everyCauseInOrder() {
  size_t at = 0;
  for (const CauseRow& row : kCauses)
    if (static_cast<size_t>(row.cause) != at++) return false;
  return at == static_cast<size_t>(Cause::kLast) + 1;
}
static_assert(everyCauseInOrder(), "one row a cause, in the enumeration's order");

const CauseRow& rowOf(Cause cause) { return kCauses[static_cast<size_t>(cause)]; }

}  // namespace

const char* CallStatus::outCode() const {
  const CauseRow& row = rowOf(cause_);
  return row.outCode != nullptr ? row.outCode : detail_.outCode;
}

std::string CallStatus::outText() const {
  const CauseRow& row = rowOf(cause_);
  switch (row.from) {
    case OutText::kDetail: return detail_.text;
    case OutText::kTrace: return traceCause();
    default: return row.outText;
  }
}

std::string CallStatus::traceCause() const {
  const CauseRow& row = rowOf(cause_);
  return row.traceWords != nullptr ? row.traceWords(detail_) : row.traceText;
}

}  // namespace nv
