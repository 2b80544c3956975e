// SPDX-License-Identifier: MIT
// How one call ended: the one value a session hands back and the template
// writes. A failure is a cause and the detail that cause needs; the out_code,
// the out_text the HIS gets (GBK) and the trace's words for it all follow
// from the cause, in one table (call_status.cpp).
#ifndef NV_CLIENT_CALL_STATUS_H
#define NV_CLIENT_CALL_STATUS_H

#include <cstdint>
#include <string>
#include <utility>

namespace nv {

// What the detail holds for a cause is noted beside it; a cause without a
// note needs none.
enum class Cause {
  kNone,  // success
  // Before any exchange.
  kCentreNotFound,
  kArgumentCheck,           // text: the check message; outCode: the export's check-failure code
  kEndpointNotHttp,         // the service address is missing or not http(s)
  kEndpointUnreadable,      // the HTTP library cannot read the service address
  kEndpointMalformed,       // text: the HTTP library's words
  kProxySettingUnreadable,  // the proxy setting is no address (it is not repeated: it may hold a password)
  kProxySchemeUnsupported,  // text: the proxy's scheme
  // Connecting.
  kNameUnresolved,      // text: the system's words; proxy, when it is the proxy's name
  kConnectRefused,      // text: the system's words; proxy
  kCannotConnect,       // text: the system's or the HTTP library's words; proxy
  kConnectTimeout,      // microseconds spent; proxy
  kProxyRefusedTunnel,  // httpStatus: the proxy's answer to CONNECT; proxy
  kTlsNameMismatch,     // text: the host
  kTlsExpired,
  kTlsNotYetValid,
  kTlsUntrusted,        // text: the TLS library's words
  kTlsNotTls,           // text: the TLS library's words
  kTlsHandshakeFailed,  // text: the TLS library's words
  // Sending and receiving.
  kSlowWhileSending,    // bytesPerSecond, seconds: the low-speed limit
  kSlowWhileReceiving,  // bytesPerSecond, seconds
  kClosedByCentre,      // bytes received
  kLostWhileSending,    // bytes sent; text: the system's words, "" when it gave none
  kLostWhileReceiving,  // bytes received; text: as kLostWhileSending
  kResendRefused,       // a kept connection closed unanswered, and the request may not go again
  kTransferFailed,      // text: the HTTP library's words
  // The answer's head.
  kHeadLineTooLong,         // a line over the HTTP library's own limit
  kHeadTooLarge,            // bytes: the limit
  kHttpStatus,              // httpStatus: a status not read as SOAP
  kContentLengthNotNumber,  // httpStatus
  kEncodedBody,             // httpStatus
  kHeaderUnreadable,        // httpStatus; text: the HTTP library's words
  kNoStatus,                // a head without a status
  kStatusOutOfRange,        // httpStatus: no HTTP status at all
  kNotHttp,                 // text: the HTTP library's words
  kHeadUnfinished,          // the answer ended inside its head
  // The answer's body.
  kFault,       // text: the local part of the fault's code, "" when it had none
  kNoResponse,  // httpStatus; text: the SOAP runtime's own words for it
  kMalformed,   // bytes: where the XML stopped being well-formed
  kNotSoapEnvelope,
  kUnknownSoapVersion,
  kNoSoapBody,
  kNoResponseInBody,
  kMustUnderstand,      // an element that must be understood, and is not
  kEnvelopeUnfinished,  // the answer ended before its envelope did
  kUnknown,             // a reader that said only that the answer is broken
  kLast = kUnknown,
};

struct CauseDetail {
  int httpStatus = 0;
  int64_t bytes = 0;
  int64_t microseconds = 0;
  long bytesPerSecond = 0, seconds = 0;
  std::string text;
  std::string proxy;         // "host:port" of the proxy the attempt went through; "" when direct
  const char* outCode = "";  // kArgumentCheck only

  CauseDetail& withStatus(int status) {
    httpStatus = status;
    return *this;
  }
  CauseDetail& withBytes(int64_t count) {
    bytes = count;
    return *this;
  }
  CauseDetail& withMicroseconds(int64_t spent) {
    microseconds = spent;
    return *this;
  }
  CauseDetail& withLowSpeed(long limitBytesPerSecond, long limitSeconds) {
    bytesPerSecond = limitBytesPerSecond;
    seconds = limitSeconds;
    return *this;
  }
  CauseDetail& withText(std::string words) {
    text = std::move(words);
    return *this;
  }
  CauseDetail& withProxy(std::string shown) {
    proxy = std::move(shown);
    return *this;
  }
  CauseDetail& withOutCode(const char* code) {
    outCode = code;
    return *this;
  }
};

class CallStatus {
 public:
  static CallStatus ok() { return CallStatus(); }
  static CallStatus failed(Cause cause, CauseDetail detail = {}) {
    CallStatus status;
    status.cause_ = cause;
    status.detail_ = std::move(detail);
    return status;
  }

  bool isOk() const { return cause_ == Cause::kNone; }
  Cause cause() const { return cause_; }
  const CauseDetail& detail() const { return detail_; }

  // "000" on success.
  const char* outCode() const;
  // The text the HIS gets (GBK): "执行成功" on success.
  std::string outText() const;
  // The cause in words for the trace; "" on success.
  std::string traceCause() const;

  // A change may have reached the centre before the exchange broke: the
  // HIS must find out before it sends it again.
  CallStatus& withOutcomeUnknown() {
    outcomeUnknown_ = true;
    return *this;
  }
  bool outcomeUnknown() const { return outcomeUnknown_; }

 private:
  CallStatus() = default;
  Cause cause_ = Cause::kNone;
  bool outcomeUnknown_ = false;
  CauseDetail detail_;
};

}  // namespace nv

#endif
