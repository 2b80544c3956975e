// SPDX-License-Identifier: MIT
#include "tests/sandbox/sandbox_fixture.h"

#include "NvInterFace.h"

namespace nvtest {

const FeeItem kAmoxicillin{"H-AMX",  "XY0001", "01", "阿莫西林胶囊", "0.25g*24粒", "盒",
                           "胶囊剂", "12.50",  "2",  "25.00"};
const FeeItem kBloodTest{"H-XCG", "JC0001", "03", "血常规", "", "次", "", "20.00", "1", "20.00"};
const FeeItem kBanlangen{"H-BLG", "ZY0001", "02", "板蓝根颗粒", "10g*20袋", "盒", "颗粒剂", "15.00", "1", "15.00"};
const FeeItem kAppendectomy{"H-LWQC", "ZL0002", "04", "阑尾切除术", "", "次", "", "1200.00", "1", "1200.00"};
const FeeItem kCefixime{"H-TBKW", "XY0002", "01", "头孢克肟分散片", "0.1g*6片", "盒", "片剂", "36.80", "2", "73.60"};
const FeeItem kInfusion{"H-JMSY", "ZL0001", "04", "静脉输液", "", "次", "", "8.00", "5", "40.00"};
const FeeItem kChestXray{"H-XBX", "JC0002", "03", "胸部X线摄影", "", "次", "", "60.00", "1", "60.00"};
const FeeItem kImportedNutrition{"H-CNYY", "ZF0001", "01",    "进口肠内营养乳剂", "500ml", "瓶", "乳剂",
                                 "150.00", "2",      "300.00"};

SandboxTest::SandboxTest() { restartFresh(); }

void SandboxTest::restartFresh() {
  sandbox.reset();
  std::string name = dir.path() + "/centre" + std::to_string(++generation);
  sandbox = std::make_unique<SandboxProcess>(name + ".db", name + ".log");
  dir.writeCentres({{kCentre, sandbox->url(), kHospital, "2", "op01", ""}});
}

void SandboxTest::runSteps(const std::vector<Step>& steps) {
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    std::string result = take(step.call());
    EXPECT_EQ(result, step.expected) << "as UTF-8: " << utf8(result);
  }
}

char* SandboxTest::registerZhangSan(const char* memberNo, const char* bookNo) {
  return cliRegister("1", "", kCentre, "MZ0001", "3411220001", memberNo, "341122100001", gbk("张三").c_str(), "1",
                     "341122197803150019", "46", bookNo, "6210341122000123", "J06.900", "", "01", kDay,
                     gbk("王医生").c_str(), "1", "1", "", "");
}

char* SandboxTest::uploadClinicFee(const char* clinicNo, const FeeItem& item) {
  return cliDetailInput("1", kCentre, clinicNo, "RX0001", "", item.hisCode, item.insureCode, item.feeClass,
                        gbk(item.name).c_str(), gbk(item.spec).c_str(), gbk(item.unit).c_str(), gbk(item.conf).c_str(),
                        item.price, item.quantity, item.amount, item.amount, kDay, "", "");
}

char* SandboxTest::registerWangJianguo() {
  std::string packed =
      gbk("1| |341122|ZY0001|王建国|3411220002|34112200045601|341122201003|1|341122196501080035|59|341122000456|"
          "6210341122000456|K35.900| |02|2024-06-01|1|1|李医生|12| | | | | | | | | | | ");
  return inpRegisterB(packed.c_str());
}

char* SandboxTest::uploadStayDetail(const char* inpatientSn, const FeeItem& item) {
  return inpDetailInput("1", inpatientSn, kCentre, "ZYRX01", "", item.hisCode, item.insureCode, item.feeClass,
                        gbk(item.name).c_str(), gbk(item.spec).c_str(), gbk(item.unit).c_str(), gbk(item.conf).c_str(),
                        item.price, item.quantity, item.amount, item.amount, kDay, "", "");
}

void SandboxTest::visitWithFees() {
  expectSuccess(registerZhangSan());
  for (const FeeItem* item : {&kAmoxicillin, &kBloodTest, &kBanlangen})
    expectSuccess(uploadClinicFee("10000001", *item));
}

void SandboxTest::settledVisit() {
  visitWithFees();
  expectSuccess(cliSettlement("10000001", kCentre));
}

void SandboxTest::balancedVisit() {
  settledVisit();
  expectSuccess(cliBalance("10000001", "10.00", kCentre));
}

void SandboxTest::openStay() { expectSuccess(registerWangJianguo()); }

void SandboxTest::paidStay() {
  openStay();
  for (const FeeItem* item : {&kAppendectomy, &kCefixime, &kInfusion, &kChestXray, &kImportedNutrition})
    expectSuccess(uploadStayDetail("30000001", *item));
  expectSuccess(inpPay("30000001", "11", kDay, gbk("王建国").c_str(), kDay, kCentre));
}

std::string textDoc(const std::string& functionId, const std::string& colname, const std::string& value) {
  return successDoc(functionId, 1, {{{0, colname, value}}});
}

std::string noRowsDoc(const std::string& functionId) { return successDoc(functionId, 0, {}); }

void expectSuccess(char* result) {
  std::string text = take(result);
  EXPECT_NE(text.find("<out_code>000</out_code>"), std::string::npos) << "as UTF-8: " << utf8(text);
}

}  // namespace nvtest
