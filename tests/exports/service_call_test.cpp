// SPDX-License-Identifier: MIT
// The outcomes every template export shares, driven through getPersonInfo.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

#include "NvInterFace.h"
#include "frame/call_trace.h"
#include "tests/support/session_seams.h"
#include "tests/support/export_cases.h"

namespace {

using namespace nvtest;

const std::string kFid = "GetPersonInfo";

char* callMain() { return getPersonInfo("341122001", "op", Centres::kMain); }

std::string outText(const std::string& doc) {
  size_t start = doc.find("<out_text>"), end = doc.find("</out_text>");
  return start == std::string::npos || end == std::string::npos ? "<none>" : doc.substr(start + 10, end - start - 10);
}

std::string soap12Fault(const std::string& reasonXml) {
  return soap12Envelope("<soap:Fault><soap:Code><soap:Value>soap:Receiver</soap:Value></soap:Code>" + reasonXml +
                        "</soap:Fault>");
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

class ServiceCall : public ExportTest {};

TEST_F(ServiceCall, FailuresWithAFaultRecordShowItsDecodedText) {
  const std::string message = gbk("参合信息不存在");
  const struct {
    const char* name;
    Reply reply;
    std::string outText;
  } cases[] = {
      {"SOAP 1.1 fault, base64 GBK", Reply::fault("soap:Server", base64Encode(message)), message},
      {"SOAP 1.1 fault with HTTP 200", Reply::fault("soap:Client", "bad request", 200), "bad request"},
      {"SOAP 1.2 fault: the Reason text",
       Reply::xml(soap12Fault("<soap:Reason><soap:Text xml:lang=\"zh\">" + base64Encode(message) +
                              "</soap:Text></soap:Reason>"),
                  500, "application/soap+xml; charset=utf-8"),
       message},
      {"HTTP 404 without SOAP", Reply::http(404, {}, "not here"), "HTTP Error"},
      {"fault without a faultstring", Reply::fault("soap:Server", ""), gbk("函数重大异常")},
      {"SOAP 1.2 fault without a Reason", Reply::xml(soap12Fault(""), 500, "application/soap+xml; charset=utf-8"),
       gbk("函数重大异常")},
      // Plain fault texts reach the HIS as GBK.
      {"SOAP 1.1 fault in UTF-8 text", Reply::fault("soap:Server", "第一次就诊不存在"), gbk("第一次就诊不存在")},
      {"SOAP 1.2 fault in UTF-8 text",
       Reply::xml(soap12Fault("<soap:Reason><soap:Text xml:lang=\"zh\">第一次就诊不存在</soap:Text></soap:Reason>"),
                  500, "application/soap+xml; charset=utf-8"),
       gbk("第一次就诊不存在")},
  };
  for (const auto& c : cases) {
    server.enqueue(c.reply);
    std::string doc = take(callMain());
    EXPECT_EQ(doc, failureDocRaw(kFid, "600", c.outText)) << c.name << ": " << utf8(doc);
  }
}

TEST_F(ServiceCall, RuntimeFailuresReportTheRuntimesText) {
  // A refused connection: the operating system's own words, whatever they are.
  std::string refused = take(getPersonInfo("1", "op", Centres::kRefused));
  EXPECT_NE(outText(refused), "");
  EXPECT_NE(outText(refused), gbk("函数重大异常"));
  EXPECT_EQ(refused, failureDocRaw(kFid, "600", outText(refused)));

  // A response element of another name: the runtime's mismatch text.
  server.enqueue(Reply::soap("getHospitalInfo", "<return/>"));
  std::string mismatch = take(callMain());
  EXPECT_NE(outText(mismatch), "");
  EXPECT_EQ(mismatch, failureDocRaw(kFid, "600", outText(mismatch)));
}

TEST_F(ServiceCall, FailuresWithoutAFaultRecordAreMajorExceptions) {
  const std::string full = Reply::soap("getPersonInfo", "<return/>").bytes;
  const struct {
    const char* name;
    Reply reply;
  } cases[] = {
      {"closed without answering", Reply::closeWithoutAnswer()},
      {"half a response", Reply::raw(full).truncatedTo(full.size() / 2)},
      {"headers only", Reply::raw(full.substr(0, full.find("\r\n\r\n") + 4))},
      {"malformed XML",
       Reply::xml("<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body><<")},
      {"no envelope", Reply::xml("<html>hello</html>")},
      // The runtime takes these for a success with every member absent.
      {"a Body with no response in it", Reply::xml(soap11Envelope(""))},
      {"a Body with only text in it", Reply::xml(soap11Envelope("hello"))},
      // A SOAP message carries no document type; nothing in one is expanded.
      {"a document type", Reply::xml("<!DOCTYPE e [<!ENTITY x \"y\">]>" + full.substr(full.find("<soap:Envelope")))},
      {"a bare document type", Reply::xml("<!DOCTYPE soap:Envelope>" + full.substr(full.find("<soap:Envelope")))},
  };
  for (const auto& c : cases) {
    server.enqueue(c.reply);
    EXPECT_EQ(take(callMain()), majorException(kFid)) << c.name;
  }
}

TEST_F(ServiceCall, ASilentCentreTimesOut) {
  // A low-speed limit above what the request moves in its first second:
  // the second second is below it from its start.
  nvtest::ScopedSessionLimits shortWaits(scaledLimits(std::chrono::milliseconds(300), 1 << 20, 1));
  server.enqueue(Reply::neverAnswer(5000));
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(take(callMain()), majorException(kFid));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
}

// Every call leaves one trace line naming its cause; patient data (the
// member's name in the answer, the certificate number sent) only at level 2.
TEST_F(ServiceCall, EachCallLeavesOneTraceLineNamingItsCause) {
  const std::string name = gbk("张三");
  const Reply answer =
      Reply::soap("getPersonInfo", "<return><list><name>" + base64Encode(name) + "</name></list></return>");
  std::vector<std::string> entries;
  auto collect = [](const std::string& entry, void* into) {
    static_cast<std::vector<std::string>*>(into)->push_back(entry);
  };
  const std::string log = dir.path() + "/trace.log";
  nvtest::ScopedTraceSettings traced({1, log}, collect, &entries);
  nvtest::ScopedSessionLimits waits(scaledLimits(std::chrono::seconds(5), 1 << 20, 1));
  const struct {
    const char* name;
    std::optional<Reply> reply;
    const char* centre;
    std::string outCode, cause;  // cause "": none written
  } cases[] = {
      {"an answer", answer, Centres::kMain, "000", ""},
      {"a fault", Reply::fault("soap:Server", base64Encode(name)), Centres::kMain, "600", "fault Server"},
      {"HTTP 404", Reply::http(404, {}, "not here"), Centres::kMain, "600", "HTTP status 404"},
      {"malformed XML", Reply::xml("<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><<"),
       Centres::kMain, "600", "malformed answer at byte "},
      {"a Body that breaks off", Reply::xml(soap11Envelope("<a><<")), Centres::kMain, "600",
       "no response to the operation in the answer (HTTP 200)"},
      {"closed without answering", Reply::closeWithoutAnswer(), Centres::kMain, "600",
       "connection closed by the centre after 0 bytes received"},
      {"half an answer", Reply::raw(answer.bytes).truncatedTo(answer.bytes.size() / 2), Centres::kMain, "600",
       "connection closed by the centre after " + std::to_string(answer.bytes.size() / 2) + " bytes received"},
      {"a Body with no response", Reply::xml(soap11Envelope("")), Centres::kMain, "600",
       "no response in the answer's Body"},
      {"a silent centre", Reply::neverAnswer(2000), Centres::kMain, "600",
       "low-speed limit: under 1048576 bytes/s for 1 s while receiving"},
      {"refused", std::nullopt, Centres::kRefused, "600", "connect refused"},
      {"an unknown centre", std::nullopt, "999999", "300", "centre not found"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.reply) server.enqueue(*c.reply);
    size_t before = entries.size();
    take(getPersonInfo("341122000123", "op", c.centre));
    ASSERT_EQ(entries.size(), before + 1);
    const std::string& line = entries.back();
    EXPECT_EQ(line.find('\n'), line.size() - 1) << line;
    EXPECT_NE(line.find(" export=GetPersonInfo centre=" + std::string(c.centre) + " host="), std::string::npos) << line;
    EXPECT_NE(line.find(" out_code=" + c.outCode), std::string::npos) << line;
    EXPECT_EQ(line.find(" cause=\"" + c.cause), c.cause.empty() ? std::string::npos : line.find(" cause=")) << line;
    for (const std::string& patientData : {name, base64Encode(name), std::string("341122000123")})
      EXPECT_EQ(line.find(patientData), std::string::npos) << line;
  }
  std::string written;
  for (const std::string& entry : entries) written += entry;
  EXPECT_EQ(readFile(log), written);

  // Level 2 adds the messages, base64 shown decoded.
  nvtest::ScopedTraceSettings messages({2, ""}, collect, &entries);
  server.enqueue(answer);
  take(getPersonInfo("341122000123", "op", Centres::kMain));
  EXPECT_NE(entries.back().find("<bookno>341122000123</bookno>"), std::string::npos) << entries.back();
  EXPECT_NE(entries.back().find("<name>" + name + "</name>"), std::string::npos) << entries.back();

  // A trace that cannot be written changes nothing.
  nvtest::ScopedTraceSettings unwritable({2, dir.path() + "/no/such/directory/trace.log"});
  server.enqueue(answer);
  std::string traced2 = take(getPersonInfo("341122000123", "op", Centres::kMain));
  EXPECT_NE(traced2.find("<out_code>000</out_code>"), std::string::npos) << traced2;
}

// The fields of a trace line: key=value, a value in quotes when it holds
// blanks, with backslash escapes.
std::map<std::string, std::string> traceFields(const std::string& line) {
  std::map<std::string, std::string> fields;
  size_t at = line.find(" export=");
  while (at < line.size() && line[at] == ' ') {
    size_t equals = line.find('=', at);
    if (equals == std::string::npos) break;
    std::string key = line.substr(at + 1, equals - at - 1), value;
    at = equals + 1;
    const bool quoted = at < line.size() && line[at] == '"';
    if (quoted) ++at;
    while (at < line.size() && (quoted ? line[at] != '"' : line[at] != ' ' && line[at] != '\n')) {
      if (line[at] == '\\' && at + 1 < line.size()) ++at;
      value += line[at++];
    }
    if (quoted) ++at;
    if (!fields.emplace(key, value).second) fields[key + "#again"] = value;
  }
  return fields;
}

TEST_F(ServiceCall, TheTraceCannotBeForgedBlockedOrGarbled) {
  std::vector<std::string> entries;
  auto collect = [](const std::string& entry, void* into) {
    static_cast<std::vector<std::string>*>(into)->push_back(entry);
  };
  {
    nvtest::ScopedTraceSettings traced({1, ""}, collect, &entries);
    // A fault code that would add fields, and a centre code with a blank.
    server.enqueue(Reply::fault("x\" out_code=000 cause=\"y", "boom"));
    take(getPersonInfo("1", "op", Centres::kMain));
    take(getPersonInfo("1", "op", "3411 22\r\n"));
  }
  ASSERT_EQ(entries.size(), 2u);
  std::map<std::string, std::string> forged = traceFields(entries[0]);
  EXPECT_EQ(forged["out_code"], "600") << entries[0];
  EXPECT_EQ(forged.count("out_code#again"), 0u) << entries[0];
  EXPECT_EQ(forged["cause"], "fault x\" out_code=000 cause=\"y") << entries[0];
  EXPECT_NE(entries[1].find(" centre=3411\\x2022\\x0D\\x0A host=- "), std::string::npos) << entries[1];
  EXPECT_EQ(traceFields(entries[1])["out_code"], "300") << entries[1];

  // A log that is not a regular file is never waited on.
  ASSERT_EQ(mkfifo((dir.path() + "/trace.fifo").c_str(), 0644), 0);
  writeFile(dir.path() + "/NvTrace.ini", "level=1   # a comment after the value\nfile=trace.fifo\n");
  server.enqueue(Reply::soap("getPersonInfo", "<return/>"));
  auto start = std::chrono::steady_clock::now();
  EXPECT_NE(take(callMain()).find("<out_code>000</out_code>"), std::string::npos);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));

  // Nor is a settings file: a FIFO or a device named NvTrace.ini,
  // NvNetwork.ini or NvConfiguration.ini is passed over at once, as a file
  // that is not there.
  std::remove((dir.path() + "/NvTrace.ini").c_str());
  for (const char* settings : {"NvTrace.ini", "NvNetwork.ini"}) {
    SCOPED_TRACE(settings);
    ASSERT_EQ(mkfifo((dir.path() + "/" + settings).c_str(), 0644), 0);
    server.enqueue(Reply::soap("getPersonInfo", "<return/>"));
    start = std::chrono::steady_clock::now();
    EXPECT_NE(take(callMain()).find("<out_code>000</out_code>"), std::string::npos);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    std::remove((dir.path() + "/" + settings).c_str());
  }
  std::remove((dir.path() + "/NvConfiguration.ini").c_str());
  ASSERT_EQ(mkfifo((dir.path() + "/NvConfiguration.ini").c_str(), 0644), 0);
  start = std::chrono::steady_clock::now();
  EXPECT_NE(take(callMain()).find("<out_code>300</out_code>"), std::string::npos);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  std::remove((dir.path() + "/NvConfiguration.ini").c_str());
  ASSERT_EQ(symlink("/dev/zero", (dir.path() + "/NvConfiguration.ini").c_str()), 0);
  EXPECT_NE(take(callMain()).find("<out_code>300</out_code>"), std::string::npos);
  std::remove((dir.path() + "/NvConfiguration.ini").c_str());
  dir.writeCentres({{Centres::kMain, server.url(), Centres::kHospCode, Centres::kOrgLevel, Centres::kUserNo, ""}});

  // Level 2 shows the body as the reader got it: no chunk framing.
  writeFile(dir.path() + "/NvTrace.ini", "level=2\nfile=trace.log\n");
  const std::string envelope =
      Reply::soap("getPersonInfo", "<return><list><name>" + base64Encode(gbk("张三")) + "</name></list></return>")
          .bytes;
  const std::string body = envelope.substr(envelope.find("\r\n\r\n") + 4);
  std::string chunked;
  for (size_t at = 0; at < body.size(); at += 7) {
    char size[8];
    std::snprintf(size, sizeof size, "%zx", std::min<size_t>(7, body.size() - at));
    chunked += std::string(size) + "\r\n" + body.substr(at, 7) + "\r\n";
  }
  server.enqueue(Reply::raw("HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nTransfer-Encoding: chunked\r\n\r\n" +
                            chunked + "0\r\n\r\n"));
  take(callMain());
  std::string log = readFile(dir.path() + "/trace.log");
  EXPECT_NE(log.find("<name>" + gbk("张三") + "</name>"), std::string::npos) << log;
  EXPECT_EQ(log.find("\r\n7\r\n"), std::string::npos) << log;
  std::remove((dir.path() + "/NvTrace.ini").c_str());
}

TEST_F(ServiceCall, TheSessionSendsOnePostWithTheEmptyAction) {
  server.enqueue(Reply::soap("getPersonInfo", "<return/>"));
  take(callMain());
  std::vector<std::string> requests = server.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].rfind("POST /clinic/webservice/inpatientRedeem HTTP/1.1\r\n", 0), 0u);
  EXPECT_EQ(headerValue(requests[0], "SOAPAction"), "\"\"");
  EXPECT_EQ(headerValue(requests[0], "Connection"), "keep-alive");
}

TEST_F(ServiceCall, ListsLongerThanTheRuntimesDefaultLimitArriveWhole) {
  constexpr int kMembers = 100002;  // the runtime's own limit is 100,000
  std::string members = "<return>";
  for (int i = 0; i < kMembers; ++i) members += "<list><age>" + std::to_string(i % 100) + "</age></list>";
  server.enqueue(Reply::soap("getPersonInfo", members + "</return>"));
  std::string doc = take(callMain());
  EXPECT_NE(doc.find("<data rowcount=\\\"100002\\\" columns=\\\"13\\\">"), std::string::npos) << doc.substr(0, 300);
  EXPECT_NE(doc.find("<row rownum=\\\"100001\\\">"), std::string::npos);
}

TEST_F(ServiceCall, AnswersDeclaredInChineseEncodingsAreReadInThem) {
  const std::string envelope =
      Reply::soap("getPersonInfo", "<return><list><name>" + gbk("李四") + "</name></list></return>").bytes;
  const std::string body = envelope.substr(envelope.find("<soap:Envelope"));
  const std::string expected = outText(successDoc(kFid, 13, {}));  // "执行成功"
  for (const char* encoding : {"GBK", "gb2312", "GB18030"}) {
    server.enqueue(Reply::xml(std::string("<?xml version=\"1.0\" encoding=\"") + encoding + "\"?>" + body));
    std::string doc = take(callMain());
    EXPECT_EQ(outText(doc), expected) << encoding;
    EXPECT_NE(doc.find("colname=\\\"name\\\">" + gbk("李四") + "</column>"), std::string::npos)
        << encoding << ": " << utf8(doc);
  }
}

TEST_F(ServiceCall, ManyAttributesCostLinearTime) {
  std::string attributes;
  for (int i = 0; i < 200000; ++i) attributes += " a" + std::to_string(i) + "=\"\"";
  server.enqueue(Reply::soap("getPersonInfo", "<return><list" + attributes + "><age>MzA=</age></list></return>"));
  auto start = std::chrono::steady_clock::now();
  std::string doc = take(callMain());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_NE(doc.find("colname=\\\"age\\\">30</column>"), std::string::npos) << doc.substr(0, 300);
}

TEST_F(ServiceCall, ConcurrentCallsAreIndependent) {
  constexpr int kThreads = 8, kCallsEach = 10;
  const std::string member = "<return><list><name>" + base64Encode(gbk("李四")) + "</name><tel>" +
                             base64Encode("1390000") + "</tel></list></return>";
  for (int i = 0; i < kThreads * kCallsEach; ++i) server.enqueue(Reply::soap("getPersonInfo", member));
  Row row;
  const char* fields[] = {"memberNO", "name",   "countryTeamCode", "familySysno",   "sexId", "idcardNo", "age",
                          "birthday", "bookNo", "cardNo",          "familyAddress", "tel",   "ideName"};
  for (int i = 0; i < 13; ++i) row.push_back({i, fields[i], i == 1 ? gbk("李四") : i == 11 ? "1390000" : ""});
  const std::string expected = successDoc(kFid, 13, {row});

  // The trace switched on by its file, read by each call: one whole line each.
  writeFile(dir.path() + "/NvTrace.ini", "# support\r\nlevel = 1\r\nfile=concurrent.log\r\n");
  std::vector<int> failures(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      std::string book = "book" + std::to_string(t);
      for (int i = 0; i < kCallsEach; ++i) failures[t] += take(getPersonInfo(book.c_str(), "op", "")) != expected;
    });
  for (auto& th : threads) th.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(failures[t], 0) << "thread " << t;

  std::map<std::string, int> booksSent;
  for (const std::string& request : server.requests())
    for (const auto& [name, text] : wrapperMembers(requestBody(request)))
      if (name == "bookno") ++booksSent[base64Decode(text)];
  std::istringstream trace(readFile(dir.path() + "/concurrent.log"));
  int lines = 0;
  for (std::string line; std::getline(trace, line); ++lines)
    EXPECT_NE(line.find(" export=GetPersonInfo centre= host=127.0.0.1 "), std::string::npos) << line;
  EXPECT_EQ(lines, kThreads * kCallsEach);
  ASSERT_EQ(booksSent.size(), static_cast<size_t>(kThreads));
  for (const auto& [book, count] : booksSent) EXPECT_EQ(count, kCallsEach) << book;
}

}  // namespace
