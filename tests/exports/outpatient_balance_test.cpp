// SPDX-License-Identifier: MIT
// cliAuditingSeek, isCashRedeem, cliBalance and cliStrikeBalance against the
// scripted centre.
#include <gtest/gtest.h>

#include "NvInterFace.h"
#include "tests/exports/outpatient_cases.h"

namespace {

using namespace nvtest;

class OutpatientBalance : public ExportTest {};

// ---- The three settlement queries ---------------------------------------

// Each sends the settlement number and shows the centre's one text.
TEST_F(OutpatientBalance, SettlementQueriesShowOneText) {
  for (const KeyedExport& q : {KeyedExport{"cliAuditingSeek", cliAuditingSeek, "cliAuditingSeek", "State"},
                               KeyedExport{"isCashRedeem", isCashRedeem, "isCashRedeem", "sign"},
                               KeyedExport{"cliStrikeBalance", cliStrikeBalance, "cliStrikeBalance", "sign"}}) {
    SCOPED_TRACE(q.functionId);
    const std::string fid = q.functionId;
    auto call = [&](std::string key, std::string centre) { return callingKeyed(q, std::move(key), std::move(centre)); };
    auto doc = [&](const std::string& value) { return successDoc(fid, 1, {{{0, q.name, value}}}); };
    auto reply = [&](const std::string& xml) { return Reply::soap(q.operation, xml); };
    runCases({
        {"answered", call("BC2024000001", Centres::kMain), reply(returnText(gbk("已审核"))), doc(gbk("已审核")),
         q.operation, SentMembers{{"settlementNo", "BC2024000001"}}},
        {"empty centre code: the first centre", call("BC2024000002", ""), reply(returnText("1")), doc("1"), q.operation,
         SentMembers{{"settlementNo", "BC2024000002"}}},
        {"20 bytes with letters", call(std::string(20, 'B'), Centres::kMain), reply(returnText("0")), doc("0"),
         q.operation, SentMembers{{"settlementNo", std::string(20, 'B')}}},
        {"absent return: one row with an empty value", call("B1", Centres::kMain), reply(""), doc("")},
        refusedCase("empty number", call("", Centres::kMain), fid, "600", "门诊补偿单号不能为空"),
        refusedCase("null number", call(kNullArgument, Centres::kMain), fid, "600", "门诊补偿单号不能为空"),
        refusedCase("21 bytes", call(std::string(21, 'B'), Centres::kMain), fid, "600", "门诊补偿单号长度超过"),
        refusedCase("configured 13-byte centre code", call("B1", Centres::kThirteen), fid, "600",
                    "农合中心编码长度超过"),
        {"unconfigured centre", call("", Centres::kUnknown), std::nullopt, centreNotFound(fid)},
    });
  }
}

// ---- cliBalance ---------------------------------------------------------

const std::string kBalanceFid = "CliBalance";

std::function<char*()> callBalance(std::string visitNo, std::string amount, std::string centre) {
  return calling(byArgs(cliBalance), {std::move(visitNo), std::move(amount), std::move(centre)});
}

TEST_F(OutpatientBalance, BalanceWritesTwelveFigures) {
  const std::vector<std::string> values = {"300.00", "50.00", "120.00", "40.00",         "90.00", "150.00",
                                           "260.00", "12.00", "1",      gbk("门诊统筹"), "H4401", "180.00"};
  Fields fields;
  for (size_t i = 0; i < kClinicBalanceColumns.size(); ++i)
    fields.emplace_back(kClinicBalanceColumns[i].second, values[i]);
  const std::string balance = recordXml("return", fields);
  const std::string balanced = successDoc(kBalanceFid, 12, {rowOf(kClinicBalanceColumns, values)});
  auto sent = [](const std::string& visitNo, const std::string& amount) {
    return SentMembers{{"settlementNo", visitNo}, {"familyAccountGeld", amount}, {"userNo", Centres::kUserNo}};
  };
  auto reply = [](const std::string& xml) { return Reply::soap("cliBalance", xml); };
  runCases({
      {"balanced", callBalance("202400001", "20.5", Centres::kMain), reply(balance), balanced, "cliBalance",
       sent("202400001", "20.5")},
      {"empty centre code: the first centre's UserNo", callBalance("202400002", "0", ""), reply(balance), balanced,
       "cliBalance", sent("202400002", "0")},
      {"18-digit visit number and amount", callBalance(std::string(18, '1'), std::string(18, '2'), Centres::kMain),
       reply(balance), balanced, "cliBalance", sent(std::string(18, '1'), std::string(18, '2'))},
      {"absent members are empty values", callBalance("1", "0", Centres::kMain),
       reply(recordXml("return", {{"redeemMoney", "7"}, {"totalCosts", "8"}})),
       successDoc(kBalanceFid, 12, {rowOf(kClinicBalanceColumns, {"8", "", "", "", "", "", "", "", "", "", "", "7"})})},
      {"absent return: one row of empty values", callBalance("1", "0", Centres::kMain), reply(""),
       successDoc(kBalanceFid, 12, {emptyRowOf(kClinicBalanceColumns)})},
  });
}

TEST_F(OutpatientBalance, BalanceChecksUnder300) {
  runCases({
      refusedCase("amount with a letter", callBalance("202400001", "20a", Centres::kMain), kBalanceFid, "300",
                  "家庭帐户支付补偿金额非数字格式"),
      refusedCase("empty amount", callBalance("202400001", "", Centres::kMain), kBalanceFid, "300",
                  "家庭帐户支付补偿金额不能为空"),
      refusedCase("amount of 19 digits", callBalance("202400001", std::string(19, '2'), Centres::kMain), kBalanceFid,
                  "300", "家庭帐户支付补偿金额长度超过"),
      refusedCase("visit number of 19 digits", callBalance(std::string(19, '1'), "0", Centres::kMain), kBalanceFid,
                  "300", "门诊就诊号长度超过"),
      refusedCase("visit number with a letter", callBalance("MZ1", "0", Centres::kMain), kBalanceFid, "300",
                  "门诊就诊号非数字格式"),
      refusedCase("empty visit number and amount: the visit number first", callBalance("", "", Centres::kMain),
                  kBalanceFid, "300", "门诊就诊号不能为空"),
      refusedCase("configured 13-byte centre code", callBalance("1", "0", Centres::kThirteen), kBalanceFid, "300",
                  "农合中心编码长度超过"),
      refusedCase("13-byte centre code after a bad amount", callBalance("1", "x", Centres::kThirteen), kBalanceFid,
                  "300", "家庭帐户支付补偿金额非数字格式"),
      {"unconfigured centre with bad arguments", callBalance("", "x", Centres::kUnknown), std::nullopt,
       centreNotFound(kBalanceFid)},
  });
  runCases(sharedFailureCases(kBalanceFid, [](const char* centre) { return cliBalance("202400001", "0", centre); }));
}

}  // namespace
