// SPDX-License-Identifier: MIT
// Every cause a call can end with, and what it shows: the out_code and
// out_text the HIS gets and the trace's words, byte for byte as HIS callers
// and operators have always had them.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "client/call_status.h"
#include "tests/support/gbk.h"

namespace {

using nv::Cause;
using nv::CauseDetail;
using nvtest::gbk;

const std::string kMajor = gbk("函数重大异常");
const std::string kNotUsable = gbk("农合中心服务地址未配置或无效");
const std::string kProxyForm =
    "proxy not usable: the proxy setting is not an address of the form http://[user:password@]host[:port] "
    "(a '/', '@' or ':' in the password is written %2F, %40 or %3A)";

CauseDetail text(std::string words) { return CauseDetail().withText(std::move(words)); }
CauseDetail status(int http) { return CauseDetail().withStatus(http); }
CauseDetail bytes(int64_t count) { return CauseDetail().withBytes(count); }

TEST(CallStatus, EachCauseShowsItsCodeTextAndTraceWords) {
  const struct {
    Cause cause;
    CauseDetail detail;
    std::string outCode, outText, trace;
  } cases[] = {
      {Cause::kNone, {}, "000", gbk("执行成功"), ""},
      {Cause::kCentreNotFound, {}, "300", gbk("无法找到配置文件"), "centre not found in NvConfiguration.ini"},
      {Cause::kArgumentCheck, text(gbk("门诊就诊号不能为空")).withOutCode("300"), "300", gbk("门诊就诊号不能为空"),
       "argument check failed"},
      {Cause::kArgumentCheck, text("x").withOutCode("600"), "600", "x", "argument check failed"},
      {Cause::kEndpointNotHttp, {}, "600", kNotUsable, "service address missing or not http(s)"},
      {Cause::kEndpointUnreadable, {}, "600", kNotUsable, "service address not usable by the HTTP library"},
      {Cause::kEndpointMalformed, text("Port number was not a decimal number between 0 and 65535"), "600", kNotUsable,
       "service address not usable (Port number was not a decimal number between 0 and 65535)"},
      {Cause::kProxySettingUnreadable, {}, "600", kProxyForm, kProxyForm},
      {Cause::kProxySchemeUnsupported, text("socks5"), "600",
       "proxy not usable: only http:// proxies are supported (socks5://)",
       "proxy not usable: only http:// proxies are supported (socks5://)"},
      {Cause::kNameUnresolved, text("Name or service not known"), "600", "Name or service not known",
       "cannot connect: Name or service not known"},
      {Cause::kNameUnresolved, text("Name or service not known").withProxy("p.example:3128"), "600",
       "Name or service not known", "cannot connect: Name or service not known (proxy p.example:3128)"},
      {Cause::kConnectRefused, text("Connection refused"), "600", "Connection refused", "connect refused"},
      {Cause::kConnectRefused, text("Connection refused").withProxy("127.0.0.1:1080"), "600", "Connection refused",
       "connect refused (proxy 127.0.0.1:1080)"},
      {Cause::kCannotConnect, text("Network is unreachable"), "600", "Network is unreachable",
       "cannot connect: Network is unreachable"},
      {Cause::kConnectTimeout, CauseDetail().withMicroseconds(10049999), "600", "Timeout",
       "time-out while connecting (10.0 s)"},
      {Cause::kConnectTimeout, CauseDetail().withMicroseconds(1949000).withProxy("p:8080"), "600", "Timeout",
       "time-out while connecting (1.9 s) (proxy p:8080)"},
      {Cause::kProxyRefusedTunnel, status(407).withProxy("p:8080"), "600", "HTTP Error",
       "proxy answered HTTP 407 to CONNECT (proxy p:8080)"},
      {Cause::kTlsNameMismatch, text("centre.example"), "600",
       gbk("HTTPS连接失败:农合中心服务器的证书与服务地址的主机名不符"),
       "TLS: certificate name mismatch (centre.example)"},
      {Cause::kTlsExpired, {}, "600", gbk("HTTPS连接失败:农合中心服务器的证书已过期"), "TLS: certificate expired"},
      {Cause::kTlsNotYetValid,
       {},
       "600",
       gbk("HTTPS连接失败:农合中心服务器的证书尚未生效"),
       "TLS: certificate not yet valid"},
      {Cause::kTlsUntrusted, text("self-signed certificate"), "600", gbk("HTTPS连接失败:农合中心服务器的证书不受信任"),
       "TLS: certificate not trusted (self-signed certificate)"},
      {Cause::kTlsNotTls, text("wrong version number"), "600",
       gbk("HTTPS连接失败:农合中心服务器未以TLS应答(该地址可能只支持http)"),
       "TLS: the centre did not answer in TLS (wrong version number)"},
      {Cause::kTlsHandshakeFailed, text("unexpected eof"), "600", gbk("HTTPS连接失败:与农合中心服务器的TLS握手未完成"),
       "TLS handshake failed (unexpected eof)"},
      {Cause::kSlowWhileSending, CauseDetail().withLowSpeed(1, 100), "600", kMajor,
       "low-speed limit: under 1 bytes/s for 100 s while sending"},
      {Cause::kSlowWhileReceiving, CauseDetail().withLowSpeed(1048576, 1), "600", kMajor,
       "low-speed limit: under 1048576 bytes/s for 1 s while receiving"},
      {Cause::kClosedByCentre, bytes(0), "600", kMajor, "connection closed by the centre after 0 bytes received"},
      {Cause::kLostWhileSending, bytes(65536).withText("Broken pipe"), "600", kMajor,
       "connection lost while sending after 65536 bytes sent: Broken pipe"},
      {Cause::kLostWhileReceiving, bytes(17), "600", kMajor, "connection lost while receiving after 17 bytes received"},
      {Cause::kResendRefused,
       {},
       "600",
       kMajor,
       "a kept connection closed before the answer came; the request is not sent again"},
      {Cause::kTransferFailed, text("Failure when receiving data from the peer"), "600", kMajor,
       "transfer failed: Failure when receiving data from the peer"},
      {Cause::kHeadLineTooLong, {}, "600", "HTTP Error", "an answer header line over the HTTP library's 100 KB"},
      {Cause::kHeadTooLarge, bytes(65536), "600", "HTTP Error", "answer headers larger than 64 KB"},
      {Cause::kHeadTooLarge, bytes(1500), "600", "HTTP Error", "answer headers larger than 1 KB"},
      {Cause::kHttpStatus, status(404), "600", "HTTP Error", "HTTP status 404"},
      {Cause::kContentLengthNotNumber, status(200), "600", "HTTP Error",
       "HTTP status 200 with a Content-Length that is not a number"},
      {Cause::kEncodedBody, status(500), "600", "HTTP Error", "HTTP status 500 with an encoded body"},
      {Cause::kHeaderUnreadable, status(200).withText("Invalid Content-Length: value"), "600", "HTTP Error",
       "HTTP status 200 with a header that cannot be read (Invalid Content-Length: value)"},
      {Cause::kNoStatus, {}, "600", kMajor, "an answer without a status"},
      {Cause::kStatusOutOfRange, status(700), "600", kMajor, "HTTP status 700"},
      {Cause::kNotHttp, text("Unsupported HTTP version in response"), "600", kMajor,
       "not an HTTP answer (Unsupported HTTP version in response)"},
      {Cause::kHeadUnfinished, {}, "600", kMajor, "the answer ended inside its headers"},
      {Cause::kFault, text("Server"), "600", kMajor, "fault Server"},
      {Cause::kFault, {}, "600", kMajor, "fault without a code"},
      {Cause::kNoResponse, status(200).withText("Error 200: HTTP 200 OK"), "600", "Error 200: HTTP 200 OK",
       "no response to the operation in the answer (HTTP 200)"},
      {Cause::kMalformed, bytes(74), "600", kMajor, "malformed answer at byte 74"},
      {Cause::kNotSoapEnvelope, {}, "600", kMajor, "not a SOAP envelope"},
      {Cause::kUnknownSoapVersion, {}, "600", kMajor, "a SOAP envelope of an unknown version"},
      {Cause::kNoSoapBody, {}, "600", kMajor, "no SOAP Body"},
      {Cause::kNoResponseInBody, {}, "600", kMajor, "no response in the answer's Body"},
      {Cause::kMustUnderstand, {}, "600", kMajor, "an element that must be understood"},
      {Cause::kEnvelopeUnfinished, {}, "600", kMajor, "the answer ended before its envelope did"},
      {Cause::kUnknown, {}, "600", kMajor, "unknown"},
  };
  std::set<Cause> seen;
  for (const auto& c : cases) {
    const nv::CallStatus status =
        c.cause == Cause::kNone ? nv::CallStatus::ok() : nv::CallStatus::failed(c.cause, c.detail);
    SCOPED_TRACE(c.trace);
    EXPECT_EQ(status.isOk(), c.cause == Cause::kNone);
    EXPECT_EQ(status.outCode(), c.outCode);
    EXPECT_EQ(status.outText(), c.outText) << nvtest::utf8(status.outText());
    EXPECT_EQ(status.traceCause(), c.trace);
    seen.insert(c.cause);
  }
  EXPECT_EQ(seen.size(), static_cast<size_t>(Cause::kLast) + 1) << "a cause without a case";
}

}  // namespace
