// SPDX-License-Identifier: MIT
#include "tests/support/big_catalogue.h"

#include "NvInterFace.h"
#include "tests/support/export_cases.h"

namespace nvtest {

const std::vector<std::string> kDiseaseMembers = {
    "icdAllno",   "icdName",    "scienceName", "enName",      "description", "icdType", "icdFlag", "sexLimited",
    "createTime", "updateTime", "inputcodePy", "inputcodeWb", "chronicFlag", "state",   "remark",  "useFrequency"};
const std::vector<std::string> kLeechdomMembers = {
    "insureId",        "name",       "spec",       "unit",   "conf",        "price",       "everyMoney",
    "ratio",           "adminLevel", "isClinic",   "remark", "inputPyCode", "inputWbCode", "approveMinPrice",
    "approveMaxPrice", "grade",      "updateTime", "classNo"};
const std::vector<std::string> kLeechdomColumns = {
    "insureId",   "classNo",     "grade",           "name",           "spec",     "conf",   "unit",
    "price",      "everyMoney",  "ratio",           "adminLevel",     "isClinic", "remark", "inputPyCode",
    "updateTime", "inputWbCode", "approveMinPrice", "approveMaxPrice"};

CatalogueWriter::CatalogueWriter(const BigCatalogue& catalogue) : catalogue_(catalogue) {
  const std::string q = "\\\"";
  for (const std::string& m : catalogue.members)
    members_.push_back({m, "<" + m + ">", "</" + m + ">", varies(m) ? "" : base64Encode(catalogue.value(m, 0))});
  for (size_t c = 0; c < catalogue.columns.size(); ++c) {
    const std::string& name = catalogue.columns[c];
    columns_.push_back({name, "<column colnum=" + q + std::to_string(c) + q + " colname=" + q + name + q + ">",
                        "</column>", varies(name) ? "" : catalogue.value(name, 0)});
  }
}

Reply CatalogueWriter::response(int entries) const {
  std::string items =
      soap11Envelope("<ns1:" + catalogue_.operation + "Response xmlns:ns1=\"" + serviceNamespace() + "\">");
  const std::string envelopeEnd = items.substr(items.find("</soap:Body>"));
  items.resize(items.size() - envelopeEnd.size());
  items.reserve(static_cast<size_t>(entries) * 720);
  items += "<" + catalogue_.listMember + ">";
  for (int n = 0; n < entries; ++n) {
    items += "<list>";
    for (const Piece& m : members_) {
      items += m.open;
      if (varies(m.name))
        items += base64Encode(catalogue_.value(m.name, n));
      else
        items += m.fixed;
      items += m.close;
    }
    items += "</list>";
  }
  items += "</" + catalogue_.listMember + "></ns1:" + catalogue_.operation + "Response>" + envelopeEnd;
  return Reply::raw("HTTP/1.1 200 OK\r\nContent-Type: text/xml; charset=utf-8\r\nContent-Length: " +
                    std::to_string(items.size()) + "\r\nConnection: close\r\n\r\n" + items);
}

void CatalogueWriter::row(int n, std::string& out) const {
  const std::string q = "\\\"";
  out.clear();
  out += "<row rownum=" + q + std::to_string(n) + q + ">";
  for (const Piece& c : columns_) {
    out += c.open;
    if (varies(c.name))
      out += catalogue_.value(c.name, n);
    else
      out += c.fixed;
    out += c.close;
  }
  out += "</row>";
}

BigCatalogue drugCatalogue() {
  return {"UpdateLeechdom",
          "updateLeechdom",
          "return",
          kLeechdomMembers,
          kLeechdomColumns,
          "insureId",
          "Y",
          "name",
          gbk("阿莫西林胶囊"),
          {{"spec", "0.25g*24"},
           {"unit", gbk("盒")},
           {"conf", gbk("胶囊剂")},
           {"price", "12.50"},
           {"everyMoney", "0.52"},
           {"ratio", "0.80"},
           {"adminLevel", "1"},
           {"isClinic", "1"},
           {"remark", gbk("限门诊使用")},
           {"inputPyCode", "AMXLJN"},
           {"inputWbCode", "BAST"},
           {"approveMinPrice", "10.00"},
           {"approveMaxPrice", "15.00"},
           {"grade", gbk("甲")},
           {"updateTime", "2024-03-01 08:00:00"},
           {"classNo", "01"}},
          [] { return updateLeechdom("2024-01-01 00:00:00", Centres::kMain); }};
}

BigCatalogue diseaseCatalogue() {
  return {"UpdateDisease",
          "updateDisease",
          "diseaseList",
          kDiseaseMembers,
          kDiseaseMembers,
          "icdAllno",
          "J",
          "icdName",
          gbk("社区获得性肺炎"),
          {{"scienceName", gbk("肺炎链球菌肺炎")},
           {"enName", "Pneumococcal pneumonia"},
           {"description", gbk("细菌性肺部感染")},
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
           {"useFrequency", "12"}},
          [] { return updateDisease("2024-01-01 00:00:00", Centres::kMain); }};
}

}  // namespace nvtest
