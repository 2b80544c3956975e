// SPDX-License-Identifier: MIT
// How the generated client reads the centre's answers: which wrapper it
// accepts, how it finds members, and how records and lists come out.
#include "tests/contract/client_context.h"
#include "tests/support/case_label.h"
#include "tests/support/scripted_server.h"
#include "tests/support/soap_message.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using nvtest::operator<<;

using nvcontract::callAnswered;
using nvcontract::ClientContext;
using nvcontract::faultOf;
using nvcontract::seekReturn;
using nvtest::Reply;
using nvtest::ScriptedServer;
using nvtest::soap11Envelope;

const std::string xsiNs = " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"";
const std::string xsdNs = " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\"";

std::string serviceNs() { return nvtest::serviceNamespace(); }

std::string upperCase(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

std::string label(const char* text) { return text; }

// ---- The response wrapper ----------------------------------------------------

struct WrapperCase {
  const char* label;
  std::string bodyContent;  // the SOAP Body's content
  int httpStatus;
  bool accepted;
  // When refused: the call's status, and the fault record's texts.
  int refusedStatus;
  std::string faultstring;
};

class ResponseWrapper : public ::testing::TestWithParam<WrapperCase> {};

TEST_P(ResponseWrapper, IsAcceptedOnlyInTheServiceNamespace) {
  const WrapperCase& c = GetParam();
  ScriptedServer server;
  server.enqueue(Reply::xml(soap11Envelope(c.bodyContent), c.httpStatus));
  ClientContext client;
  std::string memberNo = "bm8=";
  ns1__cliSeek request;
  request.memberNo = &memberNo;
  ns1__cliSeekResponse response;
  int status = soap_call___ns1__cliSeek(client.get(), server.url().c_str(), nullptr, &request, response);
  nvcontract::FaultView fault = faultOf(client.get());
  if (c.accepted) {
    EXPECT_EQ(SOAP_OK, status);
    ASSERT_NE(nullptr, response.return_);
    EXPECT_EQ("YQ==", *response.return_);
    EXPECT_FALSE(fault.present);
  } else {
    // The 2.8 runtime returns the HTTP status and names it in the fault.
    EXPECT_EQ(c.refusedStatus, status);
    EXPECT_TRUE(fault.present);
    EXPECT_EQ("SOAP-ENV:Client", fault.faultcode);
    EXPECT_EQ(c.faultstring, fault.faultstring);
  }
}

std::vector<WrapperCase> wrapperCases() {
  const std::string ns = serviceNs();
  const std::string members = "<return>YQ==</return>";
  const std::string refused200 = "Error 200: HTTP 200 OK";
  return {
      {"ns1Prefix", "<ns1:cliSeekResponse xmlns:ns1=\"" + ns + "\">" + members + "</ns1:cliSeekResponse>", 200, true, 0,
       ""},
      {"anyPrefix", "<svc:cliSeekResponse xmlns:svc=\"" + ns + "\">" + members + "</svc:cliSeekResponse>", 200, true, 0,
       ""},
      {"defaultNamespace", "<cliSeekResponse xmlns=\"" + ns + "\">" + members + "</cliSeekResponse>", 200, true, 0, ""},
      {"prefixOfAnotherEntry", "<ns4:cliSeekResponse xmlns:ns4=\"" + ns + "\">" + members + "</ns4:cliSeekResponse>",
       200, true, 0, ""},
      {"answeredWithStatus500", "<ns1:cliSeekResponse xmlns:ns1=\"" + ns + "\">" + members + "</ns1:cliSeekResponse>",
       500, true, 0, ""},
      {"otherNamespace", "<x:cliSeekResponse xmlns:x=\"http://other.example/\">" + members + "</x:cliSeekResponse>",
       200, false, 200, refused200},
      {"recordNamespace",
       "<x:cliSeekResponse xmlns:x=\"" + nvtest::recordNamespace("Member") + "\">" + members + "</x:cliSeekResponse>",
       200, false, 200, refused200},
      {"serviceUriInOtherCase",
       "<x:cliSeekResponse xmlns:x=\"" + upperCase(ns) + "\">" + members + "</x:cliSeekResponse>", 200, false, 200,
       refused200},
      {"noNamespace", "<cliSeekResponse>" + members + "</cliSeekResponse>", 200, false, 200, refused200},
      {"nameInOtherCase", "<x:CliSeekResponse xmlns:x=\"" + ns + "\">" + members + "</x:CliSeekResponse>", 200, false,
       200, refused200},
      {"anotherOperationsWrapper",
       "<x:cliSettlementResponse xmlns:x=\"" + ns + "\">" + members + "</x:cliSettlementResponse>", 200, false, 200,
       refused200},
      {"refusedUnderStatus500",
       "<x:cliSeekResponse xmlns:x=\"http://other.example/\">" + members + "</x:cliSeekResponse>", 500, false, 500,
       "Error 500: HTTP 500 Internal Server Error"},
  };
}

INSTANTIATE_TEST_SUITE_P(Contract, ResponseWrapper, ::testing::ValuesIn(wrapperCases()),
                         [](const ::testing::TestParamInfo<WrapperCase>& info) { return label(info.param.label); });

TEST(ResponseWrapper, MayTakeItsPrefixFromTheEnvelope) {
  ScriptedServer server;
  server.enqueue(
      Reply::xml("<?xml version=\"1.0\"?><e:Envelope xmlns:e=\"http://schemas.xmlsoap.org/soap/envelope/\" "
                 "xmlns:s=\"" +
                 serviceNs() +
                 "\"><e:Body><s:cliSeekResponse><return>YQ==</return>"
                 "</s:cliSeekResponse></e:Body></e:Envelope>"));
  ClientContext client;
  EXPECT_EQ("YQ==", seekReturn(client.get(), server.url()));
}

// ---- A text member -------------------------------------------------------------

struct TextCase {
  const char* label;
  std::string membersXml;               // the content of cliSeekResponse
  std::optional<std::string> expected;  // nullopt: absent
};

class TextMember : public ::testing::TestWithParam<TextCase> {};

TEST_P(TextMember, IsFoundByLocalName) {
  const TextCase& c = GetParam();
  ScriptedServer server;
  server.enqueue(Reply::soap("cliSeek", c.membersXml));
  ClientContext client;
  EXPECT_EQ(c.expected.value_or("<absent>"), seekReturn(client.get(), server.url()));
}

std::vector<TextCase> textCases() {
  const std::string ns = serviceNs();
  return {
      {"plain", "<return>YWJj</return>", "YWJj"},
      {"emptySelfClosed", "<return/>", ""},
      {"emptyPair", "<return></return>", ""},
      {"missing", "", std::nullopt},
      {"nil", "<return" + xsiNs + " xsi:nil=\"true\"/>", std::nullopt},
      {"nilWithContent", "<return" + xsiNs + " xsi:nil=\"true\">YWJj</return>", std::nullopt},
      {"nilFalse", "<return" + xsiNs + " xsi:nil=\"false\">YWJj</return>", "YWJj"},
      {"servicePrefix", "<ns1:return>YWJj</ns1:return>", "YWJj"},
      {"foreignPrefix", "<p:return xmlns:p=\"urn:p\">YWJj</p:return>", "YWJj"},
      {"envelopePrefix", "<soap:return>YWJj</soap:return>", "YWJj"},
      {"defaultNamespace", "<return xmlns=\"urn:p\">YWJj</return>", "YWJj"},
      {"xsiTypeString", "<return" + xsiNs + xsdNs + " xsi:type=\"xsd:string\">YWJj</return>", "YWJj"},
      {"xsiTypeInt", "<return" + xsiNs + xsdNs + " xsi:type=\"xsd:int\">12</return>", "12"},
      {"xsiTypeForeign", "<return" + xsiNs + " xmlns:q=\"urn:q\" xsi:type=\"q:Thing\">YWJj</return>", "YWJj"},
      {"repeatedKeepsTheFirst", "<return>Zmlyc3Q=</return><return>c2Vjb25k</return>", "Zmlyc3Q="},
      {"unknownAround", "<a>1</a><return>YWJj</return><b><c/></b>", "YWJj"},
      {"unknownHoldingAReturn", "<wrap><return>bm8=</return></wrap><return>eWVz</return>", "eWVz"},
      {"onlyUnknownHoldingAReturn", "<wrap><return>bm8=</return></wrap>", std::nullopt},
      {"otherLetterCaseIsUnknown", "<Return>YWJj</Return>", std::nullopt},
      {"entities", "<return>a&amp;b&lt;c&gt;&#x41;</return>", "a&b<c>A"},
      {"cdata", "<return><![CDATA[x<y]]></return>", "x<y"},
      {"spacesKept", "<return> a b </return>", " a b "},
  };
}

INSTANTIATE_TEST_SUITE_P(Contract, TextMember, ::testing::ValuesIn(textCases()),
                         [](const ::testing::TestParamInfo<TextCase>& info) { return label(info.param.label); });

// ---- An item record ------------------------------------------------------------

using Fields = std::vector<std::optional<std::string>>;

// The eight members of clinicCaculateResult, in order; "" when absent.
std::optional<Fields> calculateResult(const ns1__cliCalculateResponse& response) {
  const ns5__clinicCaculateResult* r = response.return_;
  if (r == nullptr) return std::nullopt;
  auto field = [](const std::string* s) { return s ? std::optional<std::string>(*s) : std::nullopt; };
  return Fields{field(r->totalMoney),         field(r->enableTotal),      field(r->checkMoney),
                field(r->familyAccountMoney), field(r->doorRedeemNumber), field(r->doorRedeemMoney),
                field(r->memberRedeemNumber), field(r->memberRedeemMoney)};
}

struct RecordCase {
  const char* label;
  std::string membersXml;
  std::optional<Fields> expected;
};

class ItemRecord : public ::testing::TestWithParam<RecordCase> {};

TEST_P(ItemRecord, IsReadMemberByMember) {
  const RecordCase& c = GetParam();
  ClientContext client;
  ns1__cliCalculateResponse response;
  ASSERT_EQ(SOAP_OK, callAnswered(client.get(), "cliCalculate", c.membersXml, soap_call___ns1__cliCalculate, response));
  EXPECT_EQ(c.expected, calculateResult(response));
}

std::vector<RecordCase> recordCases() {
  const std::string all =
      "<totalMoney>MQ==</totalMoney><enableTotal>Mg==</enableTotal><checkMoney>Mw==</checkMoney>"
      "<familyAccountMoney>NA==</familyAccountMoney><doorRedeemNumber>NQ==</doorRedeemNumber>"
      "<doorRedeemMoney>Ng==</doorRedeemMoney><memberRedeemNumber>Nw==</memberRedeemNumber>"
      "<memberRedeemMoney>OA==</memberRedeemMoney>";
  const Fields allFields = {"MQ==", "Mg==", "Mw==", "NA==", "NQ==", "Ng==", "Nw==", "OA=="};
  const Fields none(8);
  return {
      {"inOrder", "<return>" + all + "</return>", allFields},
      {"reversed",
       "<return><memberRedeemMoney>OA==</memberRedeemMoney><memberRedeemNumber>Nw==</memberRedeemNumber>"
       "<doorRedeemMoney>Ng==</doorRedeemMoney><doorRedeemNumber>NQ==</doorRedeemNumber>"
       "<familyAccountMoney>NA==</familyAccountMoney><checkMoney>Mw==</checkMoney><enableTotal>Mg==</enableTotal>"
       "<totalMoney>MQ==</totalMoney></return>",
       allFields},
      {"prefixedAndMixedWithUnknown",
       "<return xmlns:r=\"urn:r\"><x/><r:totalMoney>MQ==</r:totalMoney><y>z</y><enableTotal>Mg==</enableTotal>"
       "<ns5:checkMoney>Mw==</ns5:checkMoney></return>",
       Fields{"MQ==", "Mg==", "Mw==", std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt}},
      {"withoutChildren", "<return/>", none},
      {"someEmptySomeNil",
       "<return" + xsiNs + "><totalMoney/><enableTotal xsi:nil=\"true\"/><checkMoney></checkMoney></return>",
       Fields{"", std::nullopt, "", std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt}},
      {"xsiTypeOfTheRecord", "<return" + xsiNs + " xsi:type=\"ns5:clinicCaculateResult\">" + all + "</return>",
       allFields},
      {"xsiTypeOfAnotherRecord", "<return" + xsiNs + " xsi:type=\"ns7:inpatientCaculateResult\">" + all + "</return>",
       allFields},
      {"xsiTypeForeign", "<return" + xsiNs + " xmlns:q=\"urn:q\" xsi:type=\"q:Whatever\">" + all + "</return>",
       allFields},
      {"nilRecord", "<return" + xsiNs + " xsi:nil=\"true\"/>", std::nullopt},
      {"missing", "", std::nullopt},
  };
}

INSTANTIATE_TEST_SUITE_P(Contract, ItemRecord, ::testing::ValuesIn(recordCases()),
                         [](const ::testing::TestParamInfo<RecordCase>& info) { return label(info.param.label); });

// ---- A list record -------------------------------------------------------------

// "absent", or the entries separated by "|": "nil" for an absent entry,
// otherwise "{memberNO,name}" with "-" for an absent member.
std::string describeMembers(const ns4__memberList* list) {
  if (list == nullptr) return "absent";
  std::string out;
  for (const ns14__Member* m : list->list) {
    if (!out.empty()) out += "|";
    if (m == nullptr) {
      out += "nil";
      continue;
    }
    out += "{" + (m->memberNO ? *m->memberNO : "-") + "," + (m->name ? *m->name : "-") + "}";
  }
  return out;
}

struct ListCase {
  const char* label;
  std::string membersXml;
  std::string expected;
};

class ListRecord : public ::testing::TestWithParam<ListCase> {};

TEST_P(ListRecord, CollectsItsListEntriesInDocumentOrder) {
  const ListCase& c = GetParam();
  ClientContext client;
  ns1__getPersonInfoResponse response;
  ASSERT_EQ(SOAP_OK,
            callAnswered(client.get(), "getPersonInfo", c.membersXml, soap_call___ns1__getPersonInfo, response));
  EXPECT_EQ(c.expected, describeMembers(response.return_));
}

std::vector<ListCase> listCases() {
  return {
      {"noEntries", "<return/>", ""},
      {"noEntriesButUnknown", "<return><count>0</count></return>", ""},
      {"twoEntries", "<return><list><memberNO>MQ==</memberNO></list><list><name>Yg==</name></list></return>",
       "{MQ==,-}|{-,Yg==}"},
      {"interleavedWithUnknown",
       "<return><x/><list><memberNO>MQ==</memberNO></list><y><list><memberNO>bm8=</memberNO></list></y>"
       "<list><memberNO>Mg==</memberNO></list><z>t</z></return>",
       "{MQ==,-}|{Mg==,-}"},
      {"nilEntry",
       "<return" + xsiNs + "><list><memberNO>MQ==</memberNO></list><list xsi:nil=\"true\"/><list/></return>",
       "{MQ==,-}|nil|{-,-}"},
      {"prefixedEntries", "<return xmlns:p=\"urn:p\"><p:list><p:memberNO>MQ==</p:memberNO></p:list></return>",
       "{MQ==,-}"},
      {"xsiTypedEntry", "<return" + xsiNs + "><list xsi:type=\"ns14:Member\"><memberNO>MQ==</memberNO></list></return>",
       "{MQ==,-}"},
      {"missing", "", "absent"},
      {"nilList", "<return" + xsiNs + " xsi:nil=\"true\"/>", "absent"},
  };
}

INSTANTIATE_TEST_SUITE_P(Contract, ListRecord, ::testing::ValuesIn(listCases()),
                         [](const ::testing::TestParamInfo<ListCase>& info) { return label(info.param.label); });

TEST(ListRecord, ReadsAllThirteenMembersOfAMember) {
  const char* names[] = {"memberNO", "name",   "countryTeamCode", "familySysno",   "sexId", "idcardNo", "age",
                         "birthday", "bookNo", "cardNo",          "familyAddress", "tel",   "ideName"};
  std::string entry;
  for (const char* name : names)
    entry += std::string("<") + name + ">" + nvtest::base64Encode(name) + "</" + name + ">";
  ClientContext client;
  ns1__getPersonInfoResponse response;
  ASSERT_EQ(SOAP_OK, callAnswered(client.get(), "getPersonInfo", "<return><list>" + entry + "</list></return>",
                                  soap_call___ns1__getPersonInfo, response));
  ASSERT_NE(nullptr, response.return_);
  ASSERT_EQ(1u, response.return_->list.size());
  const ns14__Member* m = response.return_->list[0];
  ASSERT_NE(nullptr, m);
  const std::string* fields[] = {m->memberNO,      m->name, m->countryTeamCode, m->familySysno, m->sexId,
                                 m->idcardNo,      m->age,  m->birthday,        m->bookNo,      m->cardNo,
                                 m->familyAddress, m->tel,  m->ideName};
  for (std::size_t i = 0; i < 13; ++i) {
    ASSERT_NE(nullptr, fields[i]) << names[i];
    EXPECT_EQ(nvtest::base64Encode(names[i]), *fields[i]);
  }
}

// ---- updateDisease answers in `diseaseList` -----------------------------------

struct DiseaseCase {
  const char* label;
  std::string membersXml;
  std::string expectedFirstIcd;  // "absent" when no list was read
};

class DiseaseResponse : public ::testing::TestWithParam<DiseaseCase> {};

TEST_P(DiseaseResponse, IsReadFromDiseaseListOnly) {
  const DiseaseCase& c = GetParam();
  ClientContext client;
  ns1__updateDiseaseResponse response;
  ASSERT_EQ(SOAP_OK,
            callAnswered(client.get(), "updateDisease", c.membersXml, soap_call___ns1__updateDisease, response));
  std::string first = "absent";
  if (response.diseaseList != nullptr) {
    ASSERT_EQ(1u, response.diseaseList->list.size());
    ASSERT_NE(nullptr, response.diseaseList->list[0]);
    const std::string* icd = response.diseaseList->list[0]->icdAllno;
    first = icd ? *icd : "-";
  }
  EXPECT_EQ(c.expectedFirstIcd, first);
}

INSTANTIATE_TEST_SUITE_P(
    Contract, DiseaseResponse,
    ::testing::Values(
        DiseaseCase{"diseaseList", "<diseaseList><list><icdAllno>QTAx</icdAllno></list></diseaseList>", "QTAx"},
        DiseaseCase{"returnIsSkipped", "<return><list><icdAllno>QTAx</icdAllno></list></return>", "absent"},
        DiseaseCase{"returnBesideDiseaseList",
                    "<return><list><icdAllno>bm8=</icdAllno></list></return>"
                    "<diseaseList><list><icdAllno>QTAx</icdAllno></list></diseaseList>",
                    "QTAx"},
        DiseaseCase{"icdAllNoIsNotIcdAllno", "<diseaseList><list><icdAllNo>QTAx</icdAllNo></list></diseaseList>", "-"}),
    [](const ::testing::TestParamInfo<DiseaseCase>& info) { return label(info.param.label); });

// ---- Whole responses -----------------------------------------------------------

TEST(ResponseWithoutMember, SkipsWhateverTheWrapperHolds) {
  ScriptedServer server;
  server.enqueue(Reply::soap("cliCancelFee", "<return>eA==</return><extra><deep>1</deep></extra>"));
  ClientContext client;
  std::string clinicNo = "MQ==";
  ns1__cliCancelFee request;
  request.clinicNo = &clinicNo;
  ns1__cliCancelFeeResponse response;
  EXPECT_EQ(SOAP_OK, soap_call___ns1__cliCancelFee(client.get(), server.url().c_str(), nullptr, &request, response));
  EXPECT_EQ(nullptr, client.get()->fault);
}

// What the 2.8 runtime does with answers that carry no response wrapper at
// all: it reports success with every member absent (the template tells them
// from a wrapper without members: they are not read to their end).
struct BareBodyCase {
  const char* label;
  std::string bodyContent;
};

class BodyWithoutWrapper : public ::testing::TestWithParam<BareBodyCase> {};

TEST_P(BodyWithoutWrapper, ReadsAsAResponseWithoutMembers) {
  ScriptedServer server;
  server.enqueue(Reply::xml(soap11Envelope(GetParam().bodyContent)));
  ClientContext client;
  EXPECT_EQ("<absent>", seekReturn(client.get(), server.url()));
  EXPECT_EQ(nullptr, client.get()->fault);
}

INSTANTIATE_TEST_SUITE_P(Contract, BodyWithoutWrapper,
                         ::testing::Values(BareBodyCase{"emptyBody", ""}, BareBodyCase{"textOnly", "hello"}),
                         [](const ::testing::TestParamInfo<BareBodyCase>& info) { return label(info.param.label); });

struct HeaderCase {
  const char* label;
  std::string headerContent;
  int expectedStatus;
};

class ResponseHeader : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(ResponseHeader, IsIgnoredUnlessItMustBeUnderstood) {
  const HeaderCase& c = GetParam();
  ScriptedServer server;
  server.enqueue(Reply::xml("<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Header>" +
                            c.headerContent + "</soap:Header><soap:Body><ns1:cliSeekResponse xmlns:ns1=\"" +
                            serviceNs() +
                            "\"><return>YQ==</return></ns1:cliSeekResponse></soap:Body></soap:Envelope>"));
  ClientContext client;
  ns1__cliSeek request;
  ns1__cliSeekResponse response;
  int status = soap_call___ns1__cliSeek(client.get(), server.url().c_str(), nullptr, &request, response);
  EXPECT_EQ(c.expectedStatus, status);
  if (status == SOAP_OK) {
    ASSERT_NE(nullptr, response.return_);
    EXPECT_EQ("YQ==", *response.return_);
  } else {
    EXPECT_EQ(nullptr, client.get()->fault);  // no fault record for it
  }
}

INSTANTIATE_TEST_SUITE_P(
    Contract, ResponseHeader,
    ::testing::Values(
        HeaderCase{"empty", "", SOAP_OK}, HeaderCase{"plainEntry", "<h:trace xmlns:h=\"urn:h\">1</h:trace>", SOAP_OK},
        HeaderCase{"mustUnderstandOff", "<h:trace xmlns:h=\"urn:h\" soap:mustUnderstand=\"0\">1</h:trace>", SOAP_OK},
        HeaderCase{"mustUnderstand", "<h:trace xmlns:h=\"urn:h\" soap:mustUnderstand=\"1\">1</h:trace>",
                   SOAP_MUSTUNDERSTAND},
        HeaderCase{"mustUnderstandForAnotherActor",
                   "<h:trace xmlns:h=\"urn:h\" soap:mustUnderstand=\"1\" soap:actor=\"urn:someone-else\">1</h:trace>",
                   SOAP_OK}),
    [](const ::testing::TestParamInfo<HeaderCase>& info) { return label(info.param.label); });

TEST(Soap12Response, IsReadLikeASoap11One) {
  ScriptedServer server;
  server.enqueue(Reply::xml(nvtest::soap12Envelope("<ns1:cliSeekResponse xmlns:ns1=\"" + serviceNs() +
                                                   "\"><return>YQ==</return></ns1:cliSeekResponse>"),
                            200, "application/soap+xml; charset=utf-8"));
  ClientContext client;
  EXPECT_EQ("YQ==", seekReturn(client.get(), server.url()));
}

// The 2.8 runtime checks end tags only in its strict mode, which would also
// refuse unknown elements: a mismatched end tag inside the answer passes.
TEST(MalformedResponse, WithAMisnamedEndTagIsStillRead) {
  ScriptedServer server;
  server.enqueue(Reply::xml(soap11Envelope("<ns1:cliSeekResponse xmlns:ns1=\"" + serviceNs() +
                                           "\"><return>YQ==</retur></ns1:cliSeekResponse>")));
  ClientContext client;
  EXPECT_EQ("YQ==", seekReturn(client.get(), server.url()));
}

}  // namespace
