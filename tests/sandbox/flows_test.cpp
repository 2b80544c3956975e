// SPDX-License-Identifier: MIT
// The demo's walkthroughs end to end: the library's exports against the
// sandbox centre, every result exact. The numbers follow from the seed data
// and the reimbursement rule of tools/sandbox/README.md.
#include "NvInterFace.h"
#include "tests/sandbox/sandbox_fixture.h"

namespace nvtest {
namespace {

using SandboxFlows = SandboxTest;

// A row of cliDetailSeek for one uploaded fee; ratio and reimbursable amount
// are the centre's, from its catalogue.
Row clinicFeeRow(const char* detailNo, const FeeItem& item, const char* ratio, const char* reimbursable) {
  return {{0, "detailno", detailNo},       {1, "no", "10000001"},
          {2, "clinicRxno", "RX0001"},     {3, "CODE", item.insureCode},
          {4, "NAME", gbk(item.name)},     {5, "SPEC", gbk(item.spec)},
          {6, "UNIT", gbk(item.unit)},     {7, "CONF", gbk(item.conf)},
          {8, "PRICE", item.price},        {9, "QUANTITY", item.quantity},
          {10, "FACT_MONEY", item.amount}, {11, "USE_DATE", kDay},
          {12, "ENABLE_RATIO", ratio},     {13, "ENABLE_MONEY", reimbursable},
          {14, "classId", item.feeClass},  {15, "money", item.amount}};
}

Row stayDetailRow(const char* detailId, const FeeItem& item, const char* ratio, const char* reimbursable) {
  return {{0, "inpatientSn", "30000001"},   {1, "inpatientRxno", "ZYRX01"},  {2, "detailId", detailId},
          {3, "insureId", item.insureCode}, {4, "classNo", item.feeClass},   {5, "name", gbk(item.name)},
          {6, "spec", gbk(item.spec)},      {7, "unit", gbk(item.unit)},     {8, "conf", gbk(item.conf)},
          {9, "price", item.price},         {10, "quantity", item.quantity}, {11, "money", item.amount},
          {12, "factMoney", item.amount},   {13, "useDate", kDay},           {14, "enableRation", ratio},
          {15, "enableMoney", reimbursable}};
}

Row gradeRow(const char* inpatientSn, const char* start, const char* end, const char* ratio, const char* redeem) {
  return {{0, "inpatientSn", inpatientSn},
          {1, "startMoney", start},
          {2, "endMoney", end},
          {3, "ratio", ratio},
          {4, "redeemMoney", redeem}};
}

std::string clinicCalculationDoc(const std::vector<std::string>& values) {
  return successDoc("cliCalculate", 8, {rowOf(kClinicCalculationColumns, values)});
}

// calculate's one row for a stay.
const ColumnNames kStayCalculation = {{0, "totalCosts"},           {1, "enableMoney"},      {2, "factRedeemMoney"},
                                      {3, "startMoney"},           {4, "totalRedeemMoney"}, {5, "totalRedeemCount"},
                                      {6, "familyAccountPayMoney"}};
std::string stayCalculationDoc(const std::vector<std::string>& values) {
  return successDoc("Calculate", 7, {rowOf(kStayCalculation, values)});
}

TEST_F(SandboxFlows, OutpatientVisitFromRegistrationToReversal) {
  runSteps({
      {"register", [] { return registerZhangSan(); }, textDoc("CliRegister", "clinicNo", "10000001")},
      {"fee 1", [] { return uploadClinicFee("10000001", kAmoxicillin); },
       textDoc("CliDetailInput", "detailno", "40000001")},
      {"fee 2", [] { return uploadClinicFee("10000001", kBloodTest); },
       textDoc("CliDetailInput", "detailno", "40000002")},
      {"fee 3", [] { return uploadClinicFee("10000001", kBanlangen); },
       textDoc("CliDetailInput", "detailno", "40000003")},
      {"list", [] { return cliDetailSeek("10000001", kCentre); },
       successDoc("CliDetailSeek", 16,
                  {clinicFeeRow("40000001", kAmoxicillin, "1.00", "25.00"),
                   clinicFeeRow("40000002", kBloodTest, "0.90", "18.00"),
                   clinicFeeRow("40000003", kBanlangen, "1.00", "15.00")})},
      // (58.00 - 10.00) at 50%; the family account holds 300.00.
      {"calculate", [] { return cliCalculate("10000001", kCentre); },
       clinicCalculationDoc({"60.00", "58.00", "20.00", "300.00", "3", "24.00", "0", "0.00"})},
      {"settle", [] { return cliSettlement("10000001", kCentre); },
       textDoc("cliSettlement", "settlementNo", "20000001")},
      {"audit state", [] { return cliAuditingSeek("20000001", kCentre); },
       textDoc("cliAuditingSeek", "State", gbk("审核通过"))},
      {"cash flag before the balance", [] { return isCashRedeem("20000001", kCentre); },
       textDoc("isCashRedeem", "sign", "0")},
      // The examination's share of the reimbursement: 24.00 * 18.00 / 58.00.
      {"balance", [] { return cliBalance("10000001", "10.00", kCentre); },
       successDoc("CliBalance", 12,
                  {{{0, "totalCosts", "60.00"},
                    {1, "medicineChineseCosts", "15.00"},
                    {2, "medicineWesternCosts", "25.00"},
                    {3, "checkCosts", "20.00"},
                    {4, "cureCosts", "0.00"},
                    {5, "enableMedicineSum", "40.00"},
                    {6, "enableSum", "58.00"},
                    {7, "checkRedeem", "7.45"},
                    {8, "redeemAccounttype", "1"},
                    {9, "redeemId", "20000001"},
                    {10, "redeemOrgno", kHospital},
                    {11, "redeemMoney", "24.00"}}})},
      {"cash flag after the balance", [] { return isCashRedeem("20000001", kCentre); },
       textDoc("isCashRedeem", "sign", "1")},
      {"reverse", [] { return cliStrikeBalance("20000001", kCentre); }, textDoc("cliStrikeBalance", "sign", "1")},
      {"cash flag after the reversal", [] { return isCashRedeem("20000001", kCentre); },
       textDoc("isCashRedeem", "sign", "0")},
      // The 10.00 went back to the family account.
      {"calculate after the reversal", [] { return cliCalculate("10000001", kCentre); },
       clinicCalculationDoc({"60.00", "58.00", "20.00", "300.00", "3", "24.00", "0", "0.00"})},
      {"cancel the settlement", [] { return cliCancelSettlement("20000001", kCentre); },
       noRowsDoc("cliCancelSettlement")},
      {"audit state when cancelled", [] { return cliAuditingSeek("20000001", kCentre); },
       textDoc("cliAuditingSeek", "State", gbk("已作废"))},
      {"cancel one fee", [] { return cliSingleCancleFee("40000002", kCentre); }, noRowsDoc("CliSingleCancleFee")},
      {"cancel the other fees", [] { return cliCancelFee("10000001", kCentre); }, noRowsDoc("CliCancelFee")},
      {"list after cancelling", [] { return cliDetailSeek("10000001", kCentre); }, successDoc("CliDetailSeek", 16, {})},
      {"the member's latest visit", [] { return cliSeek("34112200012301", kCentre); },
       textDoc("CliSeek", "DETAIL_ID", "10000001")},
  });
}

TEST_F(SandboxFlows, SecondSettledVisitCountsTheFirst) {
  settledVisit();
  runSteps({
      {"register again", [] { return registerZhangSan(); }, textDoc("CliRegister", "clinicNo", "10000002")},
      {"one fee", [] { return uploadClinicFee("10000002", kAmoxicillin); },
       textDoc("CliDetailInput", "detailno", "40000004")},
      // (25.00 - 10.00) at 50%; one earlier settlement of 24.00.
      {"calculate", [] { return cliCalculate("10000002", kCentre); },
       clinicCalculationDoc({"25.00", "25.00", "0.00", "300.00", "1", "7.50", "1", "24.00"})},
      {"the member's latest visit", [] { return cliSeek("34112200012301", kCentre); },
       textDoc("CliSeek", "DETAIL_ID", "10000002")},
  });
}

TEST_F(SandboxFlows, InpatientStayFromPackedRegistrationToPayment) {
  runSteps({
      {"register (packed)", [] { return registerWangJianguo(); }, textDoc("InpRegister", "inpatientSn", "30000001")},
      {"detail 1", [] { return uploadStayDetail("30000001", kAppendectomy); },
       textDoc("InpDetailInput", "detailNo", "40000001")},
      {"detail 2", [] { return uploadStayDetail("30000001", kCefixime); },
       textDoc("InpDetailInput", "detailNo", "40000002")},
      {"detail 3", [] { return uploadStayDetail("30000001", kInfusion); },
       textDoc("InpDetailInput", "detailNo", "40000003")},
      {"detail 4", [] { return uploadStayDetail("30000001", kChestXray); },
       textDoc("InpDetailInput", "detailNo", "40000004")},
      {"detail 5", [] { return uploadStayDetail("30000001", kImportedNutrition); },
       textDoc("InpDetailInput", "detailNo", "40000005")},
      {"a detail uploaded by mistake", [] { return uploadStayDetail("30000001", kBloodTest); },
       textDoc("InpDetailInput", "detailNo", "40000006")},
      {"cancel it", [] { return inpSingleCancelFee("40000006", kCentre); }, noRowsDoc("InpSingleCancleFee")},
      {"list", [] { return inpDetailSeek("30000001", kCentre); },
       successDoc("InpDetailSeek", 16,
                  {stayDetailRow("40000001", kAppendectomy, "1.00", "1200.00"),
                   stayDetailRow("40000002", kCefixime, "0.80", "58.88"),
                   stayDetailRow("40000003", kInfusion, "1.00", "40.00"),
                   stayDetailRow("40000004", kChestXray, "0.90", "54.00"),
                   stayDetailRow("40000005", kImportedNutrition, "0.00", "0.00")})},
      // 1352.88 reimbursable: 300.00 deductible, 1052.88 at 60%.
      {"grade list", [] { return getInpatientGradeList(kCentre, "30000001"); },
       successDoc("getInpatientGradeList", 5,
                  {gradeRow("30000001", "0.00", "300.00", "0.00", "0.00"),
                   gradeRow("30000001", "300.00", "5000.00", "0.60", "631.73"),
                   gradeRow("30000001", "5000.00", "20000.00", "0.70", "0.00"),
                   gradeRow("30000001", "20000.00", "", "0.80", "0.00")})},
      {"calculate", [] { return calculate("30000001", kCentre, "11"); },
       stayCalculationDoc({"1673.60", "1352.88", "631.73", "300.00", "631.73", "1", "0.00"})},
      {"audit state before payment", [] { return auditingSeek("30000001", kCentre); },
       textDoc("AuditingSeek", "CheckState", gbk("待审核"))},
      {"pay", [] { return inpPay("30000001", "11", kDay, gbk("王建国").c_str(), kDay, kCentre); },
       successDoc("InpBalance", 8,
                  {{{0, "totalCosts", "1673.60"},
                    {1, "enableMoney", "1352.88"},
                    {2, "redeemMoney", "631.73"},
                    {3, "startMoney", "300.00"},
                    {4, "totalRedeemMoney", "631.73"},
                    {5, "totalRedeemCount", "1"},
                    {6, "inpatientRedeemno", "50000001"},
                    {7, "familyAccountPayMoney", "0.00"}}})},
      {"audit state after payment", [] { return auditingSeek("30000001", kCentre); },
       textDoc("AuditingSeek", "CheckState", gbk("审核通过"))},
      // Paid, the member may be admitted again; the earlier stay counts.
      {"a second stay", [] { return registerWangJianguo(); }, textDoc("InpRegister", "inpatientSn", "30000002")},
      {"calculate the second stay", [] { return calculate("30000002", kCentre, "11"); },
       stayCalculationDoc({"0.00", "0.00", "0.00", "300.00", "631.73", "2", "0.00"})},
  });
}

TEST_F(SandboxFlows, MembersHospitalsCataloguesAndMatching) {
  runSteps({
      {"hospitals by part of the name", [] { return getHospitalInfo(gbk("卫生院").c_str(), kCentre); },
       successDoc("GetHospitalInfo", 3,
                  {{{0, "hospCode", "341122101"}, {1, "hospLevel", "1"}, {2, "hospName", gbk("明湖县城关镇卫生院")}},
                   {{0, "hospCode", "341122201"}, {1, "hospLevel", "1"}, {2, "hospName", gbk("明湖县南桥乡卫生院")}}})},
      {"a certificate nobody holds", [] { return getPersonInfo("341122999999", "op01", kCentre); },
       successDoc("GetPersonInfo", 13, {})},
      {"the drug catalogue after its last change", [] { return updateLeechdom("2030-01-01 00:00:00", kCentre); },
       successDoc("UpdateLeechdom", 18, {})},
      {"not matched yet", [] { return matchSeek(kCentre, "XY0001", "H-AMX"); },
       textDoc("MatchUpdate", "CheckState", gbk("未匹配"))},
      {"match",
       [] {
         return matchUpdate(kCentre, "XY0001", "H-AMX", gbk("阿莫西林胶囊").c_str(), gbk("0.25g*24粒").c_str(),
                            gbk("盒").c_str(), gbk("胶囊剂").c_str(), "12.50");
       },
       noRowsDoc("MatchUpdate")},
      {"matched", [] { return matchSeek(kCentre, "XY0001", "H-AMX"); },
       textDoc("MatchUpdate", "CheckState", gbk("已匹配"))},
      {"matched again, to another code",
       [] { return matchUpdate(kCentre, "XY0002", "H-AMX", "", "", "", "", "36.80"); }, noRowsDoc("MatchUpdate")},
      {"the first code no longer", [] { return matchSeek(kCentre, "XY0001", "H-AMX"); },
       textDoc("MatchUpdate", "CheckState", gbk("已匹配其他农合编码"))},
  });
}

// The code tables are the seed's, in code order.
TEST_F(SandboxFlows, CodeTablesAndTheConnectionTest) {
  auto table = [](const std::vector<std::vector<const char*>>& entries, const std::vector<const char*>& columns) {
    std::vector<Row> rows;
    for (const auto& entry : entries) {
      Row row;
      for (size_t i = 0; i < columns.size(); ++i) row.push_back({static_cast<int>(i), columns[i], gbk(entry[i])});
      rows.push_back(row);
    }
    return rows;
  };
  runSteps({
      {"the connection test", [] { return connectTesting(kCentre); },
       textDoc("ConnectTesting", "return", gbk("连接成功"))},
      {"the reimbursement types", [] { return redeemTypeDown(kCentre); },
       successDoc("RedeemTypeDown", 5,
                  table({{"11", "普通住院", "", "", "1"},
                         {"12", "住院分娩", "", "", "1"},
                         {"13", "意外伤害住院", "", "", "1"},
                         {"21", "门诊统筹", "", "", "1"},
                         {"22", "门诊家庭帐户", "", "", "2"}},
                        {"code", "name", "otherParam", "comment", "accountType"}))},
      {"the departments", [] { return officeCodeDown(kCentre); },
       successDoc("OfficeCodeDown", 4,
                  table({{"01", "内科", "", ""},
                         {"02", "外科", "", ""},
                         {"03", "妇产科", "", ""},
                         {"04", "儿科", "", ""},
                         {"05", "中医科", "", ""}},
                        {"code", "name", "otherParam", "comment"}))},
  });
}

// Downloads since a time: only entries changed after it, oldest first.
TEST_F(SandboxFlows, CatalogueDownloadsSinceATime) {
  struct Download {
    const char* since;
    std::function<char*(const char*)> call;
    const char* keyColumn;
    std::vector<std::string> keys;
  };
  auto diseases = [](const char* since) { return updateDisease(since, kCentre); };
  auto drugs = [](const char* since) { return updateLeechdom(since, kCentre); };
  const Download downloads[] = {
      {"2024-05-01 00:00:00", diseases, "icdAllno", {"J18.900", "K35.900", "O80.000"}},
      {"2024-05-20 14:30:00", diseases, "icdAllno", {"O80.000"}},
      {"2000-01-01 00:00:00", diseases, "icdAllno", {"J06.900", "E11.900", "I10.x00", "J18.900", "K35.900", "O80.000"}},
      {"2024-05-01 00:00:00", drugs, "insureId", {"CL0001", "JC0002", "ZL0002", "ZF0001"}},
      {"2024-04-30 23:59:59", drugs, "insureId", {"CL0001", "JC0002", "ZL0002", "ZF0001"}},
      {"2024-03-01 00:00:00", drugs, "insureId", {"XY0003", "CL0001", "JC0002", "ZL0002", "ZF0001"}},
  };
  for (const Download& download : downloads) {
    SCOPED_TRACE(download.since);
    std::string result = take(download.call(download.since));
    ASSERT_NE(result.find("<out_code>000</out_code>"), std::string::npos) << utf8(result);
    std::vector<std::string> keys;
    std::string marker = std::string("colname=\\\"") + download.keyColumn + "\\\">";
    for (size_t at = result.find(marker); at != std::string::npos; at = result.find(marker, at + 1)) {
      size_t start = at + marker.size();
      keys.push_back(result.substr(start, result.find('<', start) - start));
    }
    EXPECT_EQ(keys, download.keys);
  }
}

}  // namespace
}  // namespace nvtest
