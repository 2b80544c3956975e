// SPDX-License-Identifier: MIT
// What the generated client puts on the wire: the HTTP request, the
// envelope with its namespace declarations, and every operation's wrapper
// with its members in order.
#include "tests/contract/client_context.h"
#include "tests/contract/operation_catalogue.h"
#include "tests/support/case_label.h"
#include "tests/support/scripted_server.h"
#include "tests/support/soap_message.h"

#include "service_constants.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

using nvtest::operator<<;

using nvcontract::ClientContext;
using nvcontract::OperationCase;
using nvcontract::Values;
using nvtest::Members;
using nvtest::Reply;
using nvtest::ScriptedServer;

// The namespace table as the centre's service description fixes it: prefix
// and written URI, in order. Record suffixes are exact, letter case included.
std::vector<std::pair<std::string, std::string>> expectedNamespaces() {
  std::vector<std::pair<std::string, std::string>> table = {
      {"SOAP-ENV", "http://schemas.xmlsoap.org/soap/envelope/"},
      {"SOAP-ENC", "http://schemas.xmlsoap.org/soap/encoding/"},
      {"xsi", "http://www.w3.org/2001/XMLSchema-instance"},
      {"xsd", "http://www.w3.org/2001/XMLSchema"},
  };
  const char* suffixes[] = {
      "inpatientGradeList",      "DiseaseResult",        "MemberList", "ClinicCaculateResult", "inpatientDetailList",
      "InpatientCaculateResult", "ClinicBanlanceResult", "office",     "DiseaseList",          "leechdomDetailList",
      "InpatientPayResult",      "clinicDetailList",     "Member",     "HospitalList",         "hospital",
      "LeechdomDetailResult",    "redeemType",
  };
  int prefix = 2;
  for (const char* suffix : suffixes)
    table.emplace_back("ns" + std::to_string(prefix++), nvtest::recordNamespace(suffix));
  table.emplace_back("ns1", nvtest::serviceNamespace());
  return table;
}

std::string expectedEnvelopeStart() {
  std::string tag = "<SOAP-ENV:Envelope";
  for (const auto& entry : expectedNamespaces()) tag += " xmlns:" + entry.first + "=\"" + entry.second + "\"";
  return tag + ">";
}

const std::string xmlDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

// Sends one request of `operation` with the given member values and returns
// the raw bytes the server received.
std::string capturedRequest(const OperationCase& operation, const Values& values) {
  ScriptedServer server;
  server.enqueue(Reply::soap(operation.name, ""));
  ClientContext client;
  EXPECT_EQ(SOAP_OK, operation.call(client.get(), server.url().c_str(), values).status) << operation.name;
  std::vector<std::string> requests = server.requests();
  EXPECT_EQ(1u, requests.size());
  return requests.empty() ? "" : requests.front();
}

const OperationCase& operationNamed(const std::string& name) {
  for (const OperationCase& operation : nvcontract::operationCatalogue())
    if (operation.name == name) return operation;
  throw std::runtime_error("no operation " + name);
}

TEST(NamespaceTable, HoldsTheTwentyTwoEntriesInOrderWithTheSoap12InputPatterns) {
  auto expected = expectedNamespaces();
  ASSERT_EQ(22u, expected.size());
  std::size_t count = 0;
  while (namespaces[count].id != nullptr) ++count;
  ASSERT_EQ(expected.size(), count);
  const char* patterns[] = {"http://www.w3.org/*/soap-envelope", "http://www.w3.org/*/soap-encoding",
                            "http://www.w3.org/*/XMLSchema-instance", "http://www.w3.org/*/XMLSchema"};
  for (std::size_t i = 0; i < count; ++i) {
    SCOPED_TRACE(expected[i].first);
    EXPECT_STREQ(expected[i].first.c_str(), namespaces[i].id);
    EXPECT_STREQ(expected[i].second.c_str(), namespaces[i].ns);
    if (i < 4)
      EXPECT_STREQ(patterns[i], namespaces[i].in);
    else
      EXPECT_EQ(nullptr, namespaces[i].in);
  }
}

TEST(NamespaceConstants, HaveTheFormsTheCentreUses) {
  std::string service = NV_SERVICE_NAMESPACE;
  EXPECT_EQ(0u, service.rfind("http://", 0));
  EXPECT_EQ('/', service.back());
  EXPECT_NE(std::string::npos, service.find('.'));
  std::string stem = NV_RECORD_NAMESPACE_STEM;
  EXPECT_NE(std::string::npos, stem.find('.'));
  EXPECT_EQ(std::string::npos, stem.find('/'));
  std::string endpoint = NV_DEFAULT_ENDPOINT;
  EXPECT_NE(std::string::npos, endpoint.find(":8888/clinic/webservice/inpatientRedeem"));
}

// The whole request of one call, byte for byte, as the 2.8 runtime writes
// it: its User-Agent is "gSOAP/2.8" and a CR LF follows the envelope.
TEST(RequestBytes, AreExactlyTheHttpPostOfTheWrappedEnvelope) {
  ScriptedServer server;
  server.enqueue(Reply::soap("getPersonInfo", ""));
  ClientContext client;
  std::string bookno = "Ym9vaw==", operatorName = "b3A=";
  ns1__getPersonInfo request;
  request.bookno = &bookno;
  request.operator_ = &operatorName;
  ns1__getPersonInfoResponse response;
  ASSERT_EQ(SOAP_OK, soap_call___ns1__getPersonInfo(client.get(), server.url().c_str(), nullptr, &request, response));

  std::string body = xmlDeclaration + expectedEnvelopeStart() +
                     "<SOAP-ENV:Body><ns1:getPersonInfo><bookno>Ym9vaw==</bookno><operator>b3A=</operator>"
                     "</ns1:getPersonInfo></SOAP-ENV:Body></SOAP-ENV:Envelope>\r\n";
  std::string expected =
      "POST /clinic/webservice/inpatientRedeem HTTP/1.1\r\n"
      "Host: 127.0.0.1:" +
      std::to_string(server.port()) +
      "\r\n"
      "User-Agent: gSOAP/2.8\r\n"
      "Content-Type: text/xml; charset=utf-8\r\n"
      "Content-Length: " +
      std::to_string(body.size()) +
      "\r\n"
      "Connection: close\r\n"
      "SOAPAction: \"\"\r\n"
      "\r\n" +
      body;
  ASSERT_EQ(1u, server.requests().size());
  EXPECT_EQ(expected, server.requests().front());
}

TEST(RequestBytes, NameTheGivenSoapActionInQuotes) {
  ScriptedServer server;
  server.enqueue(Reply::soap("connectTesting", ""));
  ClientContext client;
  ns1__connectTesting request;
  ns1__connectTestingResponse response;
  ASSERT_EQ(SOAP_OK,
            soap_call___ns1__connectTesting(client.get(), server.url().c_str(), "urn:act", &request, response));
  EXPECT_EQ("\"urn:act\"", nvtest::headerValue(server.requests().at(0), "SOAPAction"));
}

// The connection is the context's to open: refused here, so that whatever
// listens at the default address (a sandbox on its default port) never sees
// the call, and the test sees only where it was aimed.
SOAP_SOCKET refuseToConnect(struct soap* soap, const char* endpoint, const char* host, int port) {
  auto* aimed = static_cast<std::string*>(soap->user);
  *aimed = std::string(endpoint) + " " + host + " " + std::to_string(port);
  soap->error = SOAP_TCP_ERROR;
  return SOAP_INVALID_SOCKET;
}

TEST(RequestBytes, GoToTheDefaultEndpointWhenNoneIsGiven) {
  ClientContext client(2, 2);
  std::string aimed;
  client.get()->user = &aimed;
  client.get()->fopen = refuseToConnect;
  ns1__connectTesting request;
  ns1__connectTestingResponse response;
  EXPECT_NE(SOAP_OK, soap_call___ns1__connectTesting(client.get(), nullptr, nullptr, &request, response));
  EXPECT_EQ(std::string(NV_DEFAULT_ENDPOINT) + " localhost 8888", aimed);
  EXPECT_STREQ(NV_DEFAULT_ENDPOINT, client.get()->endpoint);
  EXPECT_STREQ("/clinic/webservice/inpatientRedeem", client.get()->path);
  EXPECT_EQ(8888, client.get()->port);
}

// Every operation: the wrapper, its members in the listed order with their
// values, the envelope and the HTTP head around them.
class EveryOperation : public ::testing::TestWithParam<OperationCase> {};

TEST_P(EveryOperation, SendsItsWrapperWithAllMembersInOrder) {
  const OperationCase& operation = GetParam();
  std::vector<std::unique_ptr<std::string>> storage;
  Values values;
  Members expectedMembers;
  for (std::size_t i = 0; i < operation.members.size(); ++i) {
    storage.push_back(
        std::make_unique<std::string>(nvtest::base64Encode(operation.members[i] + "#" + std::to_string(i))));
    values.push_back(storage.back().get());
    expectedMembers.emplace_back(operation.members[i], *storage.back());
  }
  std::string raw = capturedRequest(operation, values);
  std::string body = nvtest::requestBody(raw);

  EXPECT_EQ(0u, raw.rfind("POST /clinic/webservice/inpatientRedeem HTTP/1.1\r\n", 0));
  EXPECT_EQ(std::to_string(body.size()), nvtest::headerValue(raw, "Content-Length"));
  EXPECT_EQ("text/xml; charset=utf-8", nvtest::headerValue(raw, "Content-Type"));
  EXPECT_EQ("close", nvtest::headerValue(raw, "Connection"));
  EXPECT_EQ("\"\"", nvtest::headerValue(raw, "SOAPAction"));

  std::string start = xmlDeclaration + expectedEnvelopeStart() + "<SOAP-ENV:Body><ns1:" + operation.name;
  EXPECT_EQ(0u, body.rfind(start, 0)) << body;
  EXPECT_EQ(std::string::npos, body.find("Header"));
  EXPECT_EQ(std::string::npos, body.find("xsi:type"));
  EXPECT_EQ(std::string::npos, body.find("encodingStyle"));
  EXPECT_EQ(operation.name, nvtest::wrapperName(body));
  EXPECT_EQ(expectedMembers, nvtest::wrapperMembers(body));
}

// The operation called with empty members, the centre answering its
// response wrapper holding membersXml.
nvcontract::CallOutcome answered(const OperationCase& operation, const std::string& membersXml,
                                 const ClientContext& client) {
  ScriptedServer server;
  server.enqueue(Reply::soap(operation.name, membersXml));
  return operation.call(client.get(), server.url().c_str(), Values(operation.members.size()));
}

TEST_P(EveryOperation, ReadsAResponseWrapperWithoutMembersAsSuccess) {
  ClientContext client;
  nvcontract::CallOutcome outcome = answered(GetParam(), "", client);
  EXPECT_EQ(SOAP_OK, outcome.status);
  EXPECT_FALSE(outcome.responseMemberPresent);
  EXPECT_EQ(nullptr, client.get()->fault);
}

// An empty element of the response member's name is read as present (an
// empty text or a record without members); operations without a response
// member skip it.
TEST_P(EveryOperation, ReadsItsResponseMemberByItsWireName) {
  const OperationCase& operation = GetParam();
  ClientContext client;
  nvcontract::CallOutcome outcome = answered(operation, "<return/><diseaseList/>", client);
  EXPECT_EQ(SOAP_OK, outcome.status);
  EXPECT_EQ(!operation.responseMember.empty(), outcome.responseMemberPresent);
}

std::string operationName(const ::testing::TestParamInfo<OperationCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Contract, EveryOperation, ::testing::ValuesIn(nvcontract::operationCatalogue()),
                         operationName);

TEST(OperationCatalogue, HasThe32OperationsWithTheirMemberCounts) {
  const std::vector<std::pair<std::string, std::size_t>> expected = {
      {"getPersonInfo", 2},   {"getHospitalInfo", 1}, {"cliRegister", 25},          {"cliDetailInput", 18},
      {"cliDetailSeek", 1},   {"cliCancelFee", 1},    {"cliSingleCancleFee", 1},    {"cliCalculate", 1},
      {"cliSeek", 1},         {"cliSettlement", 2},   {"cliCancelSettlement", 1},   {"cliAuditingSeek", 1},
      {"isCashRedeem", 1},    {"cliBalance", 3},      {"cliStrikeBalance", 1},      {"inpRegister", 35},
      {"inpDetailInput", 19}, {"inpDetailSeek", 2},   {"inpSingleCancelFee", 2},    {"inpCancelFee", 2},
      {"calculate", 3},       {"inpPay", 8},          {"auditingSeek", 2},          {"createRedeemInfo", 3},
      {"updateDisease", 2},   {"updateLeechdom", 3},  {"getInpatientGradeList", 1}, {"matchUpdate", 9},
      {"matchSeek", 4},       {"redeemTypeDown", 2},  {"officeCodeDown", 2},        {"connectTesting", 0},
  };
  const auto& catalogue = nvcontract::operationCatalogue();
  ASSERT_EQ(expected.size(), catalogue.size());
  std::size_t withoutResponseMember = 0;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(expected[i].first, catalogue[i].name);
    EXPECT_EQ(expected[i].second, catalogue[i].members.size()) << catalogue[i].name;
    withoutResponseMember += catalogue[i].responseMember.empty();
  }
  EXPECT_EQ(7u, withoutResponseMember);
  EXPECT_EQ("diseaseList", operationNamed("updateDisease").responseMember);
}

// Absent members write nothing, empty ones an empty element (the 2.8
// runtime writes it self-closed); the order stays the listed one.
struct MemberPresenceCase {
  const char* label;
  const char* clinicNo;  // nullptr: absent
  const char* userNo;
  const char* expectedWrapper;
};

class MemberPresence : public ::testing::TestWithParam<MemberPresenceCase> {};

TEST_P(MemberPresence, WritesOnlyMembersThatHaveAValue) {
  const MemberPresenceCase& c = GetParam();
  std::string clinicNo = c.clinicNo ? c.clinicNo : "", userNo = c.userNo ? c.userNo : "";
  Values values = {c.clinicNo ? &clinicNo : nullptr, c.userNo ? &userNo : nullptr};
  std::string body = nvtest::requestBody(capturedRequest(operationNamed("cliSettlement"), values));
  std::string wrapper = body.substr(body.find("<ns1:"), body.find("</SOAP-ENV:Body>") - body.find("<ns1:"));
  EXPECT_EQ(c.expectedWrapper, wrapper);
}

INSTANTIATE_TEST_SUITE_P(
    Contract, MemberPresence,
    ::testing::Values(
        MemberPresenceCase{"both", "YQ==", "Yg==",
                           "<ns1:cliSettlement><clinicNo>YQ==</clinicNo><userNo>Yg==</userNo></ns1:cliSettlement>"},
        MemberPresenceCase{"firstAbsent", nullptr,
                           "Yg==", "<ns1:cliSettlement><userNo>Yg==</userNo></ns1:cliSettlement>"},
        MemberPresenceCase{"secondAbsent", "YQ==", nullptr,
                           "<ns1:cliSettlement><clinicNo>YQ==</clinicNo></ns1:cliSettlement>"},
        MemberPresenceCase{"bothAbsent", nullptr, nullptr, "<ns1:cliSettlement></ns1:cliSettlement>"},
        MemberPresenceCase{"firstEmpty", "",
                           "Yg==", "<ns1:cliSettlement><clinicNo/><userNo>Yg==</userNo></ns1:cliSettlement>"},
        MemberPresenceCase{"emptyAndAbsent", "", nullptr, "<ns1:cliSettlement><clinicNo/></ns1:cliSettlement>"}),
    [](const ::testing::TestParamInfo<MemberPresenceCase>& info) { return std::string(info.param.label); });

TEST(RequestBytes, ConnectTestingSendsAnEmptyWrapper) {
  std::string body = nvtest::requestBody(capturedRequest(operationNamed("connectTesting"), {}));
  EXPECT_NE(std::string::npos, body.find("<SOAP-ENV:Body><ns1:connectTesting></ns1:connectTesting></SOAP-ENV:Body>"));
  EXPECT_TRUE(nvtest::wrapperMembers(body).empty());
}

// Texts are escaped as the 2.8 runtime does it: "&", "<", ">" and the
// carriage return as references; line feed, tab and quotes pass as they are.
TEST(RequestBytes, EscapeMarkupInTexts) {
  std::string value = "a&b<c>d\"e'f\ng\rh\ti";
  std::string body = nvtest::requestBody(capturedRequest(operationNamed("cliSeek"), {&value}));
  EXPECT_NE(std::string::npos, body.find("<memberNo>a&amp;b&lt;c&gt;d\"e'f\ng&#xD;h\ti</memberNo>")) << body;
}

}  // namespace
