// SPDX-License-Identifier: MIT
// The sandbox server itself: bad requests never end it, its answers are
// base64 on the wire, every exchange is one log line, its store survives a
// restart, and it serves clients that call at once.
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "NvInterFace.h"
#include "tests/sandbox/sandbox_fixture.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/loopback_proxy.h"
#include "tests/support/scripted_server.h"
#include "tests/support/soap_message.h"
#include "tests/support/test_certificates.h"

namespace nvtest {
namespace {

using SandboxServer = SandboxTest;

std::string envelope(const std::string& op, const std::string& members,
                     const std::string& envelopeNamespace = "http://schemas.xmlsoap.org/soap/envelope/") {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><e:Envelope xmlns:e=\"" + envelopeNamespace + "\" xmlns:ns1=\"" +
         serviceNamespace() + "\"><e:Body><ns1:" + op + ">" + members + "</ns1:" + op + "></e:Body></e:Envelope>";
}

std::string member(const std::string& name, const std::string& bytes) {
  return "<" + name + ">" + base64Encode(bytes) + "</" + name + ">";
}

std::string statusLine(const std::string& answer) { return answer.substr(0, answer.find("\r\n")); }

std::string postOfDeclaredLength(const std::string& body, size_t declared) {
  return "POST /clinic/webservice/inpatientRedeem HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: text/xml\r\n"
         "Content-Length: " +
         std::to_string(declared) + "\r\n\r\n" + body;
}

// What a client sends, and the status line the server must answer with
// ("" when it may close without an answer).
struct RawCase {
  std::string name;
  std::string request;
  std::string status;
  std::string mustContain = {};
  bool halfClose = false;  // for requests the server would wait on
};

TEST_F(SandboxServer, BadRequestsAreAnsweredAndTheServerGoesOn) {
  std::string deep;
  for (int i = 0; i < 20000; ++i) deep += "<a>";
  const std::vector<RawCase> cases = {
      {"not HTTP", "hello\r\n\r\n", "", "", true},
      // The runtime closes a POST without an envelope, unanswered.
      {"not XML", soapPost("<<<>>>"), ""},
      {"XML but no envelope", soapPost("<a/>"), ""},
      {"an operation the service lacks", soapPost(envelope("noSuchOperation", "")),
       "HTTP/1.1 500 Internal Server Error"},
      {"a body shorter than its Content-Length", postOfDeclaredLength(envelope("getPersonInfo", ""), 100000), "", "",
       true},
      {"elements nested 20000 deep", soapPost(envelope("getPersonInfo", "<bookno>" + deep)), "", "", true},
      // 14 digits are no base64: the member number is read as it stands.
      {"a member that is not base64, taken as it is",
       soapPost(envelope("cliSeek", "<memberNo>34112200012301</memberNo>")), "HTTP/1.1 500 Internal Server Error",
       base64Encode(gbk("该成员没有门诊就诊记录"))},
      {"members of binary bytes",
       soapPost(envelope("cliRegister", member("memberName", std::string("\0\xff\x80|\"<&", 7)) +
                                            member("hosNo", kHospital) + member("memberNo", std::string(1, '\0')))),
       "HTTP/1.1 500 Internal Server Error"},
      {"an amount of forty digits",
       soapPost(envelope("matchUpdate", member("hospitalSysno", kHospital) + member("code", "XY0001") +
                                            member("hisCode", "H") + member("hisPrice", std::string(40, '9')))),
       "HTTP/1.1 500 Internal Server Error"},
      {"a member of two megabytes", soapPost(envelope("getHospitalInfo", member("name", std::string(2 << 20, 'A')))),
       "HTTP/1.1 200 OK"},
      {"a request above the size limit",
       soapPost(envelope("getHospitalInfo", "<name>" + std::string(9 << 20, 'A') + "</name>")), ""},
      {"a SOAP 1.2 envelope", soapPost(envelope("connectTesting", "", "http://www.w3.org/2003/05/soap-envelope")),
       "HTTP/1.1 200 OK"},
      {"a GET of another path", "GET /other HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", "HTTP/1.1 404 Not Found"},
      {"a HEAD request", "HEAD / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", "", "", true},
  };
  for (const RawCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string answer = httpExchange(sandbox->port(), c.request, c.halfClose);
    if (!c.status.empty()) {
      EXPECT_EQ(statusLine(answer), c.status);
    }
    if (!c.mustContain.empty()) {
      EXPECT_NE(answer.find(c.mustContain), std::string::npos) << answer.substr(0, 2000);
    }
    ASSERT_TRUE(sandbox->running());
    // And the next client is served as ever.
    EXPECT_EQ(take(cliAuditingSeek("20009999", kCentre)), failureDoc("cliAuditingSeek", "600", "结算单不存在"));
  }
  EXPECT_EQ(sandbox->stop(), 0) << sandbox->log();
}

// The same call over HTTPS: the certificate decides, before any request is
// sent; a trusted one gives the very answer plain HTTP gives.
TEST_F(SandboxServer, HttpsCentresAreTrustedOnlyWithAValidCertificate) {
  TestCertificates certificates(dir.path());
  ScopedEnvironment trust("SSL_CERT_FILE", certificates.trustedRoot);
  auto lookUp = [] { return take(getPersonInfo("341122000123", "op01", kCentre)); };
  const std::string overHttp = lookUp();
  ASSERT_NE(overHttp.find("<out_code>000</out_code>"), std::string::npos) << overHttp;
  auto refused = [](const char* reason) { return failureDoc("GetPersonInfo", "600", reason); };
  std::string plainBehindHttps = sandbox->url();
  plainBehindHttps.replace(0, std::strlen("http://127.0.0.1"), "https://localhost");
  const struct {
    const char* name;
    std::string pem;  // "": the plain HTTP sandbox behind an https:// address
    std::string expected;
  } cases[] = {
      {"a certificate from a trusted root", certificates.localhost, overHttp},
      {"a root nobody trusts", certificates.stranger, refused("HTTPS连接失败:农合中心服务器的证书不受信任")},
      {"another host's certificate", certificates.wrongName,
       refused("HTTPS连接失败:农合中心服务器的证书与服务地址的主机名不符")},
      {"an expired certificate", certificates.expired, refused("HTTPS连接失败:农合中心服务器的证书已过期")},
      {"a plain HTTP centre", "", refused("HTTPS连接失败:农合中心服务器未以TLS应答(该地址可能只支持http)")},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string name = dir.path() + "/tls" + std::to_string(++n);
    std::unique_ptr<SandboxProcess> https;
    if (!c.pem.empty()) https = std::make_unique<SandboxProcess>(name + ".db", name + ".log", c.pem);
    dir.writeCentres({{kCentre, https ? https->url() : plainBehindHttps, kHospital, "2", "op01", ""}});
    EXPECT_EQ(lookUp(), c.expected);
    if (https && c.expected != overHttp) {
      https->stop();
      EXPECT_EQ(https->log().find("getPersonInfo"), std::string::npos) << "nothing was sent: " << https->log();
      EXPECT_NE(https->log().find("TLS handshake failed"), std::string::npos) << https->log();
    }
  }
}

// Proxies named by the environment: a forwarded POST for http, a CONNECT
// tunnel for https, the centre reached directly when no_proxy names it.
TEST_F(SandboxServer, ProxiesFromTheEnvironmentCarryTheCall) {
  std::vector<std::unique_ptr<ScopedEnvironment>> cleared;
  for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "no_proxy", "NO_PROXY"})
    cleared.push_back(std::make_unique<ScopedEnvironment>(name, nullptr));
  TestCertificates certificates(dir.path());
  ScopedEnvironment trust("SSL_CERT_FILE", certificates.trustedRoot);
  SandboxProcess https(dir.path() + "/proxied.db", dir.path() + "/proxied.log", certificates.localhost);
  LoopbackProxy proxy;
  auto lookUp = [] { return take(getPersonInfo("341122000123", "op01", kCentre)); };
  const std::string direct = lookUp();
  const std::string httpTarget = "127.0.0.1:" + std::to_string(sandbox->port());
  const std::string httpsTarget = "localhost:" + std::to_string(https.port());
  const std::string refused = refusedUrl();
  const std::string nobody = refused.substr(0, refused.find('/', 7));
  const struct {
    const char* name;
    std::vector<std::pair<const char*, std::string>> environment;
    bool overHttps;
    std::string requestLine;  // what the proxy was sent; "": the proxy was not used
    std::string expected;
  } cases[] = {
      {"http_proxy for an http centre",
       {{"http_proxy", proxy.address()}},
       false,
       "POST http://" + httpTarget + "/clinic/webservice/inpatientRedeem HTTP/1.1",
       direct},
      {"HTTP_PROXY with a path",
       {{"HTTP_PROXY", proxy.address() + "/"}},
       false,
       "POST http://" + httpTarget + "/clinic/webservice/inpatientRedeem HTTP/1.1",
       direct},
      {"https_proxy: a tunnel for an https centre",
       {{"https_proxy", proxy.address()}},
       true,
       "CONNECT " + httpsTarget + " HTTP/1.1",
       direct},
      {"https_proxy is not for http centres", {{"https_proxy", proxy.address()}}, false, "", direct},
      {"no_proxy names the centre",
       {{"http_proxy", proxy.address()}, {"no_proxy", "example.org, 127.0.0.1"}},
       false,
       "",
       direct},
      {"NO_PROXY=*", {{"HTTPS_PROXY", proxy.address()}, {"NO_PROXY", "*"}}, true, "", direct},
      {"no_proxy with an address range",
       {{"http_proxy", proxy.address()}, {"no_proxy", "192.168.0.0/16, 127.0.0.0/8"}},
       false,
       "",
       direct},
      {"no_proxy matches a whole address, not its tail",
       {{"http_proxy", proxy.address()}, {"no_proxy", "0.1,.0.1"}},
       false,
       "POST http://" + httpTarget + "/clinic/webservice/inpatientRedeem HTTP/1.1",
       direct},
      {"no_proxy for other domains only",
       {{"https_proxy", proxy.address()}, {"no_proxy", ".example.org,host"}},
       true,
       "CONNECT " + httpsTarget + " HTTP/1.1",
       direct},
      {"a proxy that is not there",
       {{"http_proxy", nobody}},
       false,
       "",
       failureDocRaw("GetPersonInfo", "600", "Connection refused")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::unique_ptr<ScopedEnvironment>> set;
    for (const auto& [name, value] : c.environment) set.push_back(std::make_unique<ScopedEnvironment>(name, value));
    dir.writeCentres({{kCentre, c.overHttps ? https.url() : sandbox->url(), kHospital, "2", "op01", ""}});
    size_t before = proxy.requestLines().size();
    EXPECT_EQ(lookUp(), c.expected);
    std::vector<std::string> lines = proxy.requestLines();
    EXPECT_EQ(lines.size(), before + !c.requestLine.empty());
    if (!c.requestLine.empty() && lines.size() > before) {
      EXPECT_EQ(lines.back(), c.requestLine);
    }
  }
}

TEST_F(SandboxServer, AnswersAndFaultStringsAreBase64OfGbk) {
  std::string answer = httpExchange(sandbox->port(), soapPost(envelope("cliCalculate", member("clinicNo", "1"))));
  EXPECT_EQ(statusLine(answer), "HTTP/1.1 500 Internal Server Error");
  EXPECT_NE(answer.find("<faultstring>" + base64Encode(gbk("就诊记录不存在")) + "</faultstring>"), std::string::npos)
      << answer;

  answer = httpExchange(sandbox->port(), soapPost(envelope("getHospitalInfo", member("name", gbk("人民医院")))));
  EXPECT_EQ(statusLine(answer), "HTTP/1.1 200 OK");
  EXPECT_NE(answer.find("<hospName>" + base64Encode(gbk("明湖县人民医院")) + "</hospName>"), std::string::npos)
      << answer;
  EXPECT_NE(answer.find("<hospCode>" + base64Encode(kHospital) + "</hospCode>"), std::string::npos);
}

TEST_F(SandboxServer, ServesItsServiceDescriptionWithItsOwnAddress) {
  for (const char* path : {"/clinic/webservice/inpatientRedeem?wsdl", "/?wsdl", "/clinic/webservice/inpatientRedeem"}) {
    SCOPED_TRACE(path);
    std::string answer = httpExchange(sandbox->port(), "GET " + std::string(path) + " HTTP/1.1\r\nHost: 127.0.0.1:" +
                                                           std::to_string(sandbox->port()) + "\r\n\r\n");
    EXPECT_EQ(statusLine(answer), "HTTP/1.1 200 OK");
    EXPECT_NE(answer.find("location=\"" + sandbox->url() + "\""), std::string::npos);
    EXPECT_NE(answer.find("name=\"getPersonInfo\""), std::string::npos);
  }
  // "/" is the console's page, which may run only its own script.
  std::string page = httpExchange(sandbox->port(), "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
  EXPECT_EQ(statusLine(page), "HTTP/1.1 200 OK");
  EXPECT_NE(page.find("Content-Type: text/html; charset=utf-8"), std::string::npos) << page.substr(0, 600);
  EXPECT_NE(page.find("Content-Security-Policy: default-src 'none'; script-src 'self';"), std::string::npos);
  EXPECT_NE(page.find("<script src=\"/console.js\""), std::string::npos);
  // A Host that would break out of the attribute is not repeated.
  std::string answer = httpExchange(sandbox->port(), "GET /?wsdl HTTP/1.1\r\nHost: a\"><x\r\n\r\n");
  EXPECT_NE(answer.find("location=\"" + sandbox->url() + "\""), std::string::npos);
  EXPECT_EQ(answer.find("a\"><x"), std::string::npos);
}

TEST_F(SandboxServer, LogsEveryExchangeOnOneLineInUtf8) {
  expectSuccess(registerZhangSan());
  take(cliCalculate("10009999", kCentre));
  expectSuccess(matchUpdate(kCentre, "XY0001", "H\\1", "", "", "", "", "1.00"));
  httpExchange(sandbox->port(), soapPost(envelope("getHospitalInfo", member("name", std::string("a\nb\xff", 4)))));
  httpExchange(sandbox->port(), soapPost("<<<>>>"));
  ASSERT_EQ(sandbox->stop(), 0);

  std::vector<std::string> lines;
  std::istringstream log(sandbox->log());
  for (std::string line; std::getline(log, line);) lines.push_back(line.substr(line.find(' ', 11) + 1));  // no stamp
  ASSERT_EQ(lines.size(), 7u) << sandbox->log();
  EXPECT_EQ(lines[0].rfind("nv_sandbox serving " + sandbox->url() + " (WSDL: " + sandbox->url() + "?wsdl)", 0), 0u)
      << lines[0];
  EXPECT_EQ(
      lines[1],
      "cliRegister regType=\"1\" clinicNo=\"\" centerNo=\"341122\" hisClinicNo=\"MZ0001\" familyNo=\"3411220001\" "
      "memberNo=\"34112200012301\" countryNo=\"341122100001\" memberName=\"张三\" sexCode=\"1\" "
      "idCard=\"341122197803150019\" age=\"46\" bookNo=\"341122000123\" cardNo=\"6210341122000123\" "
      "hosNo=\"341122001\" hosLevel=\"2\" firstIcdNo=\"J06.900\" secondIcdNo=\"\" inOfficeNo=\"01\" "
      "clinicDate=\"2024-06-03\" clinicDoctor=\"王医生\" cureCode=\"1\" inHosId=\"1\" operator=\"op01\" "
      "turnLevel=\"\" turnHosNo=\"\" -> ok return=\"10000001\"");
  EXPECT_EQ(lines[2], "cliCalculate clinicNo=\"10009999\" -> fault \"就诊记录不存在\"");
  // A backslash of the text shows doubled, apart from the escapes.
  EXPECT_EQ(
      lines[3],
      "matchUpdate centerNo=\"341122\" hospitalSysno=\"341122001\" code=\"XY0001\" hisCode=\"H\\\\1\" hisName=\"\" "
      "hisSpec=\"\" hisUnit=\"\" hisConf=\"\" hisPrice=\"1.00\" -> ok");
  EXPECT_EQ(lines[4], "getHospitalInfo name=\"a\\x0Ab\\xFF\" -> ok 0 items");
  EXPECT_EQ(lines[5], "- request refused: no SOAP envelope; closed without an answer");
  EXPECT_EQ(lines[6], "nv_sandbox stopped");
}

TEST_F(SandboxServer, KeepsItsStoreAcrossARestart) {
  visitWithFees();
  std::string db = dir.path() + "/centre1.db";
  ASSERT_EQ(sandbox->stop(), 0);
  sandbox = std::make_unique<SandboxProcess>(db, dir.path() + "/restarted.log");
  dir.writeCentres({{kCentre, sandbox->url(), kHospital, "2", "op01", ""}});

  std::string fees = take(cliDetailSeek("10000001", kCentre));
  EXPECT_NE(fees.find("<data rowcount=\\\"3\\\" columns=\\\"16\\\">"), std::string::npos) << utf8(fees);
  // Seeded once: the family still has three members.
  std::string members = take(getPersonInfo("341122000123", "op01", kCentre));
  EXPECT_NE(members.find("<data rowcount=\\\"3\\\" columns=\\\"13\\\">"), std::string::npos) << utf8(members);
  EXPECT_EQ(take(registerZhangSan()), textDoc("CliRegister", "clinicNo", "10000002"));
}

TEST_F(SandboxServer, RefusesADatabaseOfAnotherLayout) {
  std::string path = dir.path() + "/other.db";
  {
    std::ofstream other(path, std::ios::binary);
    other << "not a database at all, just text";
  }
  EXPECT_THROW(SandboxProcess(path, dir.path() + "/other.log"), std::runtime_error);
}

// Four HIS workstations at once: the server takes them one after another.
TEST_F(SandboxServer, ServesClientsThatCallAtOnce) {
  const std::pair<const char*, const char*> members[] = {{"34112200012301", "341122000123"},
                                                         {"34112200012302", "341122000123"},
                                                         {"34112200012303", "341122000123"},
                                                         {"34112200045602", "341122000456"}};
  std::vector<std::string> visitNumbers(4);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < 4; ++i)
    threads.emplace_back([&, i] {
      // The fixture's bounds hold for every thread.
      for (int round = 0; round < 5; ++round) {
        std::string result = take(registerZhangSan(members[i].first, members[i].second));
        size_t at = result.find("colname=\\\"clinicNo\\\">");
        if (at != std::string::npos) visitNumbers[i] += result.substr(at + 21, 8) + " ";
      }
    });
  for (std::thread& thread : threads) thread.join();

  std::set<std::string> distinct;
  for (const std::string& numbers : visitNumbers) {
    std::istringstream in(numbers);
    for (std::string number; in >> number;) distinct.insert(number);
  }
  EXPECT_EQ(distinct.size(), 20u);
  EXPECT_EQ(*distinct.begin(), "10000001");
  EXPECT_EQ(*distinct.rbegin(), "10000020");
}

}  // namespace
}  // namespace nvtest
