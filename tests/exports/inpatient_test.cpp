// SPDX-License-Identifier: MIT
// Inpatient exports against the scripted centre: registration (also from one
// packed text), fee details, calculation and payment.
#include <gtest/gtest.h>

#include "NvInterFace.h"
#include "tests/support/argument_rules.h"
#include "tests/support/export_cases.h"

namespace {

using namespace nvtest;

// The codes a request takes from the chosen centre.
struct CentreCodes {
  std::string centerNo, hospCode, orgLevel, userNo;
};
const CentreCodes kMainCodes{Centres::kMain, Centres::kHospCode, Centres::kOrgLevel, Centres::kUserNo};
const CentreCodes kSecondCodes{SecondCentre::kCode, SecondCentre::kHospCode, SecondCentre::kOrgLevel,
                               SecondCentre::kUserNo};

using Inpatient = SecondCentreTest;

Reply returning(const std::string& op, const std::string& text) {
  return Reply::soap(op, "<return>" + base64Encode(text) + "</return>");
}

// ---- inpRegister and inpRegisterB -------------------------------------------

const std::string kRegisterFid = "InpRegister";

// clang-format off
Args registration() {
  return {"1",          "202400000123", Centres::kMain, "ZY2024001",    gbk("张三"), "F0001",     "M000101",
          "341122101",  "1",            "341122198001011234", "44",   "34112200001", "C0001",    "J18.901",
          "",           "NK01",         "2024-03-01",   "01",           "1",         gbk("李医生"), "12",
          "A",          "2024-03-09",   "8",            "NK01",         "2",         "01",        "H9901",
          "2024-03-10", "T20240309",    "",             ""};
}
// clang-format on

const std::vector<ArgumentRule> kRegisterRules = {
    {1, "登记类型", "string", 1, false},       {2, "就诊号", "number", 18, true},
    {4, "HIS门诊号", "string", 20, false},     {5, "姓名", "string", 40, false},
    {6, "家庭编号", "string", 18, false},      {7, "个人编号", "string", 20, false},
    {8, "辖区编码", "string", 18, false},      {9, "性别代码", "string", 1, true},
    {10, "身份证", "string", 18, true},        {11, "年龄", "number", 3, true},
    {12, "医疗证号", "string", 20, false},     {13, "医疗卡号", "string", 20, true},
    {14, "农合疾病编码", "string", 12, false}, {15, "手术编码", "string", 7, true},
    {16, "入院科室编码", "string", 5, false},  {17, "住院日期", "date", 0, false},
    {19, "来院状态", "string", 1, false},      {20, "经治医师", "string", 20, true},
    {21, "床位号码", "string", 20, true},      {22, "入院院区", "string", 20, true},
    {23, "出院日期", "date", 0, true},         {24, "住院天数", "number", 8, true},
    {25, "出院科室编码", "string", 5, true},   {26, "出院状态", "string", 1, true},
    {27, "转诊类型", "string", 2, true},       {28, "转院机构编码", "string", 24, true},
    {29, "转院日期", "date", 0, true},         {30, "医院住院收费收据号", "string", 20, true},
    {31, "民政通知书号", "string", 50, true},  {32, "生育证号", "string", 50, true},
};

// All 35 members, in the order the centre reads them; four from the centre.
SentMembers registrationSent(const Args& a, const CentreCodes& centre = kMainCodes) {
  return {{"opType", a[0]},
          {"inpatientSn", a[1]},
          {"hosOrgno", centre.hospCode},
          {"inpatientNo", a[3]},
          {"centerNo", centre.centerNo},
          {"memberName", a[4]},
          {"familySysno", a[5]},
          {"memberSysno", a[6]},
          {"countryTeamCode", a[7]},
          {"sexId", a[8]},
          {"idcardNo", a[9]},
          {"age", a[10]},
          {"bookno", a[11]},
          {"cardNo", a[12]},
          {"icdAllNo", a[13]},
          {"opsId", a[14]},
          {"inOfficeId", a[15]},
          {"officeDate", a[16]},
          {"cureId", a[17]},
          {"inHosId", a[18]},
          {"cureDoctor", a[19]},
          {"bedNo", a[20]},
          {"sectionNo", a[21]},
          {"leaveDate", a[22]},
          {"days", a[23]},
          {"outOfficeId", a[24]},
          {"outHosId", a[25]},
          {"turnOp", a[26]},
          {"turnOrgNo", a[27]},
          {"turnDate", a[28]},
          {"ticketNo", a[29]},
          {"ministerNotice", a[30]},
          {"procreateNotice", a[31]},
          {"operateEmpSysno", centre.userNo},
          {"hosLevelId", centre.orgLevel}};
}

std::function<char*()> registering(const Args& a) {
  return [a] {
    auto p = [&](int n) { return a.at(n - 1).c_str(); };
    return inpRegister(p(1), p(2), p(3), p(4), p(5), p(6), p(7), p(8), p(9), p(10), p(11), p(12), p(13), p(14), p(15),
                       p(16), p(17), p(18), p(19), p(20), p(21), p(22), p(23), p(24), p(25), p(26), p(27), p(28), p(29),
                       p(30), p(31), p(32));
  };
}

std::function<char*()> registeringPacked(const std::string& packed) {
  return [packed] { return inpRegisterB(packed.c_str()); };
}

// The packed form of arguments: "|" between them, an empty one as one space.
std::string packed(const Args& a) {
  std::string text;
  for (size_t i = 0; i < a.size(); ++i) text += (i ? "|" : "") + (a[i].empty() ? std::string(" ") : a[i]);
  return text;
}

const std::string kVisitNo = "202400000123";
std::string registeredDoc() { return successDoc(kRegisterFid, 1, {{{0, "inpatientSn", kVisitNo}}}); }

ExportCase registered(const std::string& name, std::function<char*()> call, const Args& sentArgs,
                      const CentreCodes& centre = kMainCodes) {
  return {name,
          std::move(call),
          returning("inpRegister", kVisitNo),
          registeredDoc(),
          "inpRegister",
          registrationSent(sentArgs, centre)};
}

TEST_F(Inpatient, InpRegister) {
  const std::string fid = kRegisterFid;
  const Args valid = registration();
  Args optionalEmpty = valid;
  for (int n : {2, 9, 10, 11, 13, 15, 18, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32})
    optionalEmpty[n - 1] = "";
  const Args atLimit = atTheirLimits(valid, kRegisterRules);
  // Refused by a check: the centre is not called.
  auto refused = [&](const std::string& name, const Args& a, const std::string& message) {
    return ExportCase{name, registering(a), std::nullopt, failureDoc(fid, "300", message)};
  };

  runCases({
      registered("full registration", registering(valid), valid),
      registered("empty centre code: the first centre's codes are sent", registering(with(valid, {{3, ""}})), valid),
      registered("another centre: its own codes are sent", registering(with(valid, {{3, SecondCentre::kCode}})), valid,
                 kSecondCodes),
      registered("empty visit number is sent as an empty member", registering(with(valid, {{2, ""}})),
                 with(valid, {{2, ""}})),
      registered("optional arguments empty: still all 35 members", registering(optionalEmpty), optionalEmpty),
      registered("every argument at its limit", registering(atLimit), atLimit),
      registered("treatment code of 100 bytes", registering(with(valid, {{18, std::string(100, '7')}})),
                 with(valid, {{18, std::string(100, '7')}})),
      registered("treatment code of letters", registering(with(valid, {{18, "abc"}})), with(valid, {{18, "abc"}})),
      registered("treatment code of 100000 bytes is sent whole",
                 registering(with(valid, {{18, std::string(100000, 'c')}})),
                 with(valid, {{18, std::string(100000, 'c')}})),
      {"absent return: an empty value", registering(valid), Reply::soap("inpRegister", ""),
       successDoc(fid, 1, {{{0, "inpatientSn", ""}}})},
      {"GBK answer decoded", registering(valid), returning("inpRegister", gbk("住院号")),
       successDoc(fid, 1, {{{0, "inpatientSn", gbk("住院号")}}})},
      {"null arguments are empty ones",
       [] {
         return inpRegister(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr);
       },
       std::nullopt, failureDoc(fid, "300", "登记类型不能为空")},
      {"lookup before checks", registering(with(valid, {{1, ""}, {3, Centres::kUnknown}})), std::nullopt,
       centreNotFound(fid)},
      refused("name and family number empty: the family number is reported", with(valid, {{5, ""}, {6, ""}}),
              "家庭编号不能为空"),
      refused("name and district empty: the district is reported", with(valid, {{5, ""}, {8, ""}}), "辖区编码不能为空"),
      refused("name empty and sex code too long: the name is reported", with(valid, {{5, ""}, {9, "12"}}),
              "姓名不能为空"),
      refused("type and name empty: the type is reported", with(valid, {{1, ""}, {5, ""}}), "登记类型不能为空"),
      refused("configured 13-byte centre code", with(valid, {{3, Centres::kThirteen}}), "农合中心编码长度超过"),
      refused("visit number with a letter", with(valid, {{2, "12a"}}), "就诊号非数字格式"),
      refused("admission date without leading zeros", with(valid, {{17, "2024-3-1"}}), "住院日期非日期格式:yyyy-MM-dd"),
      registered("empty discharge date passes", registering(with(valid, {{23, ""}})), with(valid, {{23, ""}})),
      refused("discharge date of another form", with(valid, {{23, "2024/03/09"}}), "出院日期非日期格式:yyyy-MM-dd"),
      refused("transfer date with a time", with(valid, {{29, "2024-03-10 08:00:00"}}), "转院日期非日期格式:yyyy-MM-dd"),
      refused("days of nine digits", with(valid, {{24, "123456789"}}), "住院天数长度超过"),
      refused("days with a letter", with(valid, {{24, "12a"}}), "住院天数非数字格式"),
      refused("age with a letter", with(valid, {{11, "4a"}}), "年龄非数字格式"),
  });
  runCases(brokenArgumentCases(fid, "300", kRegisterRules, valid, [](const Args& a) { return registering(a)(); }));
  runCases(sharedFailureCases(fid, [](const char* centre) {
    Args a = with(registration(), {{3, centre}});
    return registering(a)();
  }));
}

TEST_F(Inpatient, InpRegisterB) {
  const std::string fid = kRegisterFid;
  const Args valid = registration();
  const Args first20 = with(valid, {{21, ""},
                                    {22, ""},
                                    {23, ""},
                                    {24, ""},
                                    {25, ""},
                                    {26, ""},
                                    {27, ""},
                                    {28, ""},
                                    {29, ""},
                                    {30, ""},
                                    {31, ""},
                                    {32, ""}});
  const std::string twenty = packed(Args(valid.begin(), valid.begin() + 20));
  // Fields 30 to 32 as " ", "N31", "N32", then with field 30 left out.
  const Args lastThree = with(valid, {{30, ""}, {31, "N31"}, {32, "N32"}});
  std::string collapsed = packed(lastThree);
  collapsed.erase(collapsed.rfind("| |N31") + 1, 1);
  // Field 2 left out as two adjacent separators.
  std::string collapsedSecond = packed(valid);
  collapsedSecond.replace(collapsedSecond.find('|'), kVisitNo.size() + 2, "||");
  // Names holding characters whose second byte is "|" (81 7C, 珅 AB 7C):
  // sent whole, every later value in its own place.
  const std::string nameWith7C = gbk("张") + "\x81\x7C" + gbk("三");
  const std::string nameEndingIn7C = gbk("陈珅");
  const Args bigCure = with(valid, {{18, std::string(100000, 'c')}, {22, std::string(20, 's')}});

  runCases({
      registered("32 packed fields", registeringPacked(packed(valid)), valid),
      registered("20 fields: arguments 21 to 32 empty", registeringPacked(twenty), first20),
      registered("one space in place 2: an empty visit number", registeringPacked(packed(with(valid, {{2, ""}}))),
                 with(valid, {{2, ""}})),
      registered("adjacent separators shift later values left", registeringPacked(collapsed),
                 with(valid, {{30, "N31"}, {31, "N32"}, {32, ""}})),
      {"adjacent separators in place 2: the HIS visit number is looked up as the centre",
       registeringPacked(collapsedSecond), std::nullopt, centreNotFound(fid)},
      registered("a 33rd field is ignored", registeringPacked(packed(valid) + "|extra"), valid),
      registered("leading, trailing and doubled separators", registeringPacked("||" + packed(valid) + "||"), valid),
      registered("a character with second byte 7C stays in the name",
                 registeringPacked(packed(with(valid, {{5, nameWith7C}}))), with(valid, {{5, nameWith7C}})),
      registered("a name ending in 珅 (AB 7C) before the separator",
                 registeringPacked(packed(with(valid, {{5, nameEndingIn7C}}))), with(valid, {{5, nameEndingIn7C}})),
      registered("far beyond 2000 bytes: every field whole", registeringPacked(packed(bigCure)), bigCure),
      {"empty text", registeringPacked(""), std::nullopt, failureDoc(fid, "300", "登记类型不能为空")},
      {"null text", [] { return inpRegisterB(nullptr); }, std::nullopt, failureDoc(fid, "300", "登记类型不能为空")},
      {"a bad field: the check of its argument", registeringPacked(packed(with(valid, {{24, "12a"}}))), std::nullopt,
       failureDoc(fid, "300", "住院天数非数字格式")},
      {"unconfigured centre", registeringPacked(packed(with(valid, {{3, Centres::kUnknown}}))), std::nullopt,
       centreNotFound(fid)},
      {"a fault, as inpRegister reports it", registeringPacked(packed(valid)),
       Reply::fault("soap:Server", base64Encode(gbk("重复登记"))), failureDoc(fid, "600", "重复登记")},
  });
}

TEST_F(Inpatient, InpRegisterBLeavesTheCallersTextAlone) {
  std::string text = packed(registration());
  const std::string before = text;
  server.enqueue(returning("inpRegister", kVisitNo));
  EXPECT_EQ(take(inpRegisterB(text.c_str())), registeredDoc());
  EXPECT_EQ(text, before);
}

// ---- Fee details ------------------------------------------------------------

// clang-format off
Args detailLine() {
  return {"1",        "202400000123", Centres::kMain, "RX0001",      "",          "HIS001",     "Y0001",
          "01",       gbk("阿莫西林胶囊"), "0.25g*24", gbk("盒"),   gbk("胶囊剂"), "12.50",    "2",
          "25.00",    "24.00",        "2024-03-02",   "0.8",          "19.20"};
}
// clang-format on

const std::vector<ArgumentRule> kDetailRules = withFeeItemRules({
    {1, "登记类型", "string", 1, false},
    {2, "住院就诊号", "number", 18, false},
    {4, "住院处方流水号", "string", 100, true},
});

// 18 members: the upload never carries centerNo.
SentMembers detailSent(const Args& a) {
  return {{"opType", a[0]},   {"inpatientSn", a[1]},  {"inpatientRxno", a[3]}, {"detailId", a[4]}, {"hiscode", a[5]},
          {"insureId", a[6]}, {"classId", a[7]},      {"name", a[8]},          {"spec", a[9]},     {"unit", a[10]},
          {"conf", a[11]},    {"price", a[12]},       {"quantity", a[13]},     {"money", a[14]},   {"factMoney", a[15]},
          {"useDate", a[16]}, {"enableRatio", a[17]}, {"enableMoney", a[18]}};
}

std::function<char*()> uploading(const Args& a) {
  return [a] {
    auto p = [&](int n) { return a.at(n - 1).c_str(); };
    return inpDetailInput(p(1), p(2), p(3), p(4), p(5), p(6), p(7), p(8), p(9), p(10), p(11), p(12), p(13), p(14),
                          p(15), p(16), p(17), p(18), p(19));
  };
}

TEST_F(Inpatient, InpDetailInput) {
  const std::string fid = "InpDetailInput";
  const Args valid = detailLine();
  const std::string detailNo = "8800012";
  const std::string uploaded = successDoc(fid, 1, {{{0, "detailNo", detailNo}}});
  auto accepted = [&](const std::string& name, const Args& a) {
    return ExportCase{name,     uploading(a),     returning("inpDetailInput", detailNo),
                      uploaded, "inpDetailInput", detailSent(a)};
  };
  const Args atLimit = atTheirLimits(valid, kDetailRules);
  auto refused = [&](const std::string& name, const Args& a, const std::string& message) {
    return ExportCase{name, uploading(a), std::nullopt, failureDoc(fid, "300", message)};
  };
  runCases({
      accepted("one detail line", valid),
      accepted("empty centre code: still no centerNo", with(valid, {{3, ""}})),
      accepted("another centre: still no centerNo", with(valid, {{3, SecondCentre::kCode}})),
      accepted("empty prescription number is sent empty", with(valid, {{4, ""}})),
      accepted("every argument at its limit", atLimit),
      accepted("negative price with one decimal point", with(valid, {{13, "-12.5"}})),
      {"absent return: an empty value", uploading(valid), Reply::soap("inpDetailInput", ""),
       successDoc(fid, 1, {{{0, "detailNo", ""}}})},
      refused("prescription number of 101 bytes", with(valid, {{4, std::string(101, 'r')}}), "住院处方流水号长度超过"),
      refused("empty visit number", with(valid, {{2, ""}}), "住院就诊号不能为空"),
      refused("visit number with letters", with(valid, {{2, "ZY0001"}}), "住院就诊号非数字格式"),
      refused("price with two decimal points", with(valid, {{13, "1.2.5"}}), "HIS药品单价非数字格式"),
      refused("date of use with a time", with(valid, {{17, "2024-03-02 10:00:00"}}), "使用日期非日期格式:yyyy-MM-dd"),
      refused("two bad arguments: the first is reported", with(valid, {{6, ""}, {13, "x"}}), "HIS药品编码不能为空"),
      refused("configured 13-byte centre code", with(valid, {{3, Centres::kThirteen}}), "农合中心编码长度超过"),
      {"lookup before checks", uploading(with(valid, {{2, ""}, {3, Centres::kUnknown}})), std::nullopt,
       centreNotFound(fid)},
  });
  runCases(brokenArgumentCases(fid, "300", kDetailRules, valid, [](const Args& a) { return uploading(a)(); }));
}

const char* const kDetailMembers[] = {"detailId", "inpatientSn", "inpatientRxno", "insureId",        "name",
                                      "spec",     "unit",        "conf",          "price",           "quantity",
                                      "useDate",  "everyMoney",  "ratio",         "adminLevel",      "isClinic",
                                      "remark",   "inputPyCode", "inputWbCode",   "approveMinPrice", "approveMaxPrice",
                                      "grade",    "updateTime",  "factMoney",     "enableRation",    "enableMoney",
                                      "classNo",  "money"};
// The columns in the order the HIS reads them.
const char* const kDetailColumns[] = {"inpatientSn", "inpatientRxno", "detailId",     "insureId",   "classNo",  "name",
                                      "spec",        "unit",          "conf",         "price",      "quantity", "money",
                                      "factMoney",   "useDate",       "enableRation", "enableMoney"};

std::string detailValue(const std::string& member, int n) {
  return member == "name" ? gbk("青霉素") + std::to_string(n) : member + "-" + std::to_string(n);
}

// A detail item with all 27 members but those left out.
std::string detailItem(int n, const std::string& leftOut = "") {
  std::string xml = "<list>";
  for (const char* member : kDetailMembers)
    if (member != leftOut)
      xml += std::string("<") + member + ">" + base64Encode(detailValue(member, n)) + "</" + member + ">";
  return xml + "</list>";
}

Row detailRow(int n, const std::string& leftOut = "") {
  Row row;
  int colnum = 0;
  for (const char* column : kDetailColumns)
    row.push_back({colnum++, column, column == leftOut ? "" : detailValue(column, n)});
  return row;
}

TEST_F(Inpatient, InpDetailSeek) {
  const std::string fid = "InpDetailSeek";
  auto seeking = [](std::string visit, const char* centre) {
    return [=] { return inpDetailSeek(visit.c_str(), centre); };
  };
  const SentMembers sent = {{"inpatientSn", kVisitNo}, {"centerNo", Centres::kMain}};
  runCases({
      {"two lines, columns in their own order", seeking(kVisitNo, Centres::kMain),
       Reply::soap("inpDetailSeek", "<return>" + detailItem(0) + detailItem(1) + "</return>"),
       successDoc(fid, 16, {detailRow(0), detailRow(1)}), "inpDetailSeek", sent},
      {"empty centre code: the first centre's code is sent", seeking(kVisitNo, ""),
       Reply::soap("inpDetailSeek", "<return/>"), successDoc(fid, 16, {}), "inpDetailSeek", sent},
      {"another centre: its code is sent", seeking(kVisitNo, SecondCentre::kCode),
       Reply::soap("inpDetailSeek", "<return/>"), successDoc(fid, 16, {}), "inpDetailSeek",
       SentMembers{{"inpatientSn", kVisitNo}, {"centerNo", SecondCentre::kCode}}},
      {"no lines", seeking(kVisitNo, Centres::kMain), Reply::soap("inpDetailSeek", "<return></return>"),
       successDoc(fid, 16, {})},
      {"absent return: no rows", seeking(kVisitNo, Centres::kMain), Reply::soap("inpDetailSeek", ""),
       successDoc(fid, 16, {})},
      {"a missing member is an empty column", seeking(kVisitNo, Centres::kMain),
       Reply::soap("inpDetailSeek", "<return>" + detailItem(3, "money") + "</return>"),
       successDoc(fid, 16, {detailRow(3, "money")})},
      {"19-digit visit number passes", seeking(std::string(19, '9'), Centres::kMain),
       Reply::soap("inpDetailSeek", "<return/>"), successDoc(fid, 16, {}), "inpDetailSeek",
       SentMembers{{"inpatientSn", std::string(19, '9')}, {"centerNo", Centres::kMain}}},
      {"letters pass: a text check", seeking("ZY0001", Centres::kMain), Reply::soap("inpDetailSeek", "<return/>"),
       successDoc(fid, 16, {})},
      {"visit number of 21 bytes", seeking(std::string(21, '9'), Centres::kMain), std::nullopt,
       failureDoc(fid, "600", "住院就诊号长度超过")},
      {"empty visit number", seeking("", Centres::kMain), std::nullopt, failureDoc(fid, "600", "住院就诊号不能为空")},
      {"configured 13-byte centre code", seeking(kVisitNo, Centres::kThirteen), std::nullopt,
       failureDoc(fid, "600", "农合中心编码长度超过")},
      {"lookup before checks", seeking("", Centres::kUnknown), std::nullopt, centreNotFound(fid)},
  });
  runCases(sharedFailureCases(fid, [](const char* centre) { return inpDetailSeek("202400000123", centre); }));
}

TEST_F(Inpatient, InpSingleCancelFee) {
  const std::string fid = "InpSingleCancleFee";
  auto cancelling = [](std::string detail, const char* centre) {
    return [=] { return inpSingleCancelFee(detail.c_str(), centre); };
  };
  runCases({
      {"cancelled through the outpatient operation", cancelling("8800012", Centres::kMain),
       Reply::soap("cliSingleCancleFee", ""), successDoc(fid, 0, {}), "cliSingleCancleFee",
       SentMembers{{"detailNo", "8800012"}}},
      {"empty centre code: no centre member either", cancelling("8800012", ""), Reply::soap("cliSingleCancleFee", ""),
       successDoc(fid, 0, {}), "cliSingleCancleFee", SentMembers{{"detailNo", "8800012"}}},
      {"empty detail number", cancelling("", Centres::kMain), std::nullopt,
       failureDoc(fid, "300", "门诊就诊号不能为空")},
      {"detail number with a letter", cancelling("88a", Centres::kMain), std::nullopt,
       failureDoc(fid, "300", "门诊就诊号非数字格式")},
      {"detail number of 19 digits", cancelling(std::string(19, '8'), Centres::kMain), std::nullopt,
       failureDoc(fid, "300", "门诊就诊号长度超过")},
      {"configured 13-byte centre code", cancelling("1", Centres::kThirteen), std::nullopt,
       failureDoc(fid, "300", "农合中心编码长度超过")},
      {"fault", cancelling("8800012", Centres::kMain), Reply::fault("soap:Server", base64Encode(gbk("明细不存在"))),
       failureDoc(fid, "600", "明细不存在")},
      {"lookup before checks", cancelling("", Centres::kUnknown), std::nullopt, centreNotFound(fid)},
  });
}

TEST_F(Inpatient, InpCancelFee) {
  const std::string fid = "InpCancelFee";
  auto cancelling = [](std::string visit, const char* centre) {
    return [=] { return inpCancelFee(visit.c_str(), centre); };
  };
  runCases({
      {"cancelled", cancelling(kVisitNo, Centres::kMain), Reply::soap("inpCancelFee", ""), successDoc(fid, 0, {}),
       "inpCancelFee", SentMembers{{"no", kVisitNo}, {"centerNo", Centres::kMain}}},
      {"empty centre code: the first centre's code is sent", cancelling(kVisitNo, ""), Reply::soap("inpCancelFee", ""),
       successDoc(fid, 0, {}), "inpCancelFee", SentMembers{{"no", kVisitNo}, {"centerNo", Centres::kMain}}},
      {"another centre: its code is sent", cancelling(kVisitNo, SecondCentre::kCode), Reply::soap("inpCancelFee", ""),
       successDoc(fid, 0, {}), "inpCancelFee", SentMembers{{"no", kVisitNo}, {"centerNo", SecondCentre::kCode}}},
      {"empty visit number", cancelling("", Centres::kMain), std::nullopt,
       failureDoc(fid, "300", "门诊就诊号不能为空")},
      {"visit number with letters", cancelling("ZY1", Centres::kMain), std::nullopt,
       failureDoc(fid, "300", "门诊就诊号非数字格式")},
      {"visit number of 19 digits", cancelling(std::string(19, '1'), Centres::kMain), std::nullopt,
       failureDoc(fid, "300", "门诊就诊号长度超过")},
      {"lookup before checks", cancelling("", Centres::kUnknown), std::nullopt, centreNotFound(fid)},
  });
}

// ---- Calculation and payment ------------------------------------------------

// A record of the given members, each base64 of "<member>:<n>"; leftOut is absent.
std::string record(const std::vector<std::string>& members, const std::string& leftOut = "") {
  std::string xml = "<return>";
  for (const std::string& m : members)
    if (m != leftOut) xml += "<" + m + ">" + base64Encode(m + ":7") + "</" + m + ">";
  return xml + "</return>";
}

Row recordRow(const std::vector<std::string>& members, const std::string& leftOut = "", bool allAbsent = false) {
  Row row;
  for (size_t i = 0; i < members.size(); ++i)
    row.push_back({static_cast<int>(i), members[i], allAbsent || members[i] == leftOut ? "" : members[i] + ":7"});
  return row;
}

TEST_F(Inpatient, Calculate) {
  const std::string fid = "Calculate";
  const std::vector<std::string> members = {"totalCosts",           "enableMoney",      "factRedeemMoney",
                                            "startMoney",           "totalRedeemMoney", "totalRedeemCount",
                                            "familyAccountPayMoney"};
  auto calculating = [](std::string visit, const char* centre, std::string type) {
    return [=] { return calculate(visit.c_str(), centre, type.c_str()); };
  };
  runCases({
      {"the centre's figures", calculating(kVisitNo, Centres::kMain, "11"), Reply::soap("calculate", record(members)),
       successDoc(fid, 7, {recordRow(members)}), "calculate",
       SentMembers{{"inpatientSn", kVisitNo}, {"centerNo", Centres::kMain}, {"redeemId", "11"}}},
      {"empty centre code: the first centre's code is sent", calculating(kVisitNo, "", "11"),
       Reply::soap("calculate", record(members)), successDoc(fid, 7, {recordRow(members)}), "calculate",
       SentMembers{{"inpatientSn", kVisitNo}, {"centerNo", Centres::kMain}, {"redeemId", "11"}}},
      {"a missing member is an empty column", calculating(kVisitNo, Centres::kMain, "11"),
       Reply::soap("calculate", record(members, "startMoney")), successDoc(fid, 7, {recordRow(members, "startMoney")})},
      {"absent record: a row of empty values", calculating(kVisitNo, Centres::kMain, "11"),
       Reply::soap("calculate", ""), successDoc(fid, 7, {recordRow(members, "", true)})},
      {"reimbursement type of four bytes", calculating(kVisitNo, Centres::kMain, "1234"), std::nullopt,
       failureDoc(fid, "300", "补偿类型长度超过")},
      {"empty reimbursement type", calculating(kVisitNo, Centres::kMain, ""), std::nullopt,
       failureDoc(fid, "300", "补偿类型不能为空")},
      {"visit number with a letter", calculating("12a", Centres::kMain, "11"), std::nullopt,
       failureDoc(fid, "300", "住院就诊号非数字格式")},
      {"visit number of 19 digits", calculating(std::string(19, '1'), Centres::kMain, "11"), std::nullopt,
       failureDoc(fid, "300", "住院就诊号长度超过")},
      {"two bad arguments: the visit number is reported", calculating("", Centres::kMain, ""), std::nullopt,
       failureDoc(fid, "300", "住院就诊号不能为空")},
      {"configured 13-byte centre code", calculating(kVisitNo, Centres::kThirteen, "11"), std::nullopt,
       failureDoc(fid, "300", "农合中心编码长度超过")},
      {"lookup before checks", calculating("", Centres::kUnknown, ""), std::nullopt, centreNotFound(fid)},
  });
}

TEST_F(Inpatient, InpPay) {
  const std::string fid = "InpBalance";
  const std::vector<std::string> members = {"totalCosts",        "enableMoney",          "redeemMoney",
                                            "startMoney",        "totalRedeemMoney",     "totalRedeemCount",
                                            "inpatientRedeemno", "familyAccountPayMoney"};
  const Args valid = {kVisitNo, "11", "2024-03-10", gbk("王五"), "2024-03-11", Centres::kMain};
  auto paying = [](const Args& a) {
    return [a] { return inpPay(a[0].c_str(), a[1].c_str(), a[2].c_str(), a[3].c_str(), a[4].c_str(), a[5].c_str()); };
  };
  auto sent = [](const Args& a, const CentreCodes& centre) {
    return SentMembers{
        {"no", a[0]},         {"centerNo", centre.centerNo}, {"redeemId", a[1]},   {"redeemEmpsysno", centre.userNo},
        {"redeemDate", a[2]}, {"acceptMan", a[3]},           {"acceptDate", a[4]}, {"redeemOrgno", centre.hospCode}};
  };
  const std::string paid = successDoc(fid, 8, {recordRow(members)});
  runCases({
      {"paid: eight columns under InpBalance", paying(valid), Reply::soap("inpPay", record(members)), paid, "inpPay",
       sent(valid, kMainCodes)},
      {"empty centre code: the first centre's codes are sent", paying(with(valid, {{6, ""}})),
       Reply::soap("inpPay", record(members)), paid, "inpPay", sent(valid, kMainCodes)},
      {"another centre: its codes are sent", paying(with(valid, {{6, SecondCentre::kCode}})),
       Reply::soap("inpPay", record(members)), paid, "inpPay", sent(valid, kSecondCodes)},
      {"a missing member is an empty column", paying(valid),
       Reply::soap("inpPay", record(members, "inpatientRedeemno")),
       successDoc(fid, 8, {recordRow(members, "inpatientRedeemno")})},
      {"absent record: a row of empty values", paying(valid), Reply::soap("inpPay", ""),
       successDoc(fid, 8, {recordRow(members, "", true)})},
      {"payment date and payee empty: the payee is reported", paying(with(valid, {{3, ""}, {4, ""}})), std::nullopt,
       failureDoc(fid, "300", "领款人不能为空")},
      {"payment date with a time", paying(with(valid, {{3, "2024-03-10 09:30:00"}})), std::nullopt,
       failureDoc(fid, "300", "兑付时间非日期格式:yyyy-MM-dd")},
      {"empty payment date", paying(with(valid, {{3, ""}})), std::nullopt, failureDoc(fid, "300", "兑付时间不能为空")},
      {"payment date and receipt date bad: the payment date is reported", paying(with(valid, {{3, "x"}, {5, "y"}})),
       std::nullopt, failureDoc(fid, "300", "兑付时间非日期格式:yyyy-MM-dd")},
      {"receipt date with a time", paying(with(valid, {{5, "2024-03-11 10:00:00"}})), std::nullopt,
       failureDoc(fid, "300", "领款时间非日期格式:yyyy-MM-dd")},
      {"payee of 21 bytes", paying(with(valid, {{4, std::string(21, 'p')}})), std::nullopt,
       failureDoc(fid, "300", "领款人长度超过")},
      {"reimbursement category of three bytes", paying(with(valid, {{2, "111"}})), std::nullopt,
       failureDoc(fid, "300", "补偿类别长度超过")},
      {"empty reimbursement category", paying(with(valid, {{2, ""}})), std::nullopt,
       failureDoc(fid, "300", "补偿类别不能为空")},
      {"empty visit number", paying(with(valid, {{1, ""}})), std::nullopt,
       failureDoc(fid, "300", "住院就诊号不能为空")},
      {"visit number with a letter", paying(with(valid, {{1, "1a"}})), std::nullopt,
       failureDoc(fid, "300", "住院就诊号非数字格式")},
      {"configured 13-byte centre code", paying(with(valid, {{6, Centres::kThirteen}})), std::nullopt,
       failureDoc(fid, "300", "农合中心编码长度超过")},
      {"lookup before checks", paying(with(valid, {{1, ""}, {6, Centres::kUnknown}})), std::nullopt,
       centreNotFound(fid)},
  });
  runCases(sharedFailureCases(
      fid, [](const char* centre) { return inpPay("202400000123", "11", "2024-03-10", "p", "2024-03-11", centre); }));
}

TEST_F(Inpatient, AuditingSeek) {
  const std::string fid = "AuditingSeek";
  auto seeking = [](std::string visit, const char* centre) {
    return [=] { return auditingSeek(visit.c_str(), centre); };
  };
  const std::string state = gbk("审核通过");
  runCases({
      {"the audit state", seeking(kVisitNo, Centres::kMain), returning("auditingSeek", state),
       successDoc(fid, 1, {{{0, "CheckState", state}}}), "auditingSeek",
       SentMembers{{"no", kVisitNo}, {"centerNo", Centres::kMain}}},
      {"empty centre code: the first centre's code is sent", seeking(kVisitNo, ""), returning("auditingSeek", "1"),
       successDoc(fid, 1, {{{0, "CheckState", "1"}}}), "auditingSeek",
       SentMembers{{"no", kVisitNo}, {"centerNo", Centres::kMain}}},
      {"letters pass: a text check", seeking("12a", Centres::kMain), returning("auditingSeek", "1"),
       successDoc(fid, 1, {{{0, "CheckState", "1"}}}), "auditingSeek",
       SentMembers{{"no", "12a"}, {"centerNo", Centres::kMain}}},
      {"absent return: an empty value", seeking(kVisitNo, Centres::kMain), Reply::soap("auditingSeek", ""),
       successDoc(fid, 1, {{{0, "CheckState", ""}}})},
      {"empty visit number", seeking("", Centres::kMain), std::nullopt, failureDoc(fid, "600", "住院就诊号不能为空")},
      {"visit number of 21 bytes", seeking(std::string(21, '1'), Centres::kMain), std::nullopt,
       failureDoc(fid, "600", "住院就诊号长度超过")},
      {"configured 13-byte centre code", seeking(kVisitNo, Centres::kThirteen), std::nullopt,
       failureDoc(fid, "600", "农合中心编码长度超过")},
      {"lookup before checks", seeking("", Centres::kUnknown), std::nullopt, centreNotFound(fid)},
  });
}

TEST_F(Inpatient, NoConfigurationFile) {
  dir.removeConfig();
  runCases({
      {"inpRegister", registering(Args(32)), std::nullopt, centreNotFound(kRegisterFid)},
      {"inpRegisterB", registeringPacked(""), std::nullopt, centreNotFound(kRegisterFid)},
      {"inpDetailInput", uploading(Args(19)), std::nullopt, centreNotFound("InpDetailInput")},
      {"inpDetailSeek", [] { return inpDetailSeek(nullptr, nullptr); }, std::nullopt, centreNotFound("InpDetailSeek")},
      {"inpSingleCancelFee", [] { return inpSingleCancelFee("x", ""); }, std::nullopt,
       centreNotFound("InpSingleCancleFee")},
      {"inpCancelFee", [] { return inpCancelFee("", ""); }, std::nullopt, centreNotFound("InpCancelFee")},
      {"calculate", [] { return calculate("", "", ""); }, std::nullopt, centreNotFound("Calculate")},
      {"inpPay", [] { return inpPay("", "", "", "", "", ""); }, std::nullopt, centreNotFound("InpBalance")},
      {"auditingSeek", [] { return auditingSeek("", ""); }, std::nullopt, centreNotFound("AuditingSeek")},
  });
}

}  // namespace
