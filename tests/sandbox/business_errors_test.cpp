// SPDX-License-Identifier: MIT
// Business errors of the sandbox centre reach the HIS as out_code "600"
// with the centre's GBK message, decoded from the base64 faultstring.
#include "NvInterFace.h"
#include "tests/sandbox/sandbox_fixture.h"

namespace nvtest {
namespace {

class SandboxBusinessErrors : public SandboxTest {
 public:
  struct Case {
    std::string name;
    std::function<void(SandboxBusinessErrors&)> before;  // brings the centre into the state
    std::function<char*()> call;
    std::string functionId;
    std::string message;  // UTF-8
  };

  // Each case against a fresh centre.
  void runCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      restartFresh();
      if (c.before) c.before(*this);
      std::string result = take(c.call());
      EXPECT_EQ(result, failureDoc(c.functionId, "600", c.message)) << "as UTF-8: " << utf8(result);
    }
  }

  static void withVisit(SandboxBusinessErrors& t) { t.visitWithFees(); }
  static void withSettlement(SandboxBusinessErrors& t) { t.settledVisit(); }
  static void withBalance(SandboxBusinessErrors& t) { t.balancedVisit(); }
  static void withOpenStay(SandboxBusinessErrors& t) { t.openStay(); }
  static void withPaidStay(SandboxBusinessErrors& t) { t.paidStay(); }
};

TEST_F(SandboxBusinessErrors, OutpatientRefusals) {
  runCases({
      {"calculating an unknown visit", nullptr, [] { return cliCalculate("10009999", kCentre); }, "cliCalculate",
       "就诊记录不存在"},
      {"registering an unknown member", nullptr, [] { return registerZhangSan("34112200099999"); }, "CliRegister",
       "参合人员不存在"},
      {"registering with another family's certificate", nullptr,
       [] { return registerZhangSan("34112200012301", "341122000456"); }, "CliRegister", "医疗证号与个人编号不符"},
      {"a fee of an item not in the catalogue", [](SandboxBusinessErrors&) { expectSuccess(registerZhangSan()); },
       [] {
         FeeItem unknown = kAmoxicillin;
         unknown.insureCode = "XX9999";
         return uploadClinicFee("10000001", unknown);
       },
       "CliDetailInput", "农合编码不存在"},
      {"settling a visit without fees", [](SandboxBusinessErrors&) { expectSuccess(registerZhangSan()); },
       [] { return cliSettlement("10000001", kCentre); }, "cliSettlement", "该就诊没有费用明细，不能结算"},
      {"settling a visit twice", withSettlement, [] { return cliSettlement("10000001", kCentre); }, "cliSettlement",
       "该就诊已结算，不能重复结算"},
      {"uploading a fee to a settled visit", withSettlement, [] { return uploadClinicFee("10000001", kBanlangen); },
       "CliDetailInput", "该就诊已结算，不能上传费用"},
      {"cancelling the fees of a settled visit", withSettlement, [] { return cliCancelFee("10000001", kCentre); },
       "CliCancelFee", "该就诊已结算，不能取消费用"},
      {"cancelling one fee of a settled visit", withSettlement, [] { return cliSingleCancleFee("40000001", kCentre); },
       "CliSingleCancleFee", "该就诊已结算，不能取消费用"},
      {"cancelling an unknown fee", withVisit, [] { return cliSingleCancleFee("40009999", kCentre); },
       "CliSingleCancleFee", "费用明细不存在"},
      {"balancing a visit not settled", withVisit, [] { return cliBalance("10000001", "0", kCentre); }, "CliBalance",
       "该就诊尚未结算"},
      {"balancing a visit twice", withBalance, [] { return cliBalance("10000001", "0", kCentre); }, "CliBalance",
       "该就诊已结账"},
      // The member's own share is 60.00 - 24.00.
      {"more from the family account than the member pays", withSettlement,
       [] { return cliBalance("10000001", "36.01", kCentre); }, "CliBalance", "家庭帐户支付金额超过个人自付金额"},
      {"balancing by the settlement number", withSettlement, [] { return cliBalance("20000001", "0", kCentre); },
       "CliBalance", "就诊记录不存在"},
      {"cancelling a balanced settlement", withBalance, [] { return cliCancelSettlement("20000001", kCentre); },
       "cliCancelSettlement", "该结算单已结账，请先冲账"},
      {"cancelling a settlement twice",
       [](SandboxBusinessErrors& t) {
         t.settledVisit();
         expectSuccess(cliCancelSettlement("20000001", kCentre));
       },
       [] { return cliCancelSettlement("20000001", kCentre); }, "cliCancelSettlement", "该结算单已作废"},
      {"reversing a balance never made", withSettlement, [] { return cliStrikeBalance("20000001", kCentre); },
       "cliStrikeBalance", "该结算单尚未结账"},
      {"the audit state of an unknown settlement", nullptr, [] { return cliAuditingSeek("20009999", kCentre); },
       "cliAuditingSeek", "结算单不存在"},
      {"the cash flag of a visit number", withSettlement, [] { return isCashRedeem("10000001", kCentre); },
       "isCashRedeem", "结算单不存在"},
      {"the latest visit of a member without one", nullptr, [] { return cliSeek("34112200078901", kCentre); },
       "CliSeek", "该成员没有门诊就诊记录"},
  });
}

TEST_F(SandboxBusinessErrors, InpatientRefusals) {
  runCases({
      {"a second open stay of one member", withOpenStay, [] { return registerWangJianguo(); }, "InpRegister",
       "该成员已有未结算的住院登记"},
      {"a detail of an unknown stay", nullptr, [] { return uploadStayDetail("30009999", kInfusion); }, "InpDetailInput",
       "住院记录不存在"},
      {"a visit number as a stay number", withVisit, [] { return calculate("10000001", kCentre, "11"); }, "Calculate",
       "住院记录不存在"},
      {"an unknown reimbursement type", withOpenStay, [] { return calculate("30000001", kCentre, "99"); }, "Calculate",
       "补偿类型不存在"},
      {"paying a stay without details", withOpenStay,
       [] { return inpPay("30000001", "11", kDay, gbk("王建国").c_str(), kDay, kCentre); }, "InpBalance",
       "该住院没有费用明细，不能兑付"},
      {"paying a stay twice", withPaidStay,
       [] { return inpPay("30000001", "11", kDay, gbk("王建国").c_str(), kDay, kCentre); }, "InpBalance",
       "该住院已兑付，不能重复兑付"},
      {"uploading a detail to a paid stay", withPaidStay, [] { return uploadStayDetail("30000001", kInfusion); },
       "InpDetailInput", "该住院已兑付，不能上传费用"},
      {"cancelling the details of a paid stay", withPaidStay, [] { return inpCancelFee("30000001", kCentre); },
       "InpCancelFee", "该住院已兑付，不能取消费用"},
      {"cancelling one detail of a paid stay", withPaidStay, [] { return inpSingleCancelFee("40000001", kCentre); },
       "InpSingleCancleFee", "该住院已兑付，不能取消费用"},
      {"the audit state of an unknown stay", nullptr, [] { return auditingSeek("30009999", kCentre); }, "AuditingSeek",
       "住院记录不存在"},
      {"the grade list of an unknown stay", nullptr, [] { return getInpatientGradeList(kCentre, "30009999"); },
       "getInpatientGradeList", "住院记录不存在"},
  });
}

TEST_F(SandboxBusinessErrors, CatalogueAndConfigurationRefusals) {
  runCases({
      {"matching to a code not in the catalogue", nullptr,
       [] { return matchUpdate(kCentre, "XX9999", "H-1", "", "", "", "", "1.00"); }, "MatchUpdate", "农合编码不存在"},
      {"a centre the sandbox does not serve",
       [](SandboxBusinessErrors& t) {
         t.dir.writeCentres({{"999999", t.sandbox->url(), kHospital, "2", "op01", ""}});
       },
       [] { return updateDisease("2024-01-01 00:00:00", "999999"); }, "UpdateDisease", "农合中心编码不存在"},
      {"a hospital the sandbox does not know",
       [](SandboxBusinessErrors& t) {
         t.dir.writeCentres({{kCentre, t.sandbox->url(), "H0000", "2", "op01", ""}});
       },
       [] { return updateLeechdom("2024-01-01 00:00:00", kCentre); }, "UpdateLeechdom", "医疗机构不存在"},
      {"registering at a hospital the sandbox does not know",
       [](SandboxBusinessErrors& t) {
         t.dir.writeCentres({{kCentre, t.sandbox->url(), "H0000", "2", "op01", ""}});
       },
       [] { return registerZhangSan(); }, "CliRegister", "医疗机构不存在"},
      {"the reimbursement types of a hospital the sandbox does not know",
       [](SandboxBusinessErrors& t) {
         t.dir.writeCentres({{kCentre, t.sandbox->url(), "H0000", "2", "op01", ""}});
       },
       [] { return redeemTypeDown(kCentre); }, "RedeemTypeDown", "医疗机构不存在"},
  });
}

// A refused request changes nothing: the numbers the centre issues next are
// those it would have issued anyway.
TEST_F(SandboxBusinessErrors, RefusalsLeaveTheStoreUnchanged) {
  settledVisit();
  EXPECT_EQ(take(cliSettlement("10000001", kCentre)), failureDoc("cliSettlement", "600", "该就诊已结算，不能重复结算"));
  EXPECT_EQ(take(cliBalance("10000001", "36.01", kCentre)),
            failureDoc("CliBalance", "600", "家庭帐户支付金额超过个人自付金额"));
  EXPECT_EQ(take(isCashRedeem("20000001", kCentre)), textDoc("isCashRedeem", "sign", "0"));
  EXPECT_EQ(take(registerZhangSan()), textDoc("CliRegister", "clinicNo", "10000002"));
  EXPECT_EQ(take(uploadClinicFee("10000002", kAmoxicillin)), textDoc("CliDetailInput", "detailno", "40000004"));
  EXPECT_EQ(take(cliSettlement("10000002", kCentre)), textDoc("cliSettlement", "settlementNo", "20000002"));
}

}  // namespace
}  // namespace nvtest
