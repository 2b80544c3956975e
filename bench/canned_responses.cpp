// SPDX-License-Identifier: MIT
#include "bench/canned_responses.h"

#include <cstdio>
#include <stdexcept>
#include <utility>
#include <vector>

#include "service_constants.h"

namespace nvbench {

namespace {

using Fields = std::vector<std::pair<const char*, std::string>>;

// GBK bytes of the Chinese sample values.
const std::string kName = "\xD5\xC5\xC8\xFD";  // a member's name
const std::string kAddress =
    "\xB0\xB2\xBB\xD5\xCA\xA1\xC1\xF9\xB0\xB2\xCA\xD0"  // a village address
    "\xD4\xA3\xB0\xB2\xC7\xF8\xB3\xC7\xC4\xCF\xD5\xF2";
const std::string kIdentity = "\xC5\xA9\xC3\xF1";                              // farmer
const std::string kDrug = "\xB0\xA2\xC4\xAA\xCE\xF7\xC1\xD6\xBD\xBA\xC4\xD2";  // a capsule drug
const std::string kSpec =
    "0.25g*24"
    "\xC1\xA3";                                                                               // ... per capsule
const std::string kUnit = "\xBA\xD0";                                                         // box
const std::string kForm = "\xBD\xBA\xC4\xD2\xBC\xC1";                                         // capsules
const std::string kLevel = "\xBC\xD7";                                                        // class A
const std::string kPneumonia = "\xC9\xE7\xC7\xF8\xBB\xF1\xB5\xC3\xD0\xD4\xB7\xCE\xD1\xD7";    // a pneumonia
const std::string kScienceName = "\xB7\xCE\xD1\xD7\xC1\xB4\xC7\xF2\xBE\xFA\xB7\xCE\xD1\xD7";  // its scientific name
const std::string kDescription = "\xCF\xB8\xBE\xFA\xD0\xD4\xB7\xCE\xB2\xBF\xB8\xD0\xC8\xBE";  // a lung infection
const std::string kRemark = "\xD2\xBD\xB1\xA3\xBC\xD7\xC0\xE0\xD2\xA9\xC6\xB7";               // insured class A drug

std::string number(const char* format, int value) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

void appendItem(std::string& xml, const Fields& fields) {
  xml += "<list>";
  for (const auto& [name, value] : fields) {
    xml += '<';
    xml += name;
    xml += '>';
    xml += base64(value);
    xml += "</";
    xml += name;
    xml += '>';
  }
  xml += "</list>";
}

std::string withHttpHead(const std::string& body) {
  return "HTTP/1.1 200 OK\r\nContent-Type: text/xml;charset=UTF-8\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\nConnection: close\r\n\r\n" + body;
}

std::string envelope(const char* operation, const std::string& members) {
  std::string body =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
      "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body>"
      "<ns1:" +
      std::string(operation) + "Response xmlns:ns1=\"" NV_SERVICE_NAMESPACE "\">" + members + "</ns1:" + operation +
      "Response></soap:Body></soap:Envelope>";
  return withHttpHead(body);
}

}  // namespace

std::string base64(const std::string& bytes) {
  static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    unsigned v = static_cast<unsigned char>(bytes[i]) << 16 | static_cast<unsigned char>(bytes[i + 1]) << 8 |
                 static_cast<unsigned char>(bytes[i + 2]);
    out += alphabet[v >> 18];
    out += alphabet[(v >> 12) & 63];
    out += alphabet[(v >> 6) & 63];
    out += alphabet[v & 63];
  }
  if (i < bytes.size()) {
    unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    out += alphabet[v >> 18];
    out += alphabet[(v >> 12) & 63];
    out += i + 1 < bytes.size() ? alphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

std::string personInfoResponse() {
  std::string members = "<return>";
  appendItem(members, {
                          {"memberNO", "3411220000123401"},
                          {"name", kName},
                          {"countryTeamCode", "341122105203"},
                          {"familySysno", "34112200001234"},
                          {"sexId", "1"},
                          {"idcardNo", "341122196805120317"},
                          {"age", "56"},
                          {"birthday", "1968-05-12"},
                          {"bookNo", "34112200001"},
                          {"cardNo", "6217000012345678"},
                          {"familyAddress", kAddress},
                          {"tel", "13805501234"},
                          {"ideName", kIdentity},
                      });
  return envelope("getPersonInfo", members + "</return>");
}

std::string attributeHeavyResponse(int attributes) {
  std::string one = leechdomResponse(1);
  std::string extra;
  extra.reserve(static_cast<size_t>(attributes) * 16);
  for (int i = 0; i < attributes; ++i) extra += " a" + std::to_string(i) + "=\"" + std::to_string(i % 10) + "\"";
  std::string body = httpBody(one);
  body.insert(body.find("<list>") + 5, extra);
  return withHttpHead(body);
}

std::string leechdomResponse(int entries) {
  std::string members = "<return>";
  members.reserve(static_cast<size_t>(entries) * 800 + 64);
  for (int i = 0; i < entries; ++i) {
    // Wire order is the item record's member order.
    appendItem(members, {
                            {"insureId", number("Y%08d", i)},
                            {"name", kDrug + number("%d", i % 1000)},
                            {"spec", kSpec},
                            {"unit", kUnit},
                            {"conf", kForm},
                            {"price", number("%d.50", 5 + i % 200)},
                            {"everyMoney", number("%d.50", 5 + i % 200)},
                            {"ratio", "0.80"},
                            {"adminLevel", kLevel},
                            {"isClinic", "1"},
                            {"remark", kRemark},
                            {"inputPyCode", "AMXLJN"},
                            {"inputWbCode", "BAWSEP"},
                            {"approveMinPrice", number("%d.00", 4 + i % 200)},
                            {"approveMaxPrice", number("%d.00", 8 + i % 200)},
                            {"grade", number("%d", 1 + i % 3)},
                            {"updateTime", "2024-03-15 10:20:30"},
                            {"classNo", number("%04d", 101 + i % 50)},
                        });
  }
  return envelope("updateLeechdom", members + "</return>");
}

std::string diseaseResponse(int entries) {
  std::string members = "<diseaseList>";
  members.reserve(static_cast<size_t>(entries) * 700 + 64);
  for (int i = 0; i < entries; ++i) {
    appendItem(members, {
                            {"icdAllno", number("J%07d", i)},
                            {"icdName", kPneumonia + number("(%d)", i)},
                            {"scienceName", kScienceName},
                            {"enName", "Pneumococcal pneumonia"},
                            {"description", kDescription},
                            {"icdType", "1"},
                            {"icdFlag", "1"},
                            {"sexLimited", "0"},
                            {"createTime", "2020-01-01 00:00:00"},
                            {"updateTime", "2024-03-01 08:00:00"},
                            {"inputcodePy", "SQHDXFY"},
                            {"inputcodeWb", "PAAQEO"},
                            {"chronicFlag", "0"},
                            {"state", "1"},
                            {"remark", ""},
                            {"useFrequency", number("%d", i % 100)},
                        });
  }
  return envelope("updateDisease", members + "</diseaseList>");
}

std::string httpBody(const std::string& response) {
  size_t headEnd = response.find("\r\n\r\n");
  return headEnd == std::string::npos ? std::string() : response.substr(headEnd + 4);
}

std::string keptAlive(const std::string& response) {
  const std::string closing = "\r\nConnection: close\r\n";
  size_t at = response.find(closing);
  if (at == std::string::npos || at > response.find("\r\n\r\n"))
    throw std::invalid_argument("the response does not close its connection");
  return response.substr(0, at) + "\r\nConnection: keep-alive\r\n" + response.substr(at + closing.size());
}

}  // namespace nvbench
