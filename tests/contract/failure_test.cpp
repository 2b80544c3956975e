// SPDX-License-Identifier: MIT
// What a failed call leaves behind with the 2.8 runtime: the status it
// returns and whether a fault record exists, with what texts. A
// ServiceSession tells a reported fault from a broken exchange by exactly
// these.
#include "tests/contract/client_context.h"
#include "tests/support/case_label.h"
#include "tests/support/scripted_server.h"
#include "tests/support/soap_message.h"

#include <gtest/gtest.h>

namespace {

using nvtest::operator<<;

using nvcontract::ClientContext;
using nvcontract::faultOf;
using nvtest::Reply;
using nvtest::ScriptedServer;
using nvtest::soap11Envelope;
using nvtest::soap12Envelope;

struct FailureCase {
  const char* label;
  Reply reply;
  int expectedStatus;
  bool faultRecord;
  // Fault texts, compared when faultRecord is set.
  const char* faultcode = "";
  const char* faultstring = "";  // nullptr: the faultstring is absent
  const char* reason = "";       // SOAP 1.2 Reason text
  const char* detail = "";
  int recvTimeout = 5;
};

class FailedCall : public ::testing::TestWithParam<FailureCase> {};

TEST_P(FailedCall, LeavesTheStatusAndFaultRecordOfTheRuntime) {
  const FailureCase& c = GetParam();
  ScriptedServer server;
  server.enqueue(c.reply);
  ClientContext client(c.recvTimeout);
  std::string memberNo = "bm8=";
  ns1__cliSeek request;
  request.memberNo = &memberNo;
  ns1__cliSeekResponse response;
  int status = soap_call___ns1__cliSeek(client.get(), server.url().c_str(), nullptr, &request, response);

  EXPECT_EQ(c.expectedStatus, status);
  nvcontract::FaultView fault = faultOf(client.get());
  ASSERT_EQ(c.faultRecord, fault.present);
  if (!c.faultRecord) return;
  EXPECT_EQ(c.faultcode, fault.faultcode);
  EXPECT_EQ(c.faultstring != nullptr, fault.hasFaultstring);
  if (c.faultstring != nullptr) {
    EXPECT_EQ(c.faultstring, fault.faultstring);
  }
  EXPECT_EQ(c.reason, fault.reason);
  EXPECT_EQ(c.detail, fault.detail);
}

std::string soap12Fault(const std::string& code, const std::string& text) {
  return soap12Envelope("<soap:Fault><soap:Code><soap:Value>" + code +
                        "</soap:Value></soap:Code>"
                        "<soap:Reason><soap:Text xml:lang=\"en\">" +
                        text + "</soap:Text></soap:Reason></soap:Fault>");
}

std::string wrapped(const std::string& members) {
  return soap11Envelope("<ns1:cliSeekResponse xmlns:ns1=\"" + nvtest::serviceNamespace() + "\">" + members +
                        "</ns1:cliSeekResponse>");
}

const Reply answer = Reply::xml(wrapped("<return>YWJj</return>"));

std::vector<FailureCase> failureCases() {
  // The runtime's fault code when no SOAP message was read at all.
  const char* noSoap = "detected";
  return {
      // SOAP faults: every fault code gives SOAP_FAULT under 2.8.
      {"soap11FaultUnder500", Reply::fault("soap:Server", "dGhlIHNlcnZlciBmYWlsZWQ="), SOAP_FAULT, true,
       "SOAP-ENV:Server", "dGhlIHNlcnZlciBmYWlsZWQ="},
      {"soap11FaultUnder200", Reply::fault("soap:Client", "bad request", 200), SOAP_FAULT, true, "SOAP-ENV:Client",
       "bad request"},
      {"faultcodeMustUnderstand", Reply::fault("soap:MustUnderstand", "mu"), SOAP_FAULT, true,
       "SOAP-ENV:MustUnderstand", "mu"},
      {"faultcodeVersionMismatch", Reply::fault("soap:VersionMismatch", "vm"), SOAP_FAULT, true,
       "SOAP-ENV:VersionMismatch", "vm"},
      {"faultcodeOfItsOwn", Reply::fault("soap:Server.Database", "db"), SOAP_FAULT, true, "SOAP-ENV:Server.Database",
       "db"},
      {"faultstringWithMarkup", Reply::fault("soap:Server", "a < b & c"), SOAP_FAULT, true, "SOAP-ENV:Server",
       "a < b & c"},
      {"faultWithoutFaultstring",
       Reply::xml(soap11Envelope("<soap:Fault><faultcode>soap:Server</faultcode></soap:Fault>"), 500), SOAP_FAULT, true,
       "SOAP-ENV:Server", nullptr},
      {"faultWithDetail",
       Reply::xml(soap11Envelope("<soap:Fault><faultcode>soap:Server</faultcode><faultstring>x</faultstring>"
                                 "<detail><code>42</code></detail></soap:Fault>"),
                  500),
       SOAP_FAULT, true, "SOAP-ENV:Server", "x", "", "<code>42</code>"},
      {"prefixedFaultMembers",
       Reply::xml(soap11Envelope("<soap:Fault><soap:faultcode>soap:Server</soap:faultcode>"
                                 "<soap:faultstring>x</soap:faultstring></soap:Fault>"),
                  500),
       SOAP_FAULT, true, "SOAP-ENV:Server", "x"},
      // A SOAP 1.2 fault keeps its text in Reason; faultstring stays absent.
      {"soap12Fault",
       Reply::xml(soap12Fault("soap:Receiver", "c2VydmVyIGRvd24="), 500, "application/soap+xml; charset=utf-8"),
       SOAP_FAULT, true, "", nullptr, "c2VydmVyIGRvd24="},
      // HTTP errors without a SOAP message: faultstring "HTTP Error", the
      // response body (if any) as the detail.
      {"http404WithPage", Reply::http(404, {{"Content-Type", "text/html"}}, "<html><body>gone</body></html>"), 404,
       true, noSoap, "HTTP Error", "", "<html><body>gone</body></html>"},
      {"http404Empty", Reply::http(404, {}, ""), 404, true, noSoap, "HTTP Error"},
      {"http302", Reply::http(302, {{"Location", "http://127.0.0.1:9/"}}, ""), 302, true, noSoap, "HTTP Error"},
      {"http503Empty", Reply::http(503, {}, ""), 503, true, noSoap, "HTTP Error"},
      // Answers read as SOAP that are not SOAP: the HTTP status, no fault.
      {"http500PlainText", Reply::http(500, {{"Content-Type", "text/plain"}}, "oops"), 500, false},
      {"http200PlainText", Reply::http(200, {{"Content-Type", "text/plain"}}, "hello"), 200, false},
      {"http200EmptyBody", Reply::http(200, {}, ""), 200, false},
      {"http202Empty", Reply::http(202, {}, ""), 202, false},
      // Broken exchanges: no fault record.
      {"closedWithoutAnswer", Reply::closeWithoutAnswer(), SOAP_EOF, false},
      {"closedInsideTheStatusLine", answer.truncatedTo(5), SOAP_EOF, false},
      {"closedInsideTheHeaders", answer.truncatedTo(40), 200, false},
      {"closedInsideTheBody", answer.truncatedTo(200), 200, false},
      {"receiveTimeOut", Reply::neverAnswer(5000), SOAP_EOF, false, "", "", "", "", 1},
      {"answerAfterTheTimeOut", answer.delayedBy(2500), SOAP_EOF, false, "", "", "", "", 1},
      {"malformedXml", Reply::xml("<a><b></a>"), SOAP_TAG_MISMATCH, false},
      {"notXml", Reply::xml("<<<>>>"), SOAP_TAG_MISMATCH, false},
      {"unterminatedEnvelope", Reply::xml(wrapped("<return>YWJj</return>").substr(0, 180)), SOAP_EOF, false},
      {"noEnvelope", Reply::xml("<cliSeekResponse/>"), SOAP_TAG_MISMATCH, false},
      {"noBody", Reply::xml("<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"/>"), SOAP_EOF,
       false},
      {"headerButNoBody",
       Reply::xml(
           "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Header/></soap:Envelope>"),
       SOAP_NO_TAG, false},
  };
}

INSTANTIATE_TEST_SUITE_P(Contract, FailedCall, ::testing::ValuesIn(failureCases()),
                         [](const ::testing::TestParamInfo<FailureCase>& info) {
                           return std::string(info.param.label);
                         });

TEST(FailedCall, AnsweredWithinTheTimeOutSucceeds) {
  ScriptedServer server;
  server.enqueue(answer.delayedBy(300));
  ClientContext client(2);
  EXPECT_EQ("YWJj", nvcontract::seekReturn(client.get(), server.url()));
}

TEST(FailedCall, RefusedConnectionLeavesTheSystemMessage) {
  ClientContext client;
  ns1__cliSeek request;
  ns1__cliSeekResponse response;
  int status = soap_call___ns1__cliSeek(client.get(), nvtest::refusedUrl().c_str(), nullptr, &request, response);
  EXPECT_EQ(SOAP_TCP_ERROR, status);
  nvcontract::FaultView fault = faultOf(client.get());
  ASSERT_TRUE(fault.present);
  EXPECT_EQ("SOAP-ENV:Server", fault.faultcode);
  EXPECT_EQ("Connection refused", fault.faultstring);
  EXPECT_EQ("connect failed in tcp_connect()", fault.detail);
}

// A fault record belongs to the call that made it: the next call on the same
// context starts without one.
TEST(FailedCall, FaultRecordDoesNotOutliveTheNextCall) {
  ScriptedServer server;
  server.enqueue(Reply::fault("soap:Server", "first"));
  server.enqueue(answer);
  ClientContext client;
  ns1__cliSeek request;
  ns1__cliSeekResponse response;
  EXPECT_EQ(SOAP_FAULT, soap_call___ns1__cliSeek(client.get(), server.url().c_str(), nullptr, &request, response));
  EXPECT_NE(nullptr, client.get()->fault);
  EXPECT_EQ(SOAP_OK, soap_call___ns1__cliSeek(client.get(), server.url().c_str(), nullptr, &request, response));
  EXPECT_EQ(nullptr, client.get()->fault);
}

}  // namespace
