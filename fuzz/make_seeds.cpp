// SPDX-License-Identifier: MIT
// Writes the seed corpus of every fuzz target into fuzz/corpus/<target>/:
//   build/fuzz/fuzz/fuzz_make_seeds fuzz/corpus
// Seeds follow the input format of each target (see its source); the export
// a seed selects is found by name in the catalogue, so seeds stay right when
// exports are added.
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <vector>

#include "tests/support/export_catalogue.h"
#include "fuzz/fuzz_support.h"

namespace {

using namespace nvcheck;
using nvfuzz::referenceEncode;

std::string root;

void seed(const std::string& target, const std::string& name, const std::string& bytes) {
  std::string dir = root + "/" + target;
  mkdir(dir.c_str(), 0755);
  std::ofstream(dir + "/" + name, std::ios::binary) << bytes;
}

char indexAmong(const std::string& name, bool centreOnly) {
  int index = 0;
  for (const ExportEntry& e : documentExports()) {
    if (centreOnly && !e.contactsCentre()) continue;
    if (name == e.name) return static_cast<char>(index);
    ++index;
  }
  throw std::invalid_argument(name);
}

// The members of the items (lists) or the record each export shows.
const std::map<std::string, std::vector<std::string>> kShownMembers = {
    {"getPersonInfo",
     {"memberNO", "name", "countryTeamCode", "familySysno", "sexId", "idcardNo", "age", "birthday", "bookNo", "cardNo",
      "familyAddress", "tel", "ideName"}},
    {"getHospitalInfo", {"hospCode", "hospLevel", "hospName"}},
    {"cliDetailSeek",
     {"detailId", "clinicNo", "clinicRxno", "insureId", "name", "spec", "unit", "conf", "price", "quantity", "useDate",
      "factMoney", "enableRation", "enableMoney", "classNo", "money"}},
    {"cliCalculate",
     {"totalMoney", "enableTotal", "checkMoney", "familyAccountMoney", "doorRedeemNumber", "doorRedeemMoney",
      "memberRedeemNumber", "memberRedeemMoney"}},
    {"cliBalance",
     {"totalCosts", "medicineChineseCosts", "medicineWesternCosts", "checkCosts", "cureCosts", "enableMedicineSum",
      "enableSum", "checkRedeem", "redeemAccounttype", "redeemId", "redeemOrgno", "redeemMoney"}},
    {"inpDetailSeek",
     {"inpatientSn", "inpatientRxno", "detailId", "insureId", "classNo", "name", "spec", "unit", "conf", "price",
      "quantity", "money", "factMoney", "useDate", "enableRation", "enableMoney"}},
    {"calculate",
     {"totalCosts", "enableMoney", "factRedeemMoney", "startMoney", "totalRedeemMoney", "totalRedeemCount",
      "familyAccountPayMoney"}},
    {"inpPay",
     {"totalCosts", "enableMoney", "redeemMoney", "startMoney", "totalRedeemMoney", "totalRedeemCount",
      "inpatientRedeemno", "familyAccountPayMoney"}},
    {"updateDisease",
     {"icdAllno", "icdName", "scienceName", "enName", "description", "icdType", "icdFlag", "sexLimited", "createTime",
      "updateTime", "inputcodePy", "inputcodeWb", "chronicFlag", "state", "remark", "useFrequency"}},
    {"updateLeechdom",
     {"insureId", "classNo", "grade", "name", "spec", "conf", "unit", "price", "everyMoney", "ratio", "adminLevel",
      "isClinic", "remark", "inputPyCode", "updateTime", "inputWbCode", "approveMinPrice", "approveMaxPrice"}},
    {"getInpatientGradeList", {"inpatientSn", "startMoney", "endMoney", "ratio", "redeemMoney"}},
};

std::string members(const std::vector<std::string>& names, int n) {
  std::string xml;
  for (const std::string& m : names)
    xml += "<" + m + ">" + referenceEncode(m + "-" + std::to_string(n)) + "</" + m + ">";
  return xml;
}

std::string withHeaders(const std::string& head, const std::string& body) { return head + "\r\n\r\n" + body; }

std::string bodyOf(const std::string& response) { return response.substr(response.find("\r\n\r\n") + 4); }

void responseSeeds() {
  const std::string gbkMessage = "\xBE\xCD\xD5\xEF\xBC\xC7\xC2\xBC\xB2\xBB\xB4\xE6\xD4\xDA";  // 就诊记录不存在
  for (const ExportEntry& e : documentExports()) {
    if (!e.contactsCentre()) continue;
    const std::string select(1, indexAmong(e.name, true));
    const std::string name = e.name;
    const std::string r = e.responseMember;
    seed("fuzz_response", name + "-plain", select + plainSuccessAnswer(e));
    auto shown = kShownMembers.find(name);
    if (e.shape == Shape::List && shown != kShownMembers.end())
      seed("fuzz_response", name + "-items",
           select + centreAnswer(e, "<" + r + "><list>" + members(shown->second, 0) + "</list><list>" +
                                        members(shown->second, 1) + "</list></" + r + ">"));
    if (e.shape == Shape::Record && shown != kShownMembers.end())
      seed("fuzz_response", name + "-record",
           select + centreAnswer(e, "<" + r + ">" + members(shown->second, 0) + "</" + r + ">"));
    if (e.shape == Shape::Text)
      seed("fuzz_response", name + "-gbk",
           select + centreAnswer(e, "<" + r + ">" + referenceEncode(gbkMessage) + "</" + r + ">"));
  }
  const ExportEntry& person = exportNamed("getPersonInfo");
  const std::string p(1, indexAmong("getPersonInfo", true));
  const std::string items = "<return><list><name>5byg5LiJ</name></list></return>";
  const std::string ok = centreAnswer(person, items);
  seed("fuzz_response", "fault-base64", p + faultAnswer(referenceEncode(gbkMessage)));
  seed("fuzz_response", "fault-plain", p + faultAnswer("no such visit &amp; more"));
  seed("fuzz_response", "fault-without-string",
       p + withHeaders("HTTP/1.1 500 Error\r\nContent-Type: text/xml",
                       "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body>"
                       "<soap:Fault><faultcode>soap:Server</faultcode></soap:Fault></soap:Body></soap:Envelope>"));
  seed("fuzz_response", "fault-soap12",
       p + withHeaders("HTTP/1.1 500 Error\r\nContent-Type: application/soap+xml",
                       "<env:Envelope xmlns:env=\"http://www.w3.org/2003/05/soap-envelope\"><env:Body><env:Fault>"
                       "<env:Code><env:Value>env:Receiver</env:Value></env:Code><env:Reason><env:Text xml:lang=\"en\">"
                       "c3RvcA==</env:Text></env:Reason></env:Fault></env:Body></env:Envelope>"));
  seed("fuzz_response", "http-404", p + withHeaders("HTTP/1.1 404 Not Found\r\nContent-Length: 9", "not here."));
  seed("fuzz_response", "continue-then-ok", p + "HTTP/1.1 100 Continue\r\n\r\n" + ok);
  seed("fuzz_response", "redirect",
       p + withHeaders("HTTP/1.1 307 Temporary Redirect\r\nLocation: http://127.0.0.1:9/x\r\nContent-Length: 0", ""));
  const std::string body = bodyOf(ok);
  char size[32];
  std::snprintf(size, sizeof size, "%zx", body.size() / 2);
  seed("fuzz_response", "chunked",
       p + withHeaders("HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nTransfer-Encoding: chunked",
                       std::string(size) + "\r\n" + body.substr(0, body.size() / 2) + "\r\n" +
                           (std::snprintf(size, sizeof size, "%zx", body.size() - body.size() / 2), size) + "\r\n" +
                           body.substr(body.size() / 2) + "\r\n0\r\n\r\n"));
  seed("fuzz_response", "no-length", p + withHeaders("HTTP/1.1 200 OK\r\nContent-Type: text/xml", body));
  seed("fuzz_response", "nil-and-nul",
       p + centreAnswer(person,
                        "<return xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"><list xsi:nil=\"true\"/>"
                        "<list><name>a&#0;b</name><tel><![CDATA[<x>]]></tel></list></return>"));
  seed("fuzz_response", "nested-unknown",
       p + centreAnswer(person, "<return><list><x><y><z>1</z></y></x><name>YQ==</name></list></return>"));
  seed("fuzz_response", "multiref",
       p + centreAnswer(person, "<return href=\"#id1\"/><x id=\"id1\"><list><name>YQ==</name></list></x>"));
}

void argumentSeeds() {
  for (const ExportEntry& e : documentExports()) {
    std::string bytes(1, indexAmong(e.name, false));
    for (size_t i = 0; i < e.validArguments.size(); ++i) bytes += (i ? std::string(1, '\0') : "") + e.validArguments[i];
    seed("fuzz_arguments", std::string(e.name) + "-valid", bytes);
    if (e.arity > 0) {
      std::string nulls(1, indexAmong(e.name, false));
      for (size_t i = 0; i < e.arity; ++i) nulls += (i ? std::string(1, '\0') : "") + "\x01";
      seed("fuzz_arguments", std::string(e.name) + "-null", nulls);
    }
  }
}

void packedSeeds() {
  const ExportEntry& b = exportNamed("inpRegisterB");
  const std::string valid = b.validArguments[0];
  seed("fuzz_packed_registration", "valid", valid);
  seed("fuzz_packed_registration", "empty", "");
  seed("fuzz_packed_registration", "separators-only", "|||| |");
  seed("fuzz_packed_registration", "thirty-three-fields", valid + "|33");
  seed("fuzz_packed_registration", "adjacent-separators", "1||H0001|name");
  seed("fuzz_packed_registration", "gbk-with-7c", "1| | |H0001|\xD5\xC5\x7C\xC8\xFD|F001");
  seed("fuzz_packed_registration", "second-byte-7c", "1| | |H0001|\xB3\xC2\xAB\x7C|F001|\x81\x7C");
  seed("fuzz_packed_registration", "long", valid + "|" + std::string(2500, 'x'));
}

void configurationSeeds() {
  const std::string standard = nvfuzz::standardConfiguration();
  seed("fuzz_configuration", "standard", standard);
  std::string crlf;
  for (char c : standard) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  seed("fuzz_configuration", "crlf", crlf);
  seed("fuzz_configuration", "seven-lines", nvfuzz::centreLines("1", "http://a/", "", "", "", "") + "extra\n");
  seed("fuzz_configuration", "five-lines", "f7ad02e=MQ==\n957b527=x\n1c1be9c=\n170e2c1\n8e44f00:");
  seed("fuzz_configuration", "bom-and-blanks", "\xEF\xBB\xBF" + standard + "\n\n");
  seed("fuzz_configuration", "duplicates",
       nvfuzz::centreLines("7", "http://a/", "H1", "1", "u", "b") +
           nvfuzz::centreLines("7", "x:y", "H2", "2", "v", "c"));
  seed("fuzz_configuration", "plain-values", "f7ad02e 12\n957b527 http://h:1/p\n1c1be9c=a b\n170e2c1=YQ== \n\n\n");
}

void codecSeeds() {
  const char* const seeds[] = {
      "YWJj", "YWJj\r\n", "abc", "abcd", "YW Jj", "\r\n", "YQ==", "1tA=", "====", "A===", "ab=c", "AA==", "\x80\xFF/+"};
  int n = 0;
  for (const char* s : seeds) seed("fuzz_codecs", "seed-" + std::to_string(n++), s);
  seed("fuzz_codecs", "long", referenceEncode(std::string(4500, '\xB5')));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus directory>\n", argv[0]);
    return 2;
  }
  root = argv[1];
  mkdir(root.c_str(), 0755);
  codecSeeds();
  configurationSeeds();
  argumentSeeds();
  packedSeeds();
  responseSeeds();
  return 0;
}
