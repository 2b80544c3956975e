// SPDX-License-Identifier: MIT
// Which centre an outpatient export talks to, and what of its record it
// sends.
#include <gtest/gtest.h>

#include "NvInterFace.h"
#include "tests/exports/outpatient_cases.h"

namespace {

using namespace nvtest;

class OutpatientCentres : public SecondCentreTest {};

TEST_F(OutpatientCentres, NoConfigurationFileBeforeAnyCheck) {
  dir.removeConfig();
  const std::string bad = "x?";
  runCases({
      {"cliRegister",
       [&] {
         return cliRegister(nullptr, bad.c_str(), "", "", "", "", "", "", "", "", bad.c_str(), "", "", "", "", "",
                            bad.c_str(), "", "", "", "", "");
       },
       std::nullopt, centreNotFound("CliRegister")},
      {"cliDetailInput",
       [&] {
         return cliDetailInput("", nullptr, bad.c_str(), "", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
                               "");
       },
       std::nullopt, centreNotFound("CliDetailInput")},
      {"cliDetailSeek", [] { return cliDetailSeek("", ""); }, std::nullopt, centreNotFound("CliDetailSeek")},
      {"cliCancelFee", [] { return cliCancelFee("x", nullptr); }, std::nullopt, centreNotFound("CliCancelFee")},
      {"cliSingleCancleFee", [] { return cliSingleCancleFee(nullptr, ""); }, std::nullopt,
       centreNotFound("CliSingleCancleFee")},
      {"cliCalculate", [] { return cliCalculate("", Centres::kMain); }, std::nullopt, centreNotFound("cliCalculate")},
      {"cliSettlement", [] { return cliSettlement("", ""); }, std::nullopt, centreNotFound("cliSettlement")},
      {"cliCancelSettlement", [] { return cliCancelSettlement("", ""); }, std::nullopt,
       centreNotFound("cliCancelSettlement")},
      {"cliSeek", [] { return cliSeek("abc", ""); }, std::nullopt, centreNotFound("CliSeek")},
      {"cliAuditingSeek", [] { return cliAuditingSeek("", ""); }, std::nullopt, centreNotFound("cliAuditingSeek")},
      {"isCashRedeem", [] { return isCashRedeem("", ""); }, std::nullopt, centreNotFound("isCashRedeem")},
      {"cliBalance", [] { return cliBalance("a", "b", ""); }, std::nullopt, centreNotFound("CliBalance")},
      {"cliStrikeBalance", [] { return cliStrikeBalance(nullptr, nullptr); }, std::nullopt,
       centreNotFound("cliStrikeBalance")},
  });
}

// A centre other than the first sends the values of its own record.
TEST_F(OutpatientCentres, TheChosenCentresRecordIsSent) {
  const char* kSecond = SecondCentre::kCode;
  const std::string op = SecondCentre::kUserNo;
  const std::string name = gbk("王五");
  runCases({
      {"cliRegister",
       [&] {
         return cliRegister("1", "", kSecond, "MZ1", "F1", "M1", "C1", name.c_str(), "", "", "", "B1", "", "J06", "",
                            "", "2024-03-05", "", "1", "", "", "");
       },
       Reply::soap("cliRegister", returnText("88")), successDoc("CliRegister", 1, {{{0, "clinicNo", "88"}}}),
       "cliRegister",
       SentMembers{{"regType", "1"},
                   {"clinicNo", ""},
                   {"centerNo", kSecond},
                   {"hisClinicNo", "MZ1"},
                   {"familyNo", "F1"},
                   {"memberNo", "M1"},
                   {"countryNo", "C1"},
                   {"memberName", name},
                   {"sexCode", ""},
                   {"idCard", ""},
                   {"age", ""},
                   {"bookNo", "B1"},
                   {"cardNo", ""},
                   {"hosNo", SecondCentre::kHospCode},
                   {"hosLevel", SecondCentre::kOrgLevel},
                   {"firstIcdNo", "J06"},
                   {"secondIcdNo", ""},
                   {"inOfficeNo", ""},
                   {"clinicDate", "2024-03-05"},
                   {"clinicDoctor", ""},
                   {"cureCode", "1"},
                   {"inHosId", ""},
                   {"operator", op},
                   {"turnLevel", ""},
                   {"turnHosNo", ""}}},
      {"cliSettlement", [&] { return cliSettlement("88", kSecond); }, Reply::soap("cliSettlement", returnText("S88")),
       successDoc("cliSettlement", 1, {{{0, "settlementNo", "S88"}}}), "cliSettlement",
       SentMembers{{"clinicNo", "88"}, {"userNo", op}}},
      {"cliBalance", [&] { return cliBalance("88", "1.5", kSecond); }, Reply::soap("cliBalance", ""),
       successDoc("CliBalance", 12, {emptyRowOf(kClinicBalanceColumns)}), "cliBalance",
       SentMembers{{"settlementNo", "88"}, {"familyAccountGeld", "1.5"}, {"userNo", op}}},
  });
}

}  // namespace
