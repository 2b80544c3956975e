// SPDX-License-Identifier: MIT
// cliDetailInput, cliDetailSeek, cliCancelFee and cliSingleCancleFee
// against the scripted centre.
#include <gtest/gtest.h>

#include "NvInterFace.h"
#include "tests/exports/outpatient_cases.h"

namespace {

using namespace nvtest;

// ---- cliDetailInput -----------------------------------------------------

const std::string kInputFid = "CliDetailInput";

char* callDetailInput(const Args& a) {
  return cliDetailInput(cText(a[0]), cText(a[1]), cText(a[2]), cText(a[3]), cText(a[4]), cText(a[5]), cText(a[6]),
                        cText(a[7]), cText(a[8]), cText(a[9]), cText(a[10]), cText(a[11]), cText(a[12]), cText(a[13]),
                        cText(a[14]), cText(a[15]), cText(a[16]), cText(a[17]), cText(a[18]));
}

// clang-format off
Args validFeeItem() {
  return {"1",     Centres::kMain, "202400001", "RX0001",    "12",    "HIS-AMX-01", "XA01",
          "01",    gbk("阿莫西林胶囊"), "0.25g*24", gbk("盒"), gbk("胶囊"), "12.5", "2",
          "25",    "23.75", "2024-03-05", "0.8", "19"};
}
// clang-format on

// Arguments other than the centre code, as the HIS documentation tables them.
const std::vector<ArgumentRule> kInputRules = withFeeItemRules({
    {1, "登记类型", "string", 1, false},
    {3, "门诊就诊号", "number", 18, false},
    {4, "门诊处方流水号", "string", 100, true},
});

// The 18 members in the order of the operation; the HIS item code last.
SentMembers sentFor(const Args& a) {
  auto v = [&](int number) { return a[number - 1]; };
  return {{"type", v(1)},         {"no", v(3)},           {"clinicRxNo", v(4)},
          {"detailNo", v(5)},     {"code", v(7)},         {"classId", v(8)},
          {"name", v(9)},         {"spec", v(10)},        {"unit", v(11)},
          {"conf", v(12)},        {"price", v(13)},       {"quantity", v(14)},
          {"money", v(15)},       {"factMoney", v(16)},   {"useDate", v(17)},
          {"enableRatio", v(18)}, {"enableMoney", v(19)}, {"hisLeechdomCode", v(6)}};
}

std::string detailNoDoc(const std::string& value) { return successDoc(kInputFid, 1, {{{0, "detailno", value}}}); }

class OutpatientFees : public ExportTest {};

TEST_F(OutpatientFees, DetailInputUploadsOneItem) {
  const Args valid = validFeeItem();
  const Args atLimits = atTheirLimits(valid, kInputRules);
  auto reply = [](const std::string& returnXml) { return Reply::soap("cliDetailInput", returnXml); };
  runCases({
      {"one item, the HIS item code sent last", calling(callDetailInput, valid), reply(returnText("5001")),
       detailNoDoc("5001"), "cliDetailInput", sentFor(valid)},
      {"empty centre code: the first centre", calling(callDetailInput, with(valid, 2, "")), reply(returnText("5002")),
       detailNoDoc("5002"), "cliDetailInput", sentFor(with(valid, 2, ""))},
      {"empty amount is sent empty", calling(callDetailInput, with(valid, 15, "")), reply(returnText("5003")),
       detailNoDoc("5003"), "cliDetailInput", sentFor(with(valid, 15, ""))},
      {"amount other than quantity times price is sent unchanged", calling(callDetailInput, with(valid, 15, "999")),
       reply(returnText("5004")), detailNoDoc("5004"), "cliDetailInput", sentFor(with(valid, 15, "999"))},
      {"a full date of use passes although its limit reads 5", calling(callDetailInput, with(valid, 17, "2024-12-31")),
       reply(returnText("5005")), detailNoDoc("5005"), "cliDetailInput", sentFor(with(valid, 17, "2024-12-31"))},
      {"every argument at its limit", calling(callDetailInput, atLimits), reply(returnText("5006")),
       detailNoDoc("5006"), "cliDetailInput", sentFor(atLimits)},
      {"absent return: one row with an empty value", calling(callDetailInput, valid), reply(""), detailNoDoc("")},
  });
}

TEST_F(OutpatientFees, DetailInputChecksOneThreeTwoThenTheRest) {
  const Args valid = validFeeItem();
  const Args thirteen = with(valid, 2, Centres::kThirteen);
  runCases({
      {"unconfigured centre never reaches the checks",
       calling(callDetailInput, with(with(valid, 2, Centres::kUnknown), 3, "")), std::nullopt,
       centreNotFound(kInputFid)},
      {"13-byte centre code and empty visit number: the visit number first",
       calling(callDetailInput, with(thirteen, 3, "")), std::nullopt,
       failureDoc(kInputFid, "300", "门诊就诊号不能为空")},
      refusedCase("13-byte centre code and a valid visit number", calling(callDetailInput, thirteen), kInputFid, "300",
                  "农合中心编码长度超过"),
      {"13-byte centre code before a bad argument 4",
       calling(callDetailInput, with(thirteen, 4, std::string(101, 'r'))), std::nullopt,
       failureDoc(kInputFid, "300", "农合中心编码长度超过")},
      {"empty arguments 1 and 3: argument 1 first", calling(callDetailInput, with(with(valid, 1, ""), 3, "")),
       std::nullopt, failureDoc(kInputFid, "300", "登记类型不能为空")},
      refusedCase("empty HIS item code", calling(callDetailInput, with(valid, 6, "")), kInputFid, "300",
                  "HIS药品编码不能为空"),
      refusedCase("null HIS item code", calling(callDetailInput, with(valid, 6, kNullArgument)), kInputFid, "300",
                  "HIS药品编码不能为空"),
  });
  runCases(brokenArgumentCases(kInputFid, "300", kInputRules, valid, callDetailInput));
}

// ---- cliDetailSeek ------------------------------------------------------

const std::string kSeekFid = "CliDetailSeek";

const char* const kDetailMembers[] = {"detailId",     "clinicNo",    "clinicRxno", "insureId", "name",    "spec",
                                      "unit",         "conf",        "price",      "quantity", "useDate", "factMoney",
                                      "enableRation", "enableMoney", "classNo",    "money"};

// Columns as the HIS reads them, each with the member it shows.
const struct {
  int colnum;
  const char* colname;
  const char* member;
} kDetailColumns[] = {
    {0, "detailno", "detailId"},
    {1, "no", "clinicNo"},
    {2, "clinicRxno", "clinicRxno"},
    {3, "CODE", "insureId"},
    {4, "NAME", "name"},
    {5, "SPEC", "spec"},
    {6, "UNIT", "unit"},
    {7, "CONF", "conf"},
    {8, "PRICE", "price"},
    {9, "QUANTITY", "quantity"},
    {10, "FACT_MONEY", "factMoney"},
    {11, "USE_DATE", "useDate"},
    {12, "ENABLE_RATIO", "enableRation"},
    {13, "ENABLE_MONEY", "enableMoney"},
    {14, "classId", "classNo"},
    {15, "money", "money"},
};

// The value item n holds in a member: its name and n, the name in GBK.
std::string detailValue(const std::string& member, int n) {
  return (member == "name" ? gbk("维生素C片") : member) + "-" + std::to_string(n);
}

std::string detailItem(int n) {
  Fields fields;
  for (const char* member : kDetailMembers) fields.emplace_back(member, detailValue(member, n));
  return recordXml("list", fields);
}

Row detailRow(int n) {
  Row row;
  for (const auto& c : kDetailColumns) row.push_back({c.colnum, c.colname, detailValue(c.member, n)});
  return row;
}

TEST_F(OutpatientFees, DetailSeekListsTheItems) {
  auto call = [](std::string clinicNo, std::string centre) {
    return calling(byArgs(cliDetailSeek), {std::move(clinicNo), std::move(centre)});
  };
  auto reply = [](const std::string& membersXml) { return Reply::soap("cliDetailSeek", membersXml); };
  const std::string nil = "<list xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:nil=\"true\"/>";
  Row sparse = detailRow(5);
  for (Col& col : sparse)
    if (col.colnum != 4 && col.colnum != 10) col.value = "";
  const std::string sparseItem =
      recordXml("list", {{"name", detailValue("name", 5)}, {"factMoney", detailValue("factMoney", 5)}});
  Row empty;
  for (const auto& c : kDetailColumns) empty.push_back({c.colnum, c.colname, ""});

  runCases({
      {"three items in the order received", call("202400001", Centres::kMain),
       reply("<return>" + detailItem(0) + detailItem(1) + detailItem(2) + "</return>"),
       successDoc(kSeekFid, 16, {detailRow(0), detailRow(1), detailRow(2)}), "cliDetailSeek",
       SentMembers{{"clinicNo", "202400001"}}},
      {"empty centre code: the first centre", call("MZ-20240001-ABCDEFGH", ""),
       reply("<return>" + detailItem(7) + "</return>"), successDoc(kSeekFid, 16, {detailRow(7)}), "cliDetailSeek",
       SentMembers{{"clinicNo", "MZ-20240001-ABCDEFGH"}}},
      {"a visit without fee items", call("202400001", Centres::kMain), reply("<return/>"),
       successDoc(kSeekFid, 16, {})},
      {"absent return: no rows", call("202400001", Centres::kMain), reply(""), successDoc(kSeekFid, 16, {})},
      {"a nil entry yields no row", call("202400001", Centres::kMain),
       reply("<return>" + detailItem(0) + nil + detailItem(2) + "</return>"),
       successDoc(kSeekFid, 16, {detailRow(0), detailRow(2)})},
      {"only nil entries", call("202400001", Centres::kMain), reply("<return>" + nil + nil + "</return>"),
       successDoc(kSeekFid, 16, {})},
      {"absent members are empty values", call("202400001", Centres::kMain),
       reply("<return>" + sparseItem + "<list/></return>"), successDoc(kSeekFid, 16, {sparse, empty})},
  });
}

TEST_F(OutpatientFees, DetailSeekChecksUnder600) {
  auto call = [](std::string clinicNo, std::string centre) {
    return calling(byArgs(cliDetailSeek), {std::move(clinicNo), std::move(centre)});
  };
  runCases({
      refusedCase("empty visit number", call("", Centres::kMain), kSeekFid, "600", "门诊就诊号不能为空"),
      refusedCase("null visit number", call(kNullArgument, Centres::kMain), kSeekFid, "600", "门诊就诊号不能为空"),
      refusedCase("visit number of 21 bytes", call(std::string(21, 'M'), Centres::kMain), kSeekFid, "600",
                  "门诊就诊号长度超过"),
      {"visit number of 20 bytes with letters", call(std::string(20, 'M'), Centres::kMain),
       Reply::soap("cliDetailSeek", "<return/>"), successDoc(kSeekFid, 16, {}), "cliDetailSeek",
       SentMembers{{"clinicNo", std::string(20, 'M')}}},
      refusedCase("configured 13-byte centre code", call("1", Centres::kThirteen), kSeekFid, "600",
                  "农合中心编码长度超过"),
      refusedCase("empty visit number and 13-byte centre code", call("", Centres::kThirteen), kSeekFid, "600",
                  "门诊就诊号不能为空"),
      {"unconfigured centre", call("", Centres::kUnknown), std::nullopt, centreNotFound(kSeekFid)},
  });
  runCases(sharedFailureCases(kSeekFid, [](const char* centre) { return cliDetailSeek("202400001", centre); }));
}

// ---- cliCancelFee and cliSingleCancleFee --------------------------------

// Both cancel by one number, checked as a visit number, and answer nothing.
TEST_F(OutpatientFees, CancellationsAnswerWithTheCodeAlone) {
  for (const KeyedExport& c :
       {KeyedExport{"CliCancelFee", cliCancelFee, "cliCancelFee", "clinicNo"},
        KeyedExport{"CliSingleCancleFee", cliSingleCancleFee, "cliSingleCancleFee", "detailNo"}}) {
    SCOPED_TRACE(c.functionId);
    const std::string fid = c.functionId;
    auto call = [&](std::string key, std::string centre) { return callingKeyed(c, std::move(key), std::move(centre)); };
    runCases({
        {"cancelled: no data rows", call("202400001", Centres::kMain), Reply::soap(c.operation, ""),
         successDoc(fid, 0, {}), c.operation, SentMembers{{c.name, "202400001"}}},
        {"empty centre code: the first centre", call("77", ""), Reply::soap(c.operation, ""), successDoc(fid, 0, {}),
         c.operation, SentMembers{{c.name, "77"}}},
        {"children of the answer are ignored", call("1", Centres::kMain),
         Reply::soap(c.operation, "<return>eA==</return>"), successDoc(fid, 0, {})},
        {"18 digits", call(std::string(18, '9'), Centres::kMain), Reply::soap(c.operation, ""), successDoc(fid, 0, {}),
         c.operation, SentMembers{{c.name, std::string(18, '9')}}},
        refusedCase("empty number", call("", Centres::kMain), fid, "300", "门诊就诊号不能为空"),
        refusedCase("null number", call(kNullArgument, Centres::kMain), fid, "300", "门诊就诊号不能为空"),
        refusedCase("19 digits", call("1234567890123456789", Centres::kMain), fid, "300", "门诊就诊号长度超过"),
        refusedCase("a letter", call("20240A01", Centres::kMain), fid, "300", "门诊就诊号非数字格式"),
        refusedCase("configured 13-byte centre code", call("1", Centres::kThirteen), fid, "300",
                    "农合中心编码长度超过"),
        {"unconfigured centre", call("x", Centres::kUnknown), std::nullopt, centreNotFound(fid)},
    });
  }
}

}  // namespace
