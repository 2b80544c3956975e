// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "NvInterFace.h"
#include "tests/support/export_cases.h"

namespace {

using namespace nvtest;

const char* const kMemberFields[] = {"memberNO",      "name", "countryTeamCode", "familySysno", "sexId",
                                     "idcardNo",      "age",  "birthday",        "bookNo",      "cardNo",
                                     "familyAddress", "tel",  "ideName"};

// A Member element; fields not given are left out.
std::string memberXml(const std::vector<std::pair<std::string, std::string>>& fields) {
  std::string xml = "<list>";
  for (const auto& [name, value] : fields) xml += "<" + name + ">" + value + "</" + name + ">";
  return xml + "</list>";
}

// A member whose every field is base64 of "<field>-<n>", the name in GBK.
std::string fullMember(int n) {
  std::vector<std::pair<std::string, std::string>> fields;
  for (const char* f : kMemberFields)
    fields.emplace_back(f, base64Encode(f == std::string("name") ? gbk("张三") + std::to_string(n)
                                                                 : std::string(f) + "-" + std::to_string(n)));
  return memberXml(fields);
}

Row fullMemberRow(int n) {
  Row row;
  for (int i = 0; i < 13; ++i)
    row.push_back({i, kMemberFields[i],
                   i == 1 ? gbk("张三") + std::to_string(n) : std::string(kMemberFields[i]) + "-" + std::to_string(n)});
  return row;
}

class MemberHospital : public ExportTest {};

TEST_F(MemberHospital, GetPersonInfo) {
  auto call = [](const char* book, const char* user, const char* centre) {
    return [=] { return getPersonInfo(book, user, centre); };
  };
  const std::string fid = "GetPersonInfo";
  const SentMembers sent = {{"bookno", "34112200001"}, {"operator", gbk("王医生")}};
  const std::string user = gbk("王医生");
  Row partial = fullMemberRow(9);
  partial[11].value = "";            // tel missing
  partial[10].value = "plain:addr";  // not base64: written as received
  std::vector<std::pair<std::string, std::string>> partialFields;
  for (int i = 0; i < 13; ++i)
    if (i != 11) partialFields.emplace_back(kMemberFields[i], i == 10 ? "plain:addr" : base64Encode(partial[i].value));

  runCases({
      {"three members", call("34112200001", user.c_str(), Centres::kMain),
       Reply::soap("getPersonInfo", "<return>" + fullMember(0) + fullMember(1) + fullMember(2) + "</return>"),
       successDoc(fid, 13, {fullMemberRow(0), fullMemberRow(1), fullMemberRow(2)}), "getPersonInfo", sent},
      {"empty centre code picks the first centre", call("34112200001", user.c_str(), ""),
       Reply::soap("getPersonInfo", "<return>" + fullMember(0) + "</return>"), successDoc(fid, 13, {fullMemberRow(0)}),
       "getPersonInfo", sent},
      {"null centre code is the empty one", call("34112200001", user.c_str(), nullptr),
       Reply::soap("getPersonInfo", "<return></return>"), successDoc(fid, 13, {}), "getPersonInfo", sent},
      {"empty list", call("34112200001", user.c_str(), Centres::kMain), Reply::soap("getPersonInfo", "<return/>"),
       successDoc(fid, 13, {})},
      {"absent return: no rows", call("34112200001", user.c_str(), Centres::kMain), Reply::soap("getPersonInfo", ""),
       successDoc(fid, 13, {})},
      {"missing and plain fields", call("34112200001", user.c_str(), Centres::kMain),
       Reply::soap("getPersonInfo", "<return>" + memberXml(partialFields) + "</return>"),
       successDoc(fid, 13, {partial})},
      {"nil entry yields no row", call("34112200001", user.c_str(), Centres::kMain),
       Reply::soap("getPersonInfo",
                   "<return><list xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                   "xsi:nil=\"true\"/>" +
                       fullMember(1) + "</return>"),
       successDoc(fid, 13, {fullMemberRow(1)})},
      {"empty certificate number", call("", user.c_str(), Centres::kMain), std::nullopt,
       failureDoc(fid, "600", "医疗证号不能为空")},
      {"null certificate number", call(nullptr, user.c_str(), Centres::kMain), std::nullopt,
       failureDoc(fid, "600", "医疗证号不能为空")},
      {"certificate number of 21 bytes", call("123456789012345678901", user.c_str(), Centres::kMain), std::nullopt,
       failureDoc(fid, "600", "医疗证号长度超过")},
      {"empty operator", call("1", "", Centres::kMain), std::nullopt, failureDoc(fid, "600", "用户名不能为空")},
      {"two bad arguments: the first is reported", call("", "", Centres::kMain), std::nullopt,
       failureDoc(fid, "600", "医疗证号不能为空")},
      {"configured 13-byte centre code", call("1", "u", Centres::kThirteen), std::nullopt,
       failureDoc(fid, "600", "农合中心编码长度超过")},
      {"lookup before checks", call("", "", Centres::kUnknown), std::nullopt, centreNotFound(fid)},
  });
}

TEST_F(MemberHospital, GetHospitalInfo) {
  auto call = [](std::string name, const char* centre) {
    return [=] { return getHospitalInfo(name.c_str(), centre); };
  };
  const std::string fid = "GetHospitalInfo";
  auto hospital = [](const std::string& code, const std::string& name) {
    return "<list><hospCode>" + base64Encode(code) + "</hospCode><hospLevel>" + base64Encode("2") +
           "</hospLevel><hospName>" + base64Encode(name) + "</hospName><centerNo>" + base64Encode("341122") +
           "</centerNo></list>";
  };
  auto row = [](const std::string& code, const std::string& name) {
    return Row{{0, "hospCode", code}, {1, "hospLevel", "2"}, {2, "hospName", name}};
  };
  runCases({
      {"two hospitals", call(gbk("县医院"), Centres::kMain),
       Reply::soap("getHospitalInfo",
                   "<return>" + hospital("H1", gbk("县人民医院")) + hospital("H2", gbk("县中医院")) + "</return>"),
       successDoc(fid, 3, {row("H1", gbk("县人民医院")), row("H2", gbk("县中医院"))}), "getHospitalInfo",
       SentMembers{{"name", gbk("县医院")}}},
      {"the centre code is never checked", call("x", Centres::kThirteen), Reply::soap("getHospitalInfo", "<return/>"),
       successDoc(fid, 3, {})},
      {"empty name", call("", Centres::kMain), std::nullopt, failureDoc(fid, "600", "医院名称不能为空")},
      {"name of 101 bytes", call(std::string(101, 'h'), Centres::kMain), std::nullopt,
       failureDoc(fid, "600", "医院名称长度超过")},
  });
  runCases(sharedFailureCases(fid, [](const char* centre) { return getHospitalInfo("h", centre); }));
}

TEST_F(MemberHospital, NoConfigurationFile) {
  dir.removeConfig();
  runCases({
      {"getPersonInfo", [] { return getPersonInfo(nullptr, nullptr, nullptr); }, std::nullopt,
       centreNotFound("GetPersonInfo")},
      {"getHospitalInfo", [] { return getHospitalInfo("", ""); }, std::nullopt, centreNotFound("GetHospitalInfo")},
  });
}

}  // namespace
