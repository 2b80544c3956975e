// SPDX-License-Identifier: MIT
// Catalogue downloads, the grade list of a stay and item matching against
// the scripted centre, including catalogues of 100,000 entries.
#include <gtest/gtest.h>

#include <time.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string_view>

#include "NvInterFace.h"
#include "tests/support/argument_rules.h"
#include "tests/support/big_catalogue.h"
#include "tests/support/export_cases.h"

namespace {

using namespace nvtest;

using Catalogue = SecondCentreTest;

const std::string kLastTime = "2024-03-01 08:00:00";

// An item of a list: each member base64 of value(member), but leftOut
// is absent.
template <class Value>
std::string item(const std::vector<std::string>& members, Value value, const std::string& leftOut = "") {
  std::string xml = "<list>";
  for (const std::string& m : members)
    if (m != leftOut) xml += "<" + m + ">" + base64Encode(value(m)) + "</" + m + ">";
  return xml + "</list>";
}

// The row of an item whose columns carry the members of their own names.
template <class Value>
Row row(const std::vector<std::string>& columns, Value value, const std::string& leftOut = "") {
  Row r;
  for (size_t i = 0; i < columns.size(); ++i)
    r.push_back({static_cast<int>(i), columns[i], columns[i] == leftOut ? "" : value(columns[i])});
  return r;
}

// ---- Disease catalogue ------------------------------------------------------

auto diseaseValue(int n) {
  return [n](const std::string& member) {
    return member == "icdName" ? gbk("肺炎") + std::to_string(n) : member + "-" + std::to_string(n);
  };
}

auto downloadingDiseases(std::string lastTime, const char* centre) {
  return [=] { return updateDisease(lastTime.c_str(), centre); };
}

Reply diseases(const std::string& listXml) {
  return Reply::soap("updateDisease", "<diseaseList>" + listXml + "</diseaseList>");
}

TEST_F(Catalogue, UpdateDisease) {
  const std::string fid = "UpdateDisease";
  const SentMembers sent = {{"lastTime", kLastTime}, {"centerNo", Centres::kMain}};
  runCases({
      {"two entries from diseaseList", downloadingDiseases(kLastTime, Centres::kMain),
       diseases(item(kDiseaseMembers, diseaseValue(0)) + item(kDiseaseMembers, diseaseValue(1))),
       successDoc(fid, 16, {row(kDiseaseMembers, diseaseValue(0)), row(kDiseaseMembers, diseaseValue(1))}),
       "updateDisease", sent},
      {"entries under return are not the catalogue", downloadingDiseases(kLastTime, Centres::kMain),
       Reply::soap("updateDisease", "<return>" + item(kDiseaseMembers, diseaseValue(0)) + "</return>"),
       successDoc(fid, 16, {})},
      {"empty centre code: the first centre's code, no hospital code", downloadingDiseases(kLastTime, ""), diseases(""),
       successDoc(fid, 16, {}), "updateDisease", sent},
      {"another centre: its code is sent", downloadingDiseases(kLastTime, SecondCentre::kCode), diseases(""),
       successDoc(fid, 16, {}), "updateDisease",
       SentMembers{{"lastTime", kLastTime}, {"centerNo", SecondCentre::kCode}}},
      {"no entries", downloadingDiseases(kLastTime, Centres::kMain), diseases(""), successDoc(fid, 16, {})},
      {"a missing member is an empty column", downloadingDiseases(kLastTime, Centres::kMain),
       diseases(item(kDiseaseMembers, diseaseValue(5), "chronicFlag")),
       successDoc(fid, 16, {row(kDiseaseMembers, diseaseValue(5), "chronicFlag")})},
      refusedCase("a date without a time", downloadingDiseases("2024-03-01", Centres::kMain), fid, "600",
                  "最后更新日期非时间格式:yyyy-MM-dd HH:mm:ss"),
      refusedCase("an empty time", downloadingDiseases("", Centres::kMain), fid, "600", "最后更新日期不能为空"),
      refusedCase("configured 13-byte centre code", downloadingDiseases(kLastTime, Centres::kThirteen), fid, "600",
                  "农合中心编码长度超过"),
      {"lookup before checks", downloadingDiseases("", Centres::kUnknown), std::nullopt, centreNotFound(fid)},
  });
}

// ---- Drug catalogue ---------------------------------------------------------

auto leechdomValue(int n) {
  return [n](const std::string& member) {
    return member == "name" ? gbk("阿莫西林") + std::to_string(n) : member + "-" + std::to_string(n);
  };
}

auto downloadingDrugs(std::string lastTime, const char* centre) {
  return [=] { return updateLeechdom(lastTime.c_str(), centre); };
}

Reply drugs(const std::string& listXml) { return Reply::soap("updateLeechdom", "<return>" + listXml + "</return>"); }

TEST_F(Catalogue, UpdateLeechdom) {
  const std::string fid = "UpdateLeechdom";
  const SentMembers sent = {{"lastTime", kLastTime}, {"centerNo", Centres::kMain}, {"hosNo", Centres::kHospCode}};
  Row prices = row(kLeechdomColumns, leechdomValue(2));
  runCases({
      {"two items, columns in their own order", downloadingDrugs(kLastTime, Centres::kMain),
       drugs(item(kLeechdomMembers, leechdomValue(0)) + item(kLeechdomMembers, leechdomValue(1))),
       successDoc(fid, 18, {row(kLeechdomColumns, leechdomValue(0)), row(kLeechdomColumns, leechdomValue(1))}),
       "updateLeechdom", sent},
      {"the approved prices at 16 and 17, each its own", downloadingDrugs(kLastTime, Centres::kMain),
       drugs(item(kLeechdomMembers, leechdomValue(2))),
       successDoc(fid, 18,
                  {{prices[0],
                    prices[1],
                    prices[2],
                    prices[3],
                    prices[4],
                    prices[5],
                    prices[6],
                    prices[7],
                    prices[8],
                    prices[9],
                    prices[10],
                    prices[11],
                    prices[12],
                    prices[13],
                    prices[14],
                    prices[15],
                    {16, "approveMinPrice", "approveMinPrice-2"},
                    {17, "approveMaxPrice", "approveMaxPrice-2"}}})},
      {"empty centre code: the first centre's codes are sent", downloadingDrugs(kLastTime, ""), drugs(""),
       successDoc(fid, 18, {}), "updateLeechdom", sent},
      {"another centre: its centre and hospital codes are sent", downloadingDrugs(kLastTime, SecondCentre::kCode),
       drugs(""), successDoc(fid, 18, {}), "updateLeechdom",
       SentMembers{{"lastTime", kLastTime}, {"centerNo", SecondCentre::kCode}, {"hosNo", SecondCentre::kHospCode}}},
      {"no items", downloadingDrugs(kLastTime, Centres::kMain), drugs(""), successDoc(fid, 18, {})},
      {"absent list: no rows", downloadingDrugs(kLastTime, Centres::kMain), Reply::soap("updateLeechdom", ""),
       successDoc(fid, 18, {})},
      {"a missing member is an empty column", downloadingDrugs(kLastTime, Centres::kMain),
       drugs(item(kLeechdomMembers, leechdomValue(4), "grade")),
       successDoc(fid, 18, {row(kLeechdomColumns, leechdomValue(4), "grade")})},
      refusedCase("a date without a time", downloadingDrugs("2024-03-01", Centres::kMain), fid, "600",
                  "最后更新日期非时间格式:yyyy-MM-dd HH:mm:ss"),
      refusedCase("an empty time", downloadingDrugs("", Centres::kMain), fid, "600", "最后更新日期不能为空"),
      {"lookup before checks", downloadingDrugs("", Centres::kUnknown), std::nullopt, centreNotFound(fid)},
  });
  runCases(sharedFailureCases(fid, [](const char* centre) { return updateLeechdom("2024-03-01 08:00:00", centre); }));
}

// ---- Grade list of a stay ---------------------------------------------------

const std::vector<std::string> kGradeMembers = {"inpatientSn", "startMoney", "endMoney", "ratio", "redeemMoney"};

auto gradeValue(int n) {
  return [n](const std::string& member) { return member + "-" + std::to_string(n); };
}

TEST_F(Catalogue, GetInpatientGradeList) {
  const std::string fid = "getInpatientGradeList";
  auto grading = [](const char* centre, std::string visit) {
    return [=] { return getInpatientGradeList(centre, visit.c_str()); };
  };
  const std::string visit = "202400000123";
  const SentMembers sent = {{"inpatientSn", visit}};
  runCases({
      {"three grades", grading(Centres::kMain, visit),
       Reply::soap("getInpatientGradeList", "<return>" + item(kGradeMembers, gradeValue(0)) +
                                                item(kGradeMembers, gradeValue(1)) +
                                                item(kGradeMembers, gradeValue(2)) + "</return>"),
       successDoc(
           fid, 5,
           {row(kGradeMembers, gradeValue(0)), row(kGradeMembers, gradeValue(1)), row(kGradeMembers, gradeValue(2))}),
       "getInpatientGradeList", sent},
      {"empty centre code: the first centre, only the visit number is sent", grading("", visit),
       Reply::soap("getInpatientGradeList", "<return/>"), successDoc(fid, 5, {}), "getInpatientGradeList", sent},
      {"no grades", grading(Centres::kMain, visit), Reply::soap("getInpatientGradeList", "<return></return>"),
       successDoc(fid, 5, {})},
      {"a missing member is an empty column", grading(Centres::kMain, visit),
       Reply::soap("getInpatientGradeList", "<return>" + item(kGradeMembers, gradeValue(4), "ratio") + "</return>"),
       successDoc(fid, 5, {row(kGradeMembers, gradeValue(4), "ratio")})},
      {"arguments in the order of the other downloads: the visit number is no centre",
       [visit] { return getInpatientGradeList(visit.c_str(), Centres::kMain); }, std::nullopt, centreNotFound(fid)},
      refusedCase("visit number with letters", grading(Centres::kMain, "ZY0001"), fid, "300",
                  "住院登记流水号非数字格式"),
      refusedCase("empty visit number", grading(Centres::kMain, ""), fid, "300", "住院登记流水号不能为空"),
      refusedCase("visit number of 19 digits", grading(Centres::kMain, std::string(19, '1')), fid, "300",
                  "住院登记流水号长度超过"),
      refusedCase("configured 13-byte centre code", grading(Centres::kThirteen, visit), fid, "300",
                  "农合中心编码长度超过"),
  });
}

// ---- Item matching ----------------------------------------------------------

TEST_F(Catalogue, MatchUpdate) {
  const std::string fid = "MatchUpdate";
  const Args valid = {Centres::kMain, "Y0001",   "HIS001",      gbk("阿莫西林胶囊"),
                      "0.25g*24",     gbk("盒"), gbk("胶囊剂"), "12.50"};
  auto matching = [](const Args& a) {
    return [a] {
      return matchUpdate(a[0].c_str(), a[1].c_str(), a[2].c_str(), a[3].c_str(), a[4].c_str(), a[5].c_str(),
                         a[6].c_str(), a[7].c_str());
    };
  };
  auto sent = [](const Args& a, const std::string& centre, const std::string& hosp) {
    return SentMembers{{"centerNo", centre}, {"hospitalSysno", hosp}, {"code", a[1]},
                       {"hisCode", a[2]},    {"hisName", a[3]},       {"hisSpec", a[4]},
                       {"hisUnit", a[5]},    {"hisConf", a[6]},       {"hisPrice", a[7]}};
  };
  const Args noDescription = with(valid, {{4, ""}, {5, ""}, {6, ""}, {7, ""}});
  const Args atLimit = with(valid, {{2, std::string(40, 'c')},
                                    {3, std::string(40, 'h')},
                                    {4, std::string(100, 'n')},
                                    {5, std::string(200, 's')},
                                    {6, std::string(100, 'u')},
                                    {7, std::string(100, 'f')},
                                    {8, std::string(18, '9')}});
  const std::string matched = successDoc(fid, 0, {});
  runCases({
      {"matched", matching(valid), Reply::soap("matchUpdate", ""), matched, "matchUpdate",
       sent(valid, Centres::kMain, Centres::kHospCode)},
      {"empty centre code: the first centre's codes are sent", matching(with(valid, {{1, ""}})),
       Reply::soap("matchUpdate", ""), matched, "matchUpdate", sent(valid, Centres::kMain, Centres::kHospCode)},
      {"another centre: its codes are sent", matching(with(valid, {{1, SecondCentre::kCode}})),
       Reply::soap("matchUpdate", ""), matched, "matchUpdate",
       sent(valid, SecondCentre::kCode, SecondCentre::kHospCode)},
      {"name, strength, unit and form empty are sent empty", matching(noDescription), Reply::soap("matchUpdate", ""),
       matched, "matchUpdate", sent(noDescription, Centres::kMain, Centres::kHospCode)},
      {"every argument at its limit", matching(atLimit), Reply::soap("matchUpdate", ""), matched, "matchUpdate",
       sent(atLimit, Centres::kMain, Centres::kHospCode)},
      {"a price with one decimal point", matching(with(valid, {{8, "3.5"}})), Reply::soap("matchUpdate", ""), matched},
      refusedCase("empty price", matching(with(valid, {{8, ""}})), fid, "300", "HIS药品单价不能为空"),
      refusedCase("price of nineteen digits", matching(with(valid, {{8, std::string(19, '1')}})), fid, "300",
                  "HIS药品单价长度超过"),
      refusedCase("price with two decimal points", matching(with(valid, {{8, "1.2.3"}})), fid, "300",
                  "HIS药品单价非数字格式"),
      refusedCase("insurance code of 41 bytes", matching(with(valid, {{2, std::string(41, 'c')}})), fid, "300",
                  "农合编码长度超过"),
      refusedCase("empty insurance code", matching(with(valid, {{2, ""}})), fid, "300", "农合编码不能为空"),
      refusedCase("empty HIS code", matching(with(valid, {{3, ""}})), fid, "300", "HIS编码不能为空"),
      refusedCase("HIS code of 41 bytes", matching(with(valid, {{3, std::string(41, 'h')}})), fid, "300",
                  "HIS编码长度超过"),
      refusedCase("name of 101 bytes", matching(with(valid, {{4, std::string(101, 'n')}})), fid, "300",
                  "HIS药品名称长度超过"),
      refusedCase("strength of 201 bytes", matching(with(valid, {{5, std::string(201, 's')}})), fid, "300",
                  "HIS药品规格长度超过"),
      refusedCase("unit of 101 bytes", matching(with(valid, {{6, std::string(101, 'u')}})), fid, "300",
                  "HIS药品单位长度超过"),
      refusedCase("form of 101 bytes", matching(with(valid, {{7, std::string(101, 'f')}})), fid, "300",
                  "HIS药品剂型长度超过"),
      refusedCase("two bad arguments: the first is reported", matching(with(valid, {{3, ""}, {8, ""}})), fid, "300",
                  "HIS编码不能为空"),
      refusedCase("configured 13-byte centre code", matching(with(valid, {{1, Centres::kThirteen}})), fid, "300",
                  "农合中心编码长度超过"),
      {"lookup before checks", matching(with(valid, {{1, Centres::kUnknown}, {2, ""}})), std::nullopt,
       centreNotFound(fid)},
  });
  runCases(sharedFailureCases(
      fid, [](const char* centre) { return matchUpdate(centre, "Y0001", "HIS001", "", "", "", "", "12.50"); }));
}

TEST_F(Catalogue, MatchSeek) {
  const std::string fid = "MatchUpdate";  // matchSeek has no name of its own
  auto seeking = [](const char* centre, std::string code, std::string hisCode) {
    return [=] { return matchSeek(centre, code.c_str(), hisCode.c_str()); };
  };
  const std::string state = gbk("已匹配");
  const SentMembers sent = {
      {"centerNo", Centres::kMain}, {"code", "Y0001"}, {"hisCode", "HIS001"}, {"hospitalSysno", Centres::kHospCode}};
  runCases({
      {"the match state, hospital code last", seeking(Centres::kMain, "Y0001", "HIS001"),
       Reply::soap("matchSeek", "<return>" + base64Encode(state) + "</return>"),
       successDoc(fid, 1, {{{0, "CheckState", state}}}), "matchSeek", sent},
      {"empty centre code: the first centre's codes are sent", seeking("", "Y0001", "HIS001"),
       Reply::soap("matchSeek", "<return>" + base64Encode("1") + "</return>"),
       successDoc(fid, 1, {{{0, "CheckState", "1"}}}), "matchSeek", sent},
      {"another centre: its codes are sent", seeking(SecondCentre::kCode, "Y0001", "HIS001"),
       Reply::soap("matchSeek", "<return>" + base64Encode("1") + "</return>"),
       successDoc(fid, 1, {{{0, "CheckState", "1"}}}), "matchSeek",
       SentMembers{{"centerNo", SecondCentre::kCode},
                   {"code", "Y0001"},
                   {"hisCode", "HIS001"},
                   {"hospitalSysno", SecondCentre::kHospCode}}},
      {"absent return: an empty value", seeking(Centres::kMain, "Y0001", "HIS001"), Reply::soap("matchSeek", ""),
       successDoc(fid, 1, {{{0, "CheckState", ""}}})},
      refusedCase("insurance code of 41 bytes", seeking(Centres::kMain, std::string(41, 'c'), "HIS001"), fid, "300",
                  "农合编码长度超过"),
      refusedCase("empty HIS code", seeking(Centres::kMain, "Y0001", ""), fid, "300", "HIS编码不能为空"),
      refusedCase("HIS code of 41 bytes", seeking(Centres::kMain, "Y0001", std::string(41, 'h')), fid, "300",
                  "HIS编码长度超过"),
      refusedCase("two bad arguments: the first is reported", seeking(Centres::kMain, "", ""), fid, "300",
                  "农合编码不能为空"),
      refusedCase("configured 13-byte centre code", seeking(Centres::kThirteen, "Y0001", "HIS001"), fid, "300",
                  "农合中心编码长度超过"),
      {"lookup before checks", seeking(Centres::kUnknown, "", ""), std::nullopt, centreNotFound(fid)},
  });
}

TEST_F(Catalogue, NoConfigurationFile) {
  dir.removeConfig();
  runCases({
      {"updateDisease", [] { return updateDisease(nullptr, nullptr); }, std::nullopt, centreNotFound("UpdateDisease")},
      {"updateLeechdom", [] { return updateLeechdom("x", ""); }, std::nullopt, centreNotFound("UpdateLeechdom")},
      {"getInpatientGradeList", [] { return getInpatientGradeList("", "x"); }, std::nullopt,
       centreNotFound("getInpatientGradeList")},
      {"matchUpdate", [] { return matchUpdate("", "", "", "", "", "", "", ""); }, std::nullopt,
       centreNotFound("MatchUpdate")},
      {"matchSeek", [] { return matchSeek(nullptr, nullptr, nullptr); }, std::nullopt, centreNotFound("MatchUpdate")},
  });
}

// ---- Catalogues of 100,000 entries ------------------------------------------

constexpr int kBigEntries = 100000;
// The processor time of one call on this thread, where the whole call runs.
// A linear build takes a few seconds even sanitised; repeated copying of a
// document of this size would take far longer. Processor time, not wall
// time, so that a busy machine does not fail the test.
constexpr double kBigCallCpuSeconds = 30.0;

double threadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

class BigCatalogues : public ExportTest {
 protected:
  // Downloads the catalogue and checks the document piece by piece: header
  // and row count, every row exactly, the end and the total size.
  void expectComplete(const BigCatalogue& catalogue) {
    const CatalogueWriter writer(catalogue);
    server.enqueue(writer.response(kBigEntries));
    double cpuBefore = threadCpuSeconds();
    std::unique_ptr<char, decltype(&std::free)> result(catalogue.call(), &std::free);
    double cpuSeconds = threadCpuSeconds() - cpuBefore;
    ASSERT_NE(result, nullptr);
    RecordProperty("call_cpu_ms", static_cast<int>(cpuSeconds * 1000));
    EXPECT_LT(cpuSeconds, kBigCallCpuSeconds);
    std::string_view doc(result.get());

    const std::string q = "\\\"", noRows = "rowcount=" + q + "0" + q, end = "</data></function>";
    std::string head = successDoc(catalogue.functionId, static_cast<int>(catalogue.columns.size()), {});
    head.resize(head.size() - end.size());
    head.replace(head.find(noRows), noRows.size(), "rowcount=" + q + std::to_string(kBigEntries) + q);
    ASSERT_EQ(doc.substr(0, head.size()), head) << "header and row count";

    size_t at = head.size();
    std::string row;
    for (int n = 0; n < kBigEntries; ++n) {
      writer.row(n, row);
      if (doc.compare(at, row.size(), row) != 0) FAIL() << "row " << n << ": " << utf8(doc.substr(at, row.size()));
      at += row.size();
    }
    EXPECT_EQ(doc.substr(at), end) << "the document ends after the last row";
    EXPECT_EQ(doc.size(), at + end.size());
  }
};

TEST_F(BigCatalogues, DrugCatalogueOf100000EntriesComplete) { expectComplete(drugCatalogue()); }

TEST_F(BigCatalogues, DiseaseCatalogueOf100000EntriesComplete) { expectComplete(diseaseCatalogue()); }

}  // namespace
