// SPDX-License-Identifier: MIT
// cliRegister against the scripted centre.
#include <gtest/gtest.h>

#include "NvInterFace.h"
#include "tests/exports/outpatient_cases.h"

namespace {

using namespace nvtest;

const std::string kFid = "CliRegister";

char* callRegister(const Args& a) {
  return cliRegister(cText(a[0]), cText(a[1]), cText(a[2]), cText(a[3]), cText(a[4]), cText(a[5]), cText(a[6]),
                     cText(a[7]), cText(a[8]), cText(a[9]), cText(a[10]), cText(a[11]), cText(a[12]), cText(a[13]),
                     cText(a[14]), cText(a[15]), cText(a[16]), cText(a[17]), cText(a[18]), cText(a[19]), cText(a[20]),
                     cText(a[21]));
}

// A full registration, every argument given.
// clang-format off
Args validRegistration() {
  return {"1",          "202400001",         Centres::kMain, "MZ0001",        "F001",   "M00101",
          "3411220101", gbk("张三"),         "1",            "341122199001011234", "34", "34112200001",
          "C0001",      "J06.900",           "K29.700",      "NK01",          "2024-03-05", gbk("李医生"),
          "1",          "2",                 "3",            "H0002"};
}
// clang-format on

// The 22 arguments as the HIS documentation tables them (the centre code,
// argument 3, is checked by its own cases).
const std::vector<ArgumentRule> kRules = {
    {1, "登记类型", "string", 1, false},
    {2, "就诊号", "number", 18, true},
    {4, "HIS门诊号", "string", 20, false},
    {5, "家庭编号", "string", 18, false},
    {6, "个人编号", "string", 20, false},
    {7, "辖区编码", "string", 18, false},
    {8, "姓名", "string", 40, false},
    {9, "性别代码", "string", 1, true},
    {10, "身份证", "string", 18, true},
    {11, "年龄", "number", 3, true},
    {12, "医疗证号", "string", 20, false},
    {13, "医疗卡号", "string", 20, true},
    {14, "农合疾病主诊断", "string", 12, false},
    {15, "农合疾病次诊断", "string", 12, true},
    {16, "入院科室编码", "string", 5, true},
    {17, "门诊日期", "date", 20, false},
    {18, "经治医师", "string", 20, true},
    {19, "就诊类型", "string", 1, false},
    {20, "来院状态", "string", 1, true},
    {21, "转院机构级别", "string", 1, true},
    {22, "转院机构编码", "string", 24, true},
};

// The 25 members the centre must receive for these arguments, with the
// values of the main centre's record in positions 3, 14, 15 and 23.
SentMembers sentFor(const Args& a) {
  auto value = [&](int number) { return a[number - 1] == kNullArgument ? std::string() : a[number - 1]; };
  return {{"regType", value(1)},
          {"clinicNo", value(2)},
          {"centerNo", Centres::kMain},
          {"hisClinicNo", value(4)},
          {"familyNo", value(5)},
          {"memberNo", value(6)},
          {"countryNo", value(7)},
          {"memberName", value(8)},
          {"sexCode", value(9)},
          {"idCard", value(10)},
          {"age", value(11)},
          {"bookNo", value(12)},
          {"cardNo", value(13)},
          {"hosNo", Centres::kHospCode},
          {"hosLevel", Centres::kOrgLevel},
          {"firstIcdNo", value(14)},
          {"secondIcdNo", value(15)},
          {"inOfficeNo", value(16)},
          {"clinicDate", value(17)},
          {"clinicDoctor", value(18)},
          {"cureCode", value(19)},
          {"inHosId", value(20)},
          {"operator", Centres::kUserNo},
          {"turnLevel", value(21)},
          {"turnHosNo", value(22)}};
}

std::string clinicNoDoc(const std::string& value) { return successDoc(kFid, 1, {{{0, "clinicNo", value}}}); }

class OutpatientRegister : public ExportTest {};

TEST_F(OutpatientRegister, Registers) {
  const Args valid = validRegistration();
  Args optionalEmpty = valid;
  for (int number : {2, 9, 10, 11, 13, 15, 16, 18, 20, 21, 22}) optionalEmpty = with(optionalEmpty, number, "");
  Args optionalNull = valid;
  for (int number : {2, 9, 10, 11, 13, 15, 16, 18, 20, 21, 22})
    optionalNull = with(optionalNull, number, kNullArgument);
  const Args atLimits = atTheirLimits(valid, kRules);
  auto reply = [](const std::string& returnXml) { return Reply::soap("cliRegister", returnXml); };

  runCases({
      {"full registration", calling(callRegister, valid), reply(returnText("202400001")), clinicNoDoc("202400001"),
       "cliRegister", sentFor(valid)},
      {"empty centre code: the first centre, its CenterNO sent", calling(callRegister, with(valid, 3, "")),
       reply(returnText("202400002")), clinicNoDoc("202400002"), "cliRegister", sentFor(valid)},
      {"null centre code: the first centre", calling(callRegister, with(valid, 3, kNullArgument)),
       reply(returnText("202400003")), clinicNoDoc("202400003"), "cliRegister", sentFor(valid)},
      {"empty optional arguments are sent as empty members", calling(callRegister, optionalEmpty),
       reply(returnText("7")), clinicNoDoc("7"), "cliRegister", sentFor(optionalEmpty)},
      {"null optional arguments are sent as empty members", calling(callRegister, optionalNull), reply(returnText("8")),
       clinicNoDoc("8"), "cliRegister", sentFor(optionalEmpty)},
      {"every argument at its limit", calling(callRegister, atLimits), reply(returnText("9")), clinicNoDoc("9"),
       "cliRegister", sentFor(atLimits)},
      {"a GBK visit number is decoded", calling(callRegister, valid), reply(returnText(gbk("门诊一号"))),
       clinicNoDoc(gbk("门诊一号"))},
      {"a visit number that is not base64 is shown as received", calling(callRegister, valid),
       reply("<return>MZ-0001</return>"), clinicNoDoc("MZ-0001")},
      {"absent return: one row with an empty value", calling(callRegister, valid), reply(""), clinicNoDoc("")},
  });
}

TEST_F(OutpatientRegister, ChecksInArgumentOrder) {
  const Args valid = validRegistration();
  Args unconfiguredAndBad = with(with(with(valid, 3, Centres::kUnknown), 1, ""), 17, "bad");
  runCases({
      {"unconfigured centre with bad arguments: the lookup comes first", calling(callRegister, unconfiguredAndBad),
       std::nullopt, centreNotFound(kFid)},
      {"empty arguments 1 and 8: only the first is reported", calling(callRegister, with(with(valid, 1, ""), 8, "")),
       std::nullopt, failureDoc(kFid, "300", "登记类型不能为空")},
      {"null argument 1 is empty", calling(callRegister, with(valid, 1, kNullArgument)), std::nullopt,
       failureDoc(kFid, "300", "登记类型不能为空")},
      {"visit number of 19 digits", calling(callRegister, with(valid, 2, "1234567890123456789")), std::nullopt,
       failureDoc(kFid, "300", "就诊号长度超过")},
      {"visit number with a letter", calling(callRegister, with(valid, 2, "20240A")), std::nullopt,
       failureDoc(kFid, "300", "就诊号非数字格式")},
      {"age of four digits", calling(callRegister, with(valid, 11, "1000")), std::nullopt,
       failureDoc(kFid, "300", "年龄长度超过")},
      {"age of two characters with a letter", calling(callRegister, with(valid, 11, "3a")), std::nullopt,
       failureDoc(kFid, "300", "年龄非数字格式")},
      {"outpatient date without leading zeros", calling(callRegister, with(valid, 17, "2024-3-5")), std::nullopt,
       failureDoc(kFid, "300", "门诊日期非日期格式:yyyy-MM-dd")},
      {"outpatient date of 30 bytes: judged by its shape", calling(callRegister, with(valid, 17, std::string(30, '2'))),
       std::nullopt, failureDoc(kFid, "300", "门诊日期非日期格式:yyyy-MM-dd")},
      {"configured 13-byte centre code", calling(callRegister, with(valid, 3, Centres::kThirteen)), std::nullopt,
       failureDoc(kFid, "300", "农合中心编码长度超过")},
      {"13-byte centre code after a bad argument 2",
       calling(callRegister, with(with(valid, 3, Centres::kThirteen), 2, "x")), std::nullopt,
       failureDoc(kFid, "300", "就诊号非数字格式")},
      {"13-byte centre code before a bad argument 4",
       calling(callRegister, with(with(valid, 3, Centres::kThirteen), 4, "")), std::nullopt,
       failureDoc(kFid, "300", "农合中心编码长度超过")},
  });
  runCases(brokenArgumentCases(kFid, "300", kRules, valid, callRegister));
}

TEST_F(OutpatientRegister, SharedFailures) {
  runCases(sharedFailureCases(kFid, [](const char* centre) {
    Args a = validRegistration();
    a[2] = centre;
    return callRegister(a);
  }));
}

}  // namespace
