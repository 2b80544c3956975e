// SPDX-License-Identifier: MIT
#include "tests/support/export_catalogue.h"

#include <stdexcept>
#include <utility>

#include "service_constants.h"
#include "tools/common/export_list.h"

namespace nvcheck {
namespace {

struct Row {
  const char* functionId;
  int centreArgument;
  const char* checkFailureCode;
  const char* operation;
  Shape shape;
  int columns;
  std::vector<std::string> validArguments;
};

// One row: the checker's own facts about the export, and the shared table's
// way of calling it.
ExportEntry entry(const char* name, Row row) {
  const nvexports::Export* callable = nvexports::findExport(name);
  if (!callable || row.validArguments.size() != callable->arity)
    throw std::logic_error(std::string("arguments of ") + name);
  auto withCentre = [valid = row.validArguments, centre = row.centreArgument](const std::string& code) {
    std::vector<std::string> args = valid;
    if (centre > 0) args[centre - 1] = code;
    return args;
  };
  return ExportEntry{name,
                     row.functionId,
                     callable->arity,
                     row.centreArgument,
                     row.checkFailureCode,
                     row.operation,
                     "return",
                     row.shape,
                     row.columns,
                     std::move(row.validArguments),
                     [invoke = callable->invoke, address = nvexports::linkedAddress(*callable)](
                         const CArguments& args) { return invoke(address, args); },
                     withCentre};
}

// The 32 values of an inpatient registration that pass every check; the
// centre code (3) is empty.
// clang-format off
const std::vector<std::string> kRegistration = {
    "1", "", "", "H0001", "Zhang San", "F001", "M001", "341122", "1", "", "30", "B0001", "", "A01", "", "K01",
    "2023-12-31", "cure", "1", "", "", "", "", "", "", "", "", "", "", "", "", ""};
// clang-format on

std::string packed(const std::vector<std::string>& values) {
  std::string text;
  for (const std::string& v : values) text += (text.empty() ? "" : "|") + (v.empty() ? std::string(" ") : v);
  return text;
}

// clang-format off
std::vector<ExportEntry> makeCatalogue() {
  const std::string date = "2023-12-31";
  std::vector<ExportEntry> all;
  all.push_back(entry("getCenter", {"GetCenter", 1, "", "", Shape::Listing, 5, {""}}));
  all.push_back(entry("getAllCenter", {"GetCenter", 0, "", "", Shape::Listing, 5, {}}));
  all.push_back(entry("getPersonInfo",
                      {"GetPersonInfo", 3, "600", "getPersonInfo", Shape::List, 13, {"34112200001", "op", ""}}));
  all.push_back(entry("getHospitalInfo",
                      {"GetHospitalInfo", 2, "600", "getHospitalInfo", Shape::List, 3, {"Hospital", ""}}));
  all.push_back(entry("cliRegister",
                      {"CliRegister", 3, "300", "cliRegister", Shape::Text, 1,
                       {"1", "123", "", "H0001", "F001", "M001", "341122", "Zhang San", "1", "340000199001011234", "30",
                        "B0001", "C0001", "A01", "", "K01", date, "Dr Li", "1", "1", "", ""}}));
  all.push_back(entry("cliDetailInput",
                      {"CliDetailInput", 2, "300", "cliDetailInput", Shape::Text, 1,
                       {"1", "", "1001", "RX1", "", "HIS01", "INS01", "01", "name", "spec", "box", "tab", "1.5", "2",
                        "3.0", "3.0", date, "0.8", "2.4"}}));
  all.push_back(entry("cliDetailSeek", {"CliDetailSeek", 2, "600", "cliDetailSeek", Shape::List, 16, {"1001", ""}}));
  all.push_back(entry("cliCancelFee", {"CliCancelFee", 2, "300", "cliCancelFee", Shape::None, 0, {"1001", ""}}));
  all.push_back(entry("cliSingleCancleFee",
                      {"CliSingleCancleFee", 2, "300", "cliSingleCancleFee", Shape::None, 0, {"1001", ""}}));
  all.push_back(entry("cliCalculate", {"cliCalculate", 2, "600", "cliCalculate", Shape::Record, 8, {"1001", ""}}));
  all.push_back(entry("cliSettlement", {"cliSettlement", 2, "600", "cliSettlement", Shape::Text, 1, {"1001", ""}}));
  all.push_back(entry("cliCancelSettlement",
                      {"cliCancelSettlement", 2, "600", "cliCancelSettlement", Shape::None, 0, {"S1001", ""}}));
  all.push_back(entry("cliSeek", {"CliSeek", 2, "300", "cliSeek", Shape::Text, 1, {"1001", ""}}));
  all.push_back(entry("cliAuditingSeek",
                      {"cliAuditingSeek", 2, "600", "cliAuditingSeek", Shape::Text, 1, {"S1001", ""}}));
  all.push_back(entry("isCashRedeem", {"isCashRedeem", 2, "600", "isCashRedeem", Shape::Text, 1, {"S1001", ""}}));
  all.push_back(entry("cliBalance", {"CliBalance", 3, "300", "cliBalance", Shape::Record, 12, {"1001", "10.5", ""}}));
  all.push_back(entry("cliStrikeBalance",
                      {"cliStrikeBalance", 2, "600", "cliStrikeBalance", Shape::Text, 1, {"S1001", ""}}));
  all.push_back(entry("inpRegister", {"InpRegister", 3, "300", "inpRegister", Shape::Text, 1, kRegistration}));
  all.push_back(entry("inpRegisterB",
                      {"InpRegister", 0, "300", "inpRegister", Shape::Text, 1, {packed(kRegistration)}}));
  all.back().argumentsWithCentre = [](const std::string& code) {
    std::vector<std::string> fields = kRegistration;
    fields[2] = code;
    return std::vector<std::string>{packed(fields)};
  };
  all.push_back(entry("inpDetailInput",
                      {"InpDetailInput", 3, "300", "inpDetailInput", Shape::Text, 1,
                       {"1", "2001", "", "RX1", "", "HIS01", "INS01", "01", "name", "spec", "box", "tab", "1.5", "2",
                        "3.0", "3.0", date, "", ""}}));
  all.push_back(entry("inpDetailSeek", {"InpDetailSeek", 2, "600", "inpDetailSeek", Shape::List, 16, {"2001", ""}}));
  all.push_back(entry("inpSingleCancelFee",
                      {"InpSingleCancleFee", 2, "300", "cliSingleCancleFee", Shape::None, 0, {"3001", ""}}));
  all.push_back(entry("inpCancelFee", {"InpCancelFee", 2, "300", "inpCancelFee", Shape::None, 0, {"2001", ""}}));
  all.push_back(entry("calculate", {"Calculate", 2, "300", "calculate", Shape::Record, 7, {"2001", "", "1"}}));
  all.push_back(entry("inpPay",
                      {"InpBalance", 6, "300", "inpPay", Shape::Record, 8, {"2001", "1", date, "Li", date, ""}}));
  all.push_back(entry("auditingSeek", {"AuditingSeek", 2, "600", "auditingSeek", Shape::Text, 1, {"2001", ""}}));
  all.push_back(entry("updateDisease",
                      {"UpdateDisease", 2, "600", "updateDisease", Shape::List, 16, {"2023-12-31 23:59:59", ""}}));
  all.back().responseMember = "diseaseList";
  all.push_back(entry("updateLeechdom",
                      {"UpdateLeechdom", 2, "600", "updateLeechdom", Shape::List, 18, {"2023-12-31 23:59:59", ""}}));
  all.push_back(entry("getInpatientGradeList",
                      {"getInpatientGradeList", 1, "300", "getInpatientGradeList", Shape::List, 5, {"", "2001"}}));
  all.push_back(entry("matchUpdate",
                      {"MatchUpdate", 1, "300", "matchUpdate", Shape::None, 0,
                       {"", "INS01", "HIS01", "name", "spec", "box", "tab", "1.5"}}));
  all.push_back(entry("matchSeek", {"MatchUpdate", 1, "300", "matchSeek", Shape::Text, 1, {"", "INS01", "HIS01"}}));
  all.push_back(entry("redeemTypeDown", {"RedeemTypeDown", 1, "600", "redeemTypeDown", Shape::List, 5, {""}}));
  all.push_back(entry("officeCodeDown", {"OfficeCodeDown", 1, "600", "officeCodeDown", Shape::List, 4, {""}}));
  all.push_back(entry("connectTesting", {"ConnectTesting", 1, "600", "connectTesting", Shape::Text, 1, {""}}));
  return all;
}
// clang-format on

std::string http(int status, const std::string& body) {
  return "HTTP/1.1 " + std::to_string(status) + (status == 200 ? " OK" : " Internal Server Error") +
         "\r\nContent-Type: text/xml; charset=utf-8\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\nConnection: close\r\n\r\n" + body;
}

std::string envelope(const std::string& bodyContent) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
         "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body>" +
         bodyContent + "</soap:Body></soap:Envelope>";
}

}  // namespace

CArguments ExportEntry::validCArguments() const {
  CArguments args;
  for (const std::string& v : validArguments) args.push_back(v.c_str());
  return args;
}

const std::vector<ExportEntry>& documentExports() {
  static const std::vector<ExportEntry> catalogue = makeCatalogue();
  return catalogue;
}

const ExportEntry& exportNamed(const std::string& name) {
  for (const ExportEntry& e : documentExports())
    if (name == e.name) return e;
  throw std::invalid_argument("no export " + name);
}

std::string centreAnswer(const ExportEntry& entry, const std::string& membersXml) {
  const std::string op = entry.operation;
  return http(200, envelope("<ns1:" + op + "Response xmlns:ns1=\"" NV_SERVICE_NAMESPACE "\">" + membersXml +
                            "</ns1:" + op + "Response>"));
}

std::string plainSuccessAnswer(const ExportEntry& entry) {
  const std::string member = entry.responseMember;
  switch (entry.shape) {
    case Shape::List: return centreAnswer(entry, "<" + member + "><list/></" + member + ">");
    case Shape::Record: return centreAnswer(entry, "<" + member + "/>");
    case Shape::Text: return centreAnswer(entry, "<" + member + ">YWJj</" + member + ">");
    default: return centreAnswer(entry, "");
  }
}

std::string faultAnswer(const std::string& faultstring) {
  return http(500, envelope("<soap:Fault><faultcode>soap:Server</faultcode><faultstring>" + faultstring +
                            "</faultstring></soap:Fault>"));
}

}  // namespace nvcheck
