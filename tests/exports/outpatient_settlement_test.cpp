// SPDX-License-Identifier: MIT
// cliCalculate, cliSettlement, cliCancelSettlement and cliSeek against the
// scripted centre.
#include <gtest/gtest.h>

#include "NvInterFace.h"
#include "tests/exports/outpatient_cases.h"

namespace {

using namespace nvtest;

std::function<char*()> call(TwoTextExport fn, std::string key, std::string centre) {
  return calling(byArgs(fn), {std::move(key), std::move(centre)});
}

// One row, one named column.
std::string textDoc(const std::string& fid, const std::string& colname, const std::string& value) {
  return successDoc(fid, 1, {{{0, colname, value}}});
}

class OutpatientSettlement : public ExportTest {};

// ---- cliCalculate -------------------------------------------------------

const std::string kCalcFid = "cliCalculate";

TEST_F(OutpatientSettlement, CalculateWritesEightFigures) {
  const std::string figures = recordXml("return", {{"totalMoney", "125.50"},
                                                   {"enableTotal", "100.00"},
                                                   {"checkMoney", "20.00"},
                                                   {"familyAccountMoney", "5.50"},
                                                   {"doorRedeemNumber", "3"},
                                                   {"doorRedeemMoney", "60.00"},
                                                   {"memberRedeemNumber", "2"},
                                                   {"memberRedeemMoney", "40.00"}});
  const Row row = rowOf(kClinicCalculationColumns, {"125.50", "100.00", "20.00", "5.50", "3", "60.00", "2", "40.00"});
  // Members in another order are read all the same; absent ones are empty.
  const std::string partial = recordXml("return", {{"memberRedeemMoney", "9"}, {"checkMoney", "1"}});
  auto reply = [](const std::string& xml) { return Reply::soap("cliCalculate", xml); };
  runCases({
      {"eight figures, colnum 0 1 7 2 3 4 5 6", call(cliCalculate, "202400001", Centres::kMain), reply(figures),
       successDoc(kCalcFid, 8, {row}), "cliCalculate", SentMembers{{"clinicNo", "202400001"}}},
      {"empty centre code: the first centre", call(cliCalculate, "MZ202400001", ""), reply(figures),
       successDoc(kCalcFid, 8, {row}), "cliCalculate", SentMembers{{"clinicNo", "MZ202400001"}}},
      {"visit number of 20 bytes with letters", call(cliCalculate, std::string(20, 'Z'), Centres::kMain),
       reply(figures), successDoc(kCalcFid, 8, {row}), "cliCalculate", SentMembers{{"clinicNo", std::string(20, 'Z')}}},
      {"absent members are empty values", call(cliCalculate, "1", Centres::kMain), reply(partial),
       successDoc(kCalcFid, 8, {rowOf(kClinicCalculationColumns, {"", "", "1", "", "", "", "", "9"})})},
      {"empty record: one row of empty values", call(cliCalculate, "1", Centres::kMain), reply("<return/>"),
       successDoc(kCalcFid, 8, {emptyRowOf(kClinicCalculationColumns)})},
      {"absent return: one row of empty values", call(cliCalculate, "1", Centres::kMain), reply(""),
       successDoc(kCalcFid, 8, {emptyRowOf(kClinicCalculationColumns)})},
      refusedCase("empty visit number", call(cliCalculate, "", Centres::kMain), kCalcFid, "600", "门诊就诊号不能为空"),
      refusedCase("visit number of 21 bytes", call(cliCalculate, std::string(21, 'Z'), Centres::kMain), kCalcFid, "600",
                  "门诊就诊号长度超过"),
      refusedCase("configured 13-byte centre code", call(cliCalculate, "1", Centres::kThirteen), kCalcFid, "600",
                  "农合中心编码长度超过"),
      {"unconfigured centre", call(cliCalculate, "", Centres::kUnknown), std::nullopt, centreNotFound(kCalcFid)},
  });
}

// ---- cliSettlement ------------------------------------------------------

const std::string kSettleFid = "cliSettlement";

TEST_F(OutpatientSettlement, SettlementSendsTheCentresUser) {
  auto reply = [](const std::string& xml) { return Reply::soap("cliSettlement", xml); };
  runCases({
      {"settled", call(cliSettlement, "202400001", Centres::kMain), reply(returnText("BC2024000001")),
       textDoc(kSettleFid, "settlementNo", "BC2024000001"), "cliSettlement",
       SentMembers{{"clinicNo", "202400001"}, {"userNo", Centres::kUserNo}}},
      {"empty centre code: the first centre's UserNo", call(cliSettlement, "202400002", ""),
       reply(returnText("BC2024000002")), textDoc(kSettleFid, "settlementNo", "BC2024000002"), "cliSettlement",
       SentMembers{{"clinicNo", "202400002"}, {"userNo", Centres::kUserNo}}},
      {"visit number of 20 bytes with letters", call(cliSettlement, std::string(20, 'q'), Centres::kMain),
       reply(returnText("S")), textDoc(kSettleFid, "settlementNo", "S"), "cliSettlement",
       SentMembers{{"clinicNo", std::string(20, 'q')}, {"userNo", Centres::kUserNo}}},
      {"absent return: one row with an empty value", call(cliSettlement, "1", Centres::kMain), reply(""),
       textDoc(kSettleFid, "settlementNo", "")},
      refusedCase("empty visit number", call(cliSettlement, "", Centres::kMain), kSettleFid, "600",
                  "门诊就诊号不能为空"),
      refusedCase("null visit number", call(cliSettlement, kNullArgument, Centres::kMain), kSettleFid, "600",
                  "门诊就诊号不能为空"),
      refusedCase("visit number of 21 bytes", call(cliSettlement, std::string(21, 'q'), Centres::kMain), kSettleFid,
                  "600", "门诊就诊号长度超过"),
      refusedCase("configured 13-byte centre code", call(cliSettlement, "1", Centres::kThirteen), kSettleFid, "600",
                  "农合中心编码长度超过"),
  });
  runCases(sharedFailureCases(kSettleFid, [](const char* centre) { return cliSettlement("202400001", centre); }));
}

// ---- cliCancelSettlement ------------------------------------------------

const std::string kCancelFid = "cliCancelSettlement";

TEST_F(OutpatientSettlement, CancelSettlementAnswersWithTheCodeAlone) {
  runCases({
      {"cancelled: no data rows", call(cliCancelSettlement, "BC2024000001", Centres::kMain),
       Reply::soap("cliCancelSettlement", ""), successDoc(kCancelFid, 0, {}), "cliCancelSettlement",
       SentMembers{{"settlementNo", "BC2024000001"}}},
      {"empty centre code, 20 bytes: the first centre", call(cliCancelSettlement, std::string(20, 'B'), ""),
       Reply::soap("cliCancelSettlement", ""), successDoc(kCancelFid, 0, {}), "cliCancelSettlement",
       SentMembers{{"settlementNo", std::string(20, 'B')}}},
      refusedCase("empty number", call(cliCancelSettlement, "", Centres::kMain), kCancelFid, "600",
                  "门诊补偿单号不能为空"),
      refusedCase("number of 21 bytes", call(cliCancelSettlement, std::string(21, 'B'), Centres::kMain), kCancelFid,
                  "600", "门诊补偿单号长度超过"),
      refusedCase("configured 13-byte centre code", call(cliCancelSettlement, "B", Centres::kThirteen), kCancelFid,
                  "600", "农合中心编码长度超过"),
  });
}

// ---- cliSeek ------------------------------------------------------------

const std::string kSeekFid = "CliSeek";

TEST_F(OutpatientSettlement, SeekByMemberCode) {
  auto reply = [](const std::string& xml) { return Reply::soap("cliSeek", xml); };
  runCases({
      {"found", call(cliSeek, "3411220101001", Centres::kMain), reply(returnText(gbk("明细一"))),
       textDoc(kSeekFid, "DETAIL_ID", gbk("明细一")), "cliSeek", SentMembers{{"memberNo", "3411220101001"}}},
      {"empty centre code, 18 digits: the first centre", call(cliSeek, std::string(18, '7'), ""),
       reply(returnText("D7")), textDoc(kSeekFid, "DETAIL_ID", "D7"), "cliSeek",
       SentMembers{{"memberNo", std::string(18, '7')}}},
      {"absent return: one row with an empty value", call(cliSeek, "1", Centres::kMain), reply(""),
       textDoc(kSeekFid, "DETAIL_ID", "")},
      refusedCase("member code with a letter", call(cliSeek, "34112A", Centres::kMain), kSeekFid, "300",
                  "成员编码非数字格式"),
      refusedCase("member code of 19 digits", call(cliSeek, std::string(19, '7'), Centres::kMain), kSeekFid, "300",
                  "成员编码长度超过"),
      refusedCase("empty member code", call(cliSeek, "", Centres::kMain), kSeekFid, "300", "成员编码不能为空"),
      refusedCase("configured 13-byte centre code", call(cliSeek, "1", Centres::kThirteen), kSeekFid, "300",
                  "农合中心编码长度超过"),
      {"unconfigured centre", call(cliSeek, "x", Centres::kUnknown), std::nullopt, centreNotFound(kSeekFid)},
  });
}

}  // namespace
