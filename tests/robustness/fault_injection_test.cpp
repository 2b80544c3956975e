// SPDX-License-Identifier: MIT
// Fault injection against the scripted centre: broken, slow, huge and odd
// answers. Every outcome is a well-formed document with the right code,
// every call returns within its time-outs, and (in the sanitizer build)
// nothing leaks.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>

#include "NvInterFace.h"
#include "client/service_session.h"
#include "tests/support/session_seams.h"
#include "frame/answer_document.h"
#include "text/result_document.h"
#include "tests/support/document_check.h"
#include "tests/support/export_catalogue.h"
#include "soapH.h"
#include "tests/robustness/slow_resolver.h"
#include "tests/robustness/stalling_server.h"
#include "tests/support/export_cases.h"
#include "tests/support/loopback_proxy.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/test_certificates.h"

namespace {

using namespace nvtest;
using Clock = std::chrono::steady_clock;

// The three result shapes, each through one export.
const std::string kList = "getPersonInfo";   // 13 columns per item
const std::string kText = "cliSettlement";   // column "settlementNo"
const std::string kRecord = "cliCalculate";  // 8 columns

std::string call(const std::string& exportName) {
  const nvcheck::ExportEntry& e = nvcheck::exportNamed(exportName);
  return take(e.call(e.validCArguments()));
}

std::string body(const Reply& reply) { return reply.bytes.substr(reply.bytes.find("\r\n\r\n") + 4); }

std::string chunked(const std::string& payload, const std::vector<size_t>& cuts,
                    const std::string& last = "0\r\n\r\n") {
  std::string out;
  size_t at = 0;
  for (size_t cut : cuts) {
    char size[16];
    std::snprintf(size, sizeof size, "%zx", cut - at);
    out += std::string(size) + "\r\n" + payload.substr(at, cut - at) + "\r\n";
    at = cut;
  }
  return out + last;
}

Reply withChunkedBody(const std::string& chunkedBody) {
  return Reply::raw(
      "HTTP/1.1 200 OK\r\nContent-Type: text/xml; charset=utf-8\r\nTransfer-Encoding: chunked\r\n"
      "Connection: close\r\n\r\n" +
      chunkedBody);
}

Row personRow(const std::string& name) {
  const char* fields[] = {"memberNO", "name",   "countryTeamCode", "familySysno",   "sexId", "idcardNo", "age",
                          "birthday", "bookNo", "cardNo",          "familyAddress", "tel",   "ideName"};
  Row row;
  for (int i = 0; i < 13; ++i) row.push_back({i, fields[i], i == 1 ? name : ""});
  return row;
}

std::string personItems(const std::string& nameXml) {
  return "<return><list><name>" + nameXml + "</name></list></return>";
}

class FaultInjection : public ExportTest {};

TEST_F(FaultInjection, BrokenTransfersAreMajorExceptions) {
  const Reply text = Reply::soap("cliSettlement", "<return>MTIz</return>");
  const std::string full = text.bytes;
  const std::string head = full.substr(0, full.find("\r\n\r\n") + 4);
  const std::string envelope = body(text);
  const struct {
    const char* name;
    Reply reply;
  } cases[] = {
      {"half a response", Reply::raw(full).truncatedTo(full.size() / 2)},
      {"cut inside the status line", Reply::raw(full).truncatedTo(7)},
      {"headers without a body", Reply::raw(head)},
      {"an empty body", Reply::http(200, {{"Content-Type", "text/xml"}}, "")},
      {"a Content-Length larger than the body, then closed",
       Reply::raw("HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nContent-Length: " +
                  std::to_string(envelope.size() / 2 * 3) + "\r\n\r\n" + envelope.substr(0, envelope.size() / 2))},
      {"a chunk longer than what follows", withChunkedBody("ffff\r\n" + envelope.substr(0, 100))},
      {"a chunk size that is not hex", withChunkedBody("zz\r\n" + envelope + "\r\n0\r\n\r\n")},
      // An answer ends where its Content-Length says, as on a kept
      // connection it must: what follows is not read.
      {"a Content-Length shorter than the envelope",
       Reply::raw("HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nContent-Length: " +
                  std::to_string(envelope.size() - 20) + "\r\n\r\n" + envelope)},
      {"chunks cut before the envelope ends", withChunkedBody(chunked(envelope.substr(0, 80), {40, 80}, ""))},
      {"a fault with no faultstring",
       Reply::xml(soap11Envelope("<soap:Fault><faultcode>soap:Server</faultcode></soap:Fault>"), 500)},
      {"a fault with an empty detail only",
       Reply::xml(soap11Envelope("<soap:Fault><faultcode>soap:Client</faultcode><detail/></soap:Fault>"), 500)},
  };
  for (const auto& c : cases) {
    server.enqueue(c.reply);
    EXPECT_EQ(call(kText), majorException("cliSettlement")) << c.name;
  }
  // A length the runtime would take as a size to set aside (a negative one
  // wraps to an enormous size) is refused as the runtime refuses headers.
  for (const char* length : {"-268", "12ab", "", "99999999999999999999"})
    for (const char* status : {"200 OK", "563 Odd"}) {
      server.enqueue(Reply::raw(std::string("HTTP/1.1 ") + status +
                                "\r\nContent-Type: text/xml\r\nContent-Length: " + length + "\r\n\r\n" + envelope));
      EXPECT_EQ(call(kText), failureDocRaw("cliSettlement", "600", "HTTP Error")) << status << " " << length;
    }
  // A head that cannot be read is refused whole. A line of blanks continues
  // the head (it folds the line before it), so what follows it is still head.
  const std::string length = "Content-Length: " + std::to_string(envelope.size()) + "\r\n";
  for (const char* head : {"Content-Encoding: gzip\r\n", "\t\r\nContent-Encoding: gzip\r\n", " \r\nnot a header\r\n",
                           "\t\n<?xml version='1.0'?>\r\n"}) {
    server.enqueue(Reply::raw("HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\n" + length + head + "\r\n" + envelope));
    EXPECT_EQ(call(kText), failureDocRaw("cliSettlement", "600", "HTTP Error")) << head;
  }
}

TEST_F(FaultInjection, CompleteAnswersInOddTransfersAreRead) {
  const Reply text = Reply::soap("cliSettlement", "<return>MTIz</return>");
  const std::string envelope = body(text);
  const std::string expected = successDoc("cliSettlement", 1, {{{0, "settlementNo", "123"}}});
  const struct {
    const char* name;
    Reply reply;
  } cases[] = {
      {"chunks of one byte", withChunkedBody(chunked(envelope,
                                                     [&] {
                                                       std::vector<size_t> cuts;
                                                       for (size_t i = 1; i <= envelope.size(); ++i) cuts.push_back(i);
                                                       return cuts;
                                                     }()))},
      {"chunks cut inside a tag and a value",
       withChunkedBody(chunked(envelope, {envelope.find("<return>") + 3, envelope.find("MTIz") + 2, envelope.size()}))},
      {"chunk sizes with extensions and upper case",
       withChunkedBody("A;ext=1\r\n" + envelope.substr(0, 10) + "\r\n" +
                       chunked(envelope.substr(10), {envelope.size() - 10}))},
      {"no Content-Length, closed at the end",
       Reply::raw("HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\n\r\n" + envelope)},
      {"two responses in one connection",
       Reply::raw(text.bytes + Reply::soap("cliSettlement", "<return>OTk5</return>").bytes)},
      {"a Content-Length larger than the envelope, then closed",
       Reply::raw("HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nContent-Length: " +
                  std::to_string(envelope.size() + 500) + "\r\n\r\n" + envelope)},
      {"100 Continue first", Reply::raw("HTTP/1.1 100 Continue\r\n\r\n" + text.bytes)},
      {"a Content-Type parameter with a broken %-escape",
       Reply::raw("HTTP/1.1 200 OK\r\nContent-Type: text/xml;% charset=utf-8\r\nContent-Length: " +
                  std::to_string(envelope.size()) + "\r\n\r\n" + envelope)},
      {"a byte order mark and blanks before the declaration",
       Reply::raw("HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\n\r\n\xEF\xBB\xBF \r\n" + envelope)},
  };
  for (const auto& c : cases) {
    server.enqueue(c.reply);
    EXPECT_EQ(call(kText), expected) << c.name;
  }
}

// A request of 5 MB straight through a session: no export takes an argument
// that large. The transport's account of the failure, or "" on success.
std::string sendLargeRequest(const std::string& url) {
  nv::ServiceSession session;
  std::string name(5 << 20, 'A');
  ns1__getHospitalInfo request;
  request.name = &name;
  if (soap_send___ns1__getHospitalInfo(session.context(), url.c_str(), nullptr, &request) != SOAP_OK)
    return "not written";
  nv::ResultDocument doc;
  const nv::AnswerPlan plan{nv::AnswerShape::kNone, "getHospitalInfoResponse", "", {}};
  nv::AnswerDocument answer(plan, doc);
  nv::CallStatus status = session.exchange(nv::Environment::current(), url, nv::kReadsOnly, plan, answer);
  return status.traceCause();
}

// A loopback listener whose accept queue is full: the kernel drops further
// connection requests unanswered, as a lost SYN does. Any loopback address
// and port may be given, so that one name can have a dead address first.
class FullListener {
 public:
  explicit FullListener(const char* address = "127.0.0.1", int port = 0) {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    inet_pton(AF_INET, address, &addr.sin_addr);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    socklen_t len = sizeof addr;
    ::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::listen(listenFd_, 0);
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    for (int& fd : fillers_) {
      fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
      ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    }
    ::poll(nullptr, 0, 100);  // the fillers' handshakes complete
  }
  ~FullListener() {
    for (int fd : fillers_) ::close(fd);
    ::close(listenFd_);
  }
  std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/clinic/webservice/inpatientRedeem"; }

 private:
  int listenFd_ = -1, port_ = 0;
  int fillers_[3] = {-1, -1, -1};
};

// What one hostile row puts up: its servers, and the service address.
struct Hostile {
  std::string url;
  std::vector<std::shared_ptr<void>> parts;  // servers and environment, kept for the call
  std::string resolve;                       // addresses of the row's own name, if any
  bool largeRequest = false;                 // a 5 MB request straight through a session
  bool keptFirst = false;                    // a read before the timed call leaves a kept connection
};

template <class T, class... Args>
std::shared_ptr<T> keep(Hostile& h, Args&&... args) {
  auto part = std::make_shared<T>(std::forward<Args>(args)...);
  h.parts.push_back(part);
  return part;
}

// Every hostile behaviour, one for each phase of an exchange, ends within
// the bound of its kind: the connect bound while connecting, the connect
// bound, the low-speed span and the library's measuring window (at most 5 s
// of speed are averaged) after it. The limits are scaled down from 100 s.
TEST_F(FaultInjection, EveryWaitEndsWithinItsBound) {
  const Reply text = Reply::soap("cliSettlement", "<return>MTIz</return>");
  const std::string head = text.bytes.substr(0, text.bytes.find("\r\n\r\n") + 4);
  const std::string settled = successDoc("cliSettlement", 1, {{{0, "settlementNo", "123"}}});
  TestCertificates certificates(dir.path());
  ScopedEnvironment trust("SSL_CERT_FILE", certificates.trustedRoot);
  ScopedEnvironment noProxy("no_proxy", nullptr);
  std::string emptyRecords;  // TLS handshake records holding nothing
  for (int i = 0; i < 400; ++i) emptyRecords += std::string("\x16\x03\x03\x00\x00", 5);
  std::string endlessHeaders = "HTTP/1.1 200 OK\r\n";
  while (endlessHeaders.size() < (2 << 20)) endlessHeaders += "X-Padding: " + std::string(100, 'p') + "\r\n";

  enum Bound { kConnecting, kTransferring };
  const struct {
    const char* phase;
    const char* name;
    std::function<Hostile()> start;
    std::string expected;  // "": the major exception
    Bound bound;
    // The library gives each of several addresses half of what is left of a
    // bound above 1 s, so the row of two addresses needs one.
    int connectMs = 500;
    // A low limit lets a silent exchange last until its request's bytes
    // leave the 5 s average.
    long lowSpeedBytesPerSecond = 1 << 20;
  } cases[] = {
      // The resolver's own time-out is the system's; the library gives the
      // resolution up at the connect bound.
      {"resolving", "a name that does not resolve",
       [] {
         Hostile h;
         h.url = "http://no-such-centre.invalid:8080/x";
         return h;
       },
       failureDocRaw("cliSettlement", "600", "Name or service not known"), kConnecting},
      {"connecting", "a connection never answered",
       [] {
         Hostile h;
         h.url = keep<FullListener>(h)->url();
         return h;
       },
       failureDocRaw("cliSettlement", "600", "Timeout"), kConnecting},
      {"connecting", "a name with two addresses, the first dead",
       [&] {
         Hostile h;
         auto live = keep<StallingServer>(h, text.bytes);
         int port = std::stoi(live->url().substr(live->url().rfind(':') + 1));
         keep<FullListener>(h, "127.0.0.3", port);
         h.url = "http://centre.test:" + std::to_string(port) + "/clinic/webservice/inpatientRedeem";
         h.resolve = "centre.test:" + std::to_string(port) + ":127.0.0.3,127.0.0.1";
         return h;
       },
       settled, kConnecting, 2000},
      {"TLS handshake", "a hello answered by empty records, a byte every 90 ms",
       [&] {
         Hostile h;
         auto junk = keep<StallingServer>(h, emptyRecords, Pace{1, 90}, Pace{}, "", true);
         h.url = "https" + junk->url().substr(4);
         return h;
       },
       failureDocRaw("cliSettlement", "600", "Timeout"), kConnecting},
      {"TLS handshake", "a hello never answered",
       [&] {
         Hostile h;
         auto silent = keep<StallingServer>(h, "", Pace{}, Pace{}, "", true);
         h.url = "https" + silent->url().substr(4);
         return h;
       },
       failureDocRaw("cliSettlement", "600", "Timeout"), kConnecting},
      {"proxy CONNECT", "a proxy that never answers CONNECT",
       [&] {
         Hostile h;
         auto proxy = keep<LoopbackProxy>(h, LoopbackProxy::kSilent);
         keep<ScopedEnvironment>(h, "https_proxy", proxy->address());
         h.url = keep<StallingServer>(h, text.bytes, Pace{}, Pace{}, certificates.localhost)->url();
         return h;
       },
       failureDocRaw("cliSettlement", "600", "Timeout"), kConnecting},
      {"sending", "a 5 MB request read 256 bytes every 0.5 s",
       [] {
         Hostile h;
         h.url = keep<StallingServer>(h, "", Pace{}, Pace{256, 500})->url();
         h.largeRequest = true;
         return h;
       },
       "", kTransferring},
      {"headers", "accepts and never answers",
       [] {
         Hostile h;
         h.url = keep<StallingServer>(h, "")->url();
         return h;
       },
       "", kTransferring},
      {"headers", "the status line a byte every 0.2 s",
       [&] {
         Hostile h;
         h.url = keep<StallingServer>(h, head, Pace{1, 200})->url();
         return h;
       },
       "", kTransferring},
      {"headers", "the headers, then nothing",
       [&] {
         Hostile h;
         h.url = keep<StallingServer>(h, head)->url();
         return h;
       },
       "", kTransferring},
      {"headers", "2 MB of headers",
       [&] {
         Hostile h;
         h.url = keep<StallingServer>(h, endlessHeaders)->url();
         return h;
       },
       failureDocRaw("cliSettlement", "600", "HTTP Error"), kTransferring},
      {"body", "half the envelope, then nothing",
       [&] {
         Hostile h;
         h.url = keep<StallingServer>(h, text.bytes.substr(0, text.bytes.size() - 40))->url();
         return h;
       },
       "", kTransferring},
      {"body", "the whole answer at 45 ms a byte",
       [&] {
         Hostile h;
         h.url = keep<StallingServer>(h, text.bytes, Pace{1, 45})->url();
         return h;
       },
       "", kTransferring},
      {"body", "over TLS, a byte every 0.2 s",
       [&] {
         Hostile h;
         h.url = keep<StallingServer>(h, text.bytes, Pace{1, 200}, Pace{}, certificates.localhost)->url();
         return h;
       },
       "", kTransferring},
      // A complete answer ends the call, whether or not the centre then closes.
      {"body", "a whole HTTPS answer, the connection then held open",
       [&] {
         Hostile h;
         h.url = keep<StallingServer>(h, text.bytes, Pace{}, Pace{}, certificates.localhost)->url();
         return h;
       },
       settled, kConnecting},
      // An envelope read through ends the exchange after the grace (0.2 s
      // here), whatever more the answer announced.
      {"body", "an answer announcing 2 bytes more than it sends, then held open",
       [&] {
         Hostile h;
         std::string longer = text.bytes;
         const std::string length = "Content-Length: " + std::to_string(body(text).size());
         longer.replace(longer.find(length), length.size(), "Content-Length: " + std::to_string(body(text).size() + 2));
         h.url = keep<StallingServer>(h, longer)->url();
         return h;
       },
       settled, kConnecting, 500, 100},
      {"headers", "a header line of 150 KB, over the HTTP library's own limit",
       [&] {
         Hostile h;
         h.url =
             keep<StallingServer>(h, "HTTP/1.1 200 OK\r\nX-Padding: " + std::string(150 << 10, 'p') + "\r\n")->url();
         return h;
       },
       failureDocRaw("cliSettlement", "600", "HTTP Error"), kTransferring},
      // The system's resolver holds the lookup 4 s: the call ends at the
      // connect bound all the same, the lookup left to finish alone.
      {"resolving", "a resolver that does not answer",
       [] {
         Hostile h;
         h.url = "http://centre.slow-resolver.test:8080/x";
         return h;
       },
       failureDocRaw("cliSettlement", "600", "Timeout"), kConnecting},
      // A kept connection the centre holds silent, then closes unanswered:
      // a read is sent again only within the stall span the call has left
      // (here spent already), never with the bounds started afresh.
      {"body", "a kept connection silent for 2.5 s, then closed; a new one would be silent too",
       [] {
         Hostile h;
         auto centre = keep<ScriptedServer>(h);
         centre->enqueue(Reply::soap("getPersonInfo", "<return><list><name>YQ==</name></list></return>").keptAlive());
         centre->enqueue(Reply::neverAnswer(2500));
         centre->answerAlways(Reply::neverAnswer(20000));
         h.url = centre->url();
         h.keptFirst = true;
         return h;
       },
       "", kTransferring, 500, 100},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.phase) + ": " + c.name);
    Hostile hostile = c.start();
    nvtest::ScopedSessionLimits limits(
        scaledLimits(std::chrono::milliseconds(c.connectMs), c.lowSpeedBytesPerSecond, 1));
    ScopedResolve resolve(hostile.resolve);
    dir.writeCentres({{Centres::kMain, hostile.url, "H", "1", "op", ""}});
    if (hostile.keptFirst) {
      ASSERT_NE(call(kList).find("<out_code>000</out_code>"), std::string::npos);
    }
    auto start = Clock::now();
    if (hostile.keptFirst) {
      EXPECT_EQ(call(kList), majorException("GetPersonInfo"));
    } else if (hostile.largeRequest) {
      std::string cause = sendLargeRequest(hostile.url);
      EXPECT_NE(cause.find("low-speed limit"), std::string::npos) << cause;
      EXPECT_NE(cause.find("while sending"), std::string::npos) << cause;
    } else {
      EXPECT_EQ(call(kText), c.expected.empty() ? majorException("cliSettlement") : c.expected);
    }
    std::chrono::duration<double> took = Clock::now() - start;
    // The connect bound, then the low-speed span of 1 s and the window of
    // at most 5 s, and a margin for a loaded machine.
    const double connect = c.connectMs / 1000.0, margin = 0.7;
    EXPECT_LE(took.count(), c.bound == kConnecting ? connect + margin : connect + 1 + 5 + margin);
    std::printf("  %-14s %-55s %5.2f s\n", c.phase, c.name, took.count());
  }
}

// A slow but steady answer is carried whole: only the low-speed limit is on
// trial (1,024 bytes a second over 1 s, against 8 KB a second).
TEST_F(FaultInjection, ASlowButSteadyAnswerArrives) {
  const std::string value(6000, 'v');
  StallingServer steady(Reply::soap("cliSettlement", "<return>" + value + ":</return>").bytes, Pace{2048, 250});
  nvtest::ScopedSessionLimits limits(scaledLimits(std::chrono::seconds(1)));
  dir.writeCentres({{Centres::kMain, steady.url(), "H", "1", "op", ""}});
  EXPECT_EQ(call(kText), successDoc("cliSettlement", 1, {{{0, "settlementNo", value + ":"}}}));
}

TEST_F(FaultInjection, HugeAndDeepAnswers) {
  const std::string plain = std::string(10 << 20, 'y') + ":";  // the ":" keeps it from being base64
  const std::string decodedBytes(6 << 20, '\xB5');
  std::string nested;
  for (int i = 0; i < 100000; ++i) nested += "<u>";
  for (int i = 0; i < 100000; ++i) nested += "</u>";
  std::string shallow;
  for (int i = 0; i < 100; ++i) shallow += "<u a=\"1\">";
  for (int i = 0; i < 100; ++i) shallow += "</u>";

  struct Case {
    const char* name;
    std::string exportName;
    Reply reply;
    std::string expected;
  };
  const Case cases[] = {
      {"a 10 MB plain text member", kText, Reply::soap("cliSettlement", "<return>" + plain + "</return>"),
       successDoc("cliSettlement", 1, {{{0, "settlementNo", plain}}})},
      {"an 8 MB base64 member", kText,
       Reply::soap("cliSettlement", "<return>" + base64Encode(decodedBytes) + "</return>"),
       successDoc("cliSettlement", 1, {{{0, "settlementNo", decodedBytes}}})},
      {"unknown elements 100 levels deep", kList,
       Reply::soap("getPersonInfo", "<return><list>" + shallow + "<name>YQ==</name></list></return>"),
       successDoc("GetPersonInfo", 13, {personRow("a")})},
  };
  for (const Case& c : cases) {
    server.enqueue(c.reply);
    auto start = Clock::now();
    EXPECT_EQ(call(c.exportName), c.expected) << c.name;
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(60)) << c.name;
  }

  // Unknown elements are skipped without recursion, however deep.
  server.enqueue(Reply::soap("getPersonInfo", "<return><list>" + nested + "</list></return>"));
  EXPECT_EQ(call(kList), successDoc("GetPersonInfo", 13, {personRow("")})) << "100,000 levels";
}

TEST_F(FaultInjection, OddBytesInMembers) {
  // A value is a C text to the HIS: it ends at its first zero byte, however
  // the zero came.
  const struct {
    const char* name;
    std::string xml;
    std::string value;  // the name column as the HIS must get it
  } cases[] = {
      {"base64 of bytes with a NUL", base64Encode(std::string("ab\0cd", 5)), "ab"},
      {"markup characters as references", "&lt;/column&gt;&amp;", "</column>&"},
      // Plain text reaches the HIS as GBK; what GBK lacks becomes "?".
      {"UTF-8 text", "张三", gbk("张三")},
      {"a character reference", "&#x4E2D;&#25991;", gbk("中文")},
      {"characters GBK lacks",
       "a\xF0\x9F\x98\x80"
       "b&#x10FFFF;",
       "a?b?"},
  };
  for (const auto& c : cases) {
    server.enqueue(Reply::soap("getPersonInfo", personItems(c.xml)));
    EXPECT_EQ(call(kList), successDoc("GetPersonInfo", 13, {personRow(c.value)})) << c.name;
  }
  // Bytes XML does not allow make the answer malformed: no data from it.
  const std::string malformed[] = {"ab&#0;cd",
                                   std::string("ab\0cd", 5),
                                   "ab\xC0\x80"
                                   "cd",
                                   "a\xFFz",
                                   "a\xFE\x80z",
                                   "1cXI&foo;/bfh",
                                   "a&#xD800;b",
                                   "a&#x110000;b",
                                   "YWJj</nam>"};
  for (const std::string& xml : malformed) {
    server.enqueue(Reply::soap("getPersonInfo", personItems(xml)));
    EXPECT_EQ(call(kList), majorException("GetPersonInfo")) << xml;
  }
}

// Odd but readable answers: the first of a repeated element counts, a nil
// record is a row of empty values, a nil item is no row.
TEST_F(FaultInjection, OddShapesOfAnswers) {
  const std::string xsi = "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"";
  auto calculation = [](const std::string& totalMoney) {
    return successDoc("cliCalculate", 8,
                      {{{0, "totalMoney", totalMoney},
                        {1, "enableTotal", ""},
                        {7, "checkMoney", ""},
                        {2, "familyAccountMoney", ""},
                        {3, "doorRedeemNumber", ""},
                        {4, "doorRedeemMoney", ""},
                        {5, "memberRedeemNumber", ""},
                        {6, "memberRedeemMoney", ""}}});
  };
  auto settlement = [](const std::string& value) {
    return successDoc("cliSettlement", 1, {{{0, "settlementNo", value}}});
  };
  const struct {
    const char* name;
    std::string exportName;
    Reply reply;
    std::string expected;
  } cases[] = {
      {"a nil record", kRecord, Reply::soap("cliCalculate", "<return " + xsi + " xsi:nil=\"true\"/>"), calculation("")},
      {"a record given twice", kRecord,
       Reply::soap("cliCalculate",
                   "<return><totalMoney>MQ==</totalMoney></return><return><totalMoney>Mg==</totalMoney></return>"),
       calculation("1")},
      {"a list of nil items", kList,
       Reply::soap("getPersonInfo", "<return " + xsi + "><list xsi:nil=\"true\"/><list xsi:nil=\"true\"/></return>"),
       successDoc("GetPersonInfo", 13, {})},
      {"a member given twice", kList,
       Reply::soap("getPersonInfo", "<return><list><name>YQ==</name><name>Yg==</name></list></return>"),
       successDoc("GetPersonInfo", 13, {personRow("a")})},
      {"a list given twice", kList, Reply::soap("getPersonInfo", personItems("YQ==") + personItems("Yg==")),
       successDoc("GetPersonInfo", 13, {personRow("a")})},
      {"text where a list belongs", kList, Reply::soap("getPersonInfo", "<return>plain</return>"),
       successDoc("GetPersonInfo", 13, {})},
      {"elements where text belongs", kText, Reply::soap("cliSettlement", "<return><list><a>1</a></list></return>"),
       settlement("<list><a>1</a></list>")},
      {"a text given twice", kText, Reply::soap("cliSettlement", "<return>MQ==</return><return>Mg==</return>"),
       settlement("1")},
  };
  for (const auto& c : cases) {
    server.enqueue(c.reply);
    EXPECT_EQ(call(c.exportName), c.expected) << c.name;
  }
}

}  // namespace
