// SPDX-License-Identifier: MIT
// Outpatient transactions: registration, fee details, calculation and
// settlement, audit, cash redemption and balance. Each export is its sheet
// and one call of the service template.
#include "NvInterFace.h"
#include "frame/service_call.h"
#include "soapH.h"

namespace {
using namespace nv;

// What the chaining keys are, as the reference tells the HIS.
const Words kClinicNoMeaning{"门诊就诊号:cliRegister 返回的 clinicNo",
                             "the outpatient visit number: the clinicNo cliRegister returned"};
const Words kSettlementNoMeaning{"门诊补偿单号:cliSettlement 返回的 settlementNo",
                                 "the settlement number: the settlementNo cliSettlement returned"};

// ---- Registration -------------------------------------------------------

// The sheets keep their layout: one check, request member or column a line.
// clang-format off

// The centre code is argument 3; the request carries four values of the
// chosen centre's record, not the code the HIS passed.
const ExportSheet kCliRegister{
    "CliRegister", /*centre-code argument*/ 3,
    {
        stringCheck(1, "登记类型", 1, kRequired),
        numberCheck(2, "就诊号", 18, kMayBeEmpty),
        centreCodeCheck(3),
        stringCheck(4, "HIS门诊号", 20, kRequired),
        stringCheck(5, "家庭编号", 18, kRequired),
        stringCheck(6, "个人编号", 20, kRequired),
        stringCheck(7, "辖区编码", 18, kRequired),
        stringCheck(8, "姓名", 40, kRequired),
        stringCheck(9, "性别代码", 1, kMayBeEmpty),
        stringCheck(10, "身份证", 18, kMayBeEmpty),
        numberCheck(11, "年龄", 3, kMayBeEmpty),
        stringCheck(12, "医疗证号", 20, kRequired),
        stringCheck(13, "医疗卡号", 20, kMayBeEmpty),
        stringCheck(14, "农合疾病主诊断", 12, kRequired),
        stringCheck(15, "农合疾病次诊断", 12, kMayBeEmpty),
        stringCheck(16, "入院科室编码", 5, kMayBeEmpty),
        dateCheck(17, "门诊日期", kRequired),
        stringCheck(18, "经治医师", 20, kMayBeEmpty),
        stringCheck(19, "就诊类型", 1, kRequired),
        stringCheck(20, "来院状态", 1, kMayBeEmpty),
        stringCheck(21, "转院机构级别", 1, kMayBeEmpty),
        stringCheck(22, "转院机构编码", 24, kMayBeEmpty),
    },
    kChecksFailWith300,
    soap_send___ns1__cliRegister, kChangesState,
    {
        {&ns1__cliRegister::regType, arg(1)},
        {&ns1__cliRegister::clinicNo, arg(2)},
        {&ns1__cliRegister::centerNo, centre(&CentreRecord::CenterNO)},
        {&ns1__cliRegister::hisClinicNo, arg(4)},
        {&ns1__cliRegister::familyNo, arg(5)},
        {&ns1__cliRegister::memberNo, arg(6)},
        {&ns1__cliRegister::countryNo, arg(7)},
        {&ns1__cliRegister::memberName, arg(8)},
        {&ns1__cliRegister::sexCode, arg(9)},
        {&ns1__cliRegister::idCard, arg(10)},
        {&ns1__cliRegister::age, arg(11)},
        {&ns1__cliRegister::bookNo, arg(12)},
        {&ns1__cliRegister::cardNo, arg(13)},
        {&ns1__cliRegister::hosNo, centre(&CentreRecord::HOSP_CODE)},
        {&ns1__cliRegister::hosLevel, centre(&CentreRecord::ORG_LEVEL)},
        {&ns1__cliRegister::firstIcdNo, arg(14)},
        {&ns1__cliRegister::secondIcdNo, arg(15)},
        {&ns1__cliRegister::inOfficeNo, arg(16)},
        {&ns1__cliRegister::clinicDate, arg(17)},
        {&ns1__cliRegister::clinicDoctor, arg(18)},
        {&ns1__cliRegister::cureCode, arg(19)},
        {&ns1__cliRegister::inHosId, arg(20)},
        {&ns1__cliRegister::operator_, centre(&CentreRecord::UserNo)},
        {&ns1__cliRegister::turnLevel, arg(21)},
        {&ns1__cliRegister::turnHosNo, arg(22)},
    },
    textResult(&ns1__cliRegisterResponse::return_, 0, "clinicNo"),
    {
        {"登记类型,一字节代码", "registration type, one byte"},
        {"门诊就诊号;新登记时为空", "the outpatient visit number; empty for a new registration"},
        kCentreCodeMeaning,
        {"HIS 自己的门诊号", "the HIS's own outpatient number"},
        {"家庭编号", "family number"},
        {"个人编号", "the member's personal number"},
        {"辖区编码", "district code"},
        {"姓名", "the member's name"},
        {"性别代码,一字节", "sex code, one byte"},
        {"身份证号", "identity card number"},
        {"年龄", "age"},
        {"医疗证号", "medical certificate number"},
        {"医疗卡号", "medical card number"},
        {"主诊断,农合疾病编码", "main diagnosis, insurance disease code"},
        {"次诊断,农合疾病编码", "secondary diagnosis, insurance disease code"},
        {"科室编码", "department code"},
        {"门诊日期,yyyy-MM-dd", "outpatient date, yyyy-MM-dd"},
        {"经治医师", "attending doctor"},
        {"就诊类型,一字节代码", "visit type, one byte"},
        {"来院状态,一字节代码", "arrival state, one byte"},
        {"转院机构级别,一字节代码", "level of the referring institution, one byte"},
        {"转院机构编码", "code of the referring institution"},
    },
};

// ---- Fee details --------------------------------------------------------

// The visit number (argument 3) is checked before the centre code
// (argument 2); the HIS item code travels last in the request.
const ExportSheet kCliDetailInput{
    "CliDetailInput", /*centre-code argument*/ 2,
    {
        stringCheck(1, "登记类型", 1, kRequired),
        numberCheck(3, "门诊就诊号", 18, kRequired),
        centreCodeCheck(2),
        stringCheck(4, "门诊处方流水号", 100, kMayBeEmpty),
        numberCheck(5, "农合明细序号", 18, kMayBeEmpty),
        stringCheck(6, "HIS药品编码", 40, kRequired),
        stringCheck(7, "农合药品编码", 40, kRequired),
        stringCheck(8, "农合费用分类代码", 4, kRequired),
        stringCheck(9, "HIS药品名称", 100, kMayBeEmpty),
        stringCheck(10, "HIS药品规格", 200, kMayBeEmpty),
        stringCheck(11, "HIS药品单位", 100, kMayBeEmpty),
        stringCheck(12, "HIS药品剂型", 100, kMayBeEmpty),
        numberCheck(13, "HIS药品单价", 18, kRequired),
        numberCheck(14, "HIS药品数量", 18, kRequired),
        numberCheck(15, "金额(=数量*单价)", 18, kMayBeEmpty),
        numberCheck(16, "实收金额(折扣后的金额)", 18, kRequired),
        dateCheck(17, "使用日期", kRequired),  // a date is judged by its shape alone
        numberCheck(18, "可报比例", 18, kMayBeEmpty),
        numberCheck(19, "可报金额", 18, kMayBeEmpty),
    },
    kChecksFailWith300,
    soap_send___ns1__cliDetailInput, kChangesState,
    {
        {&ns1__cliDetailInput::type, arg(1)},
        {&ns1__cliDetailInput::no, arg(3)},
        {&ns1__cliDetailInput::clinicRxNo, arg(4)},
        {&ns1__cliDetailInput::detailNo, arg(5)},
        {&ns1__cliDetailInput::code, arg(7)},
        {&ns1__cliDetailInput::classId, arg(8)},
        {&ns1__cliDetailInput::name, arg(9)},
        {&ns1__cliDetailInput::spec, arg(10)},
        {&ns1__cliDetailInput::unit, arg(11)},
        {&ns1__cliDetailInput::conf, arg(12)},
        {&ns1__cliDetailInput::price, arg(13)},
        {&ns1__cliDetailInput::quantity, arg(14)},
        {&ns1__cliDetailInput::money, arg(15)},
        {&ns1__cliDetailInput::factMoney, arg(16)},
        {&ns1__cliDetailInput::useDate, arg(17)},
        {&ns1__cliDetailInput::enableRatio, arg(18)},
        {&ns1__cliDetailInput::enableMoney, arg(19)},
        {&ns1__cliDetailInput::hisLeechdomCode, arg(6)},
    },
    textResult(&ns1__cliDetailInputResponse::return_, 0, "detailno"),
    withFeeItemMeanings({
        {"登记类型,一字节代码", "type code of the entry, one byte"},
        kCentreCodeMeaning,
        kClinicNoMeaning,
        {"门诊处方流水号", "outpatient prescription serial number"},
    }),
};

// Columns 10 and 11 show the fact money before the date of use, against the
// record's member order.
const ExportSheet kCliDetailSeek{
    "CliDetailSeek", /*centre-code argument*/ 2,
    {
        stringCheck(1, "门诊就诊号", 20, kRequired),
        centreCodeCheck(2),
    },
    kChecksFailWith600,
    soap_send___ns1__cliDetailSeek, kReadsOnly,
    {
        {&ns1__cliDetailSeek::clinicNo, arg(1)},
    },
    listResult(&ns1__cliDetailSeekResponse::return_, {
        {0, "detailno", &ns13__clinicDetailResult::detailId},
        {1, "no", &ns13__clinicDetailResult::clinicNo},
        {2, "clinicRxno", &ns13__clinicDetailResult::clinicRxno},
        {3, "CODE", &ns13__clinicDetailResult::insureId},
        {4, "NAME", &ns13__clinicDetailResult::name},
        {5, "SPEC", &ns13__clinicDetailResult::spec},
        {6, "UNIT", &ns13__clinicDetailResult::unit},
        {7, "CONF", &ns13__clinicDetailResult::conf},
        {8, "PRICE", &ns13__clinicDetailResult::price},
        {9, "QUANTITY", &ns13__clinicDetailResult::quantity},
        {10, "FACT_MONEY", &ns13__clinicDetailResult::factMoney},
        {11, "USE_DATE", &ns13__clinicDetailResult::useDate},
        {12, "ENABLE_RATIO", &ns13__clinicDetailResult::enableRation},
        {13, "ENABLE_MONEY", &ns13__clinicDetailResult::enableMoney},
        {14, "classId", &ns13__clinicDetailResult::classNo},
        {15, "money", &ns13__clinicDetailResult::money},
    }),
    {
        kClinicNoMeaning,
        kCentreCodeMeaning,
    },
    {
        {"列名大小写不一,请照写", "the column names mix upper and lower case: use them as written"},
    },
};

const ExportSheet kCliCancelFee{
    "CliCancelFee", /*centre-code argument*/ 2,
    {
        numberCheck(1, "门诊就诊号", 18, kRequired),
        centreCodeCheck(2),
    },
    kChecksFailWith300,
    soap_send___ns1__cliCancelFee, kChangesState,
    {
        {&ns1__cliCancelFee::clinicNo, arg(1)},
    },
    noResult<ns1__cliCancelFeeResponse>(),
    {
        kClinicNoMeaning,
        kCentreCodeMeaning,
    },
    {
        {"撤销该次门诊的全部费用明细", "cancels every fee item of the visit"},
    },
};

const ExportSheet kCliSingleCancleFee{
    "CliSingleCancleFee", /*centre-code argument*/ 2,
    {
        numberCheck(1, "门诊就诊号", 18, kRequired),
        centreCodeCheck(2),
    },
    kChecksFailWith300,
    soap_send___ns1__cliSingleCancleFee, kChangesState,
    {
        {&ns1__cliSingleCancleFee::detailNo, arg(1)},
    },
    noResult<ns1__cliSingleCancleFeeResponse>(),
    {
        {"费用明细序号:cliDetailInput 返回的 detailno", "the fee item's number: the detailno cliDetailInput returned"},
        kCentreCodeMeaning,
    },
    {
        {"检查提示用的是“门诊就诊号”,但参数是费用明细序号", "its check message says 门诊就诊号 (visit number), but the argument is a fee item's number"},
    },
};

// ---- Calculation and settlement -----------------------------------------

// The check money is written third but numbered 7; the HIS reads the
// columns by these numbers.
const ExportSheet kCliCalculate{
    "cliCalculate", /*centre-code argument*/ 2,
    {
        stringCheck(1, "门诊就诊号", 20, kRequired),
        centreCodeCheck(2),
    },
    kChecksFailWith600,
    soap_send___ns1__cliCalculate, kChangesState,
    {
        {&ns1__cliCalculate::clinicNo, arg(1)},
    },
    recordResult(&ns1__cliCalculateResponse::return_, {
        {0, "totalMoney", &ns5__clinicCaculateResult::totalMoney},
        {1, "enableTotal", &ns5__clinicCaculateResult::enableTotal},
        {7, "checkMoney", &ns5__clinicCaculateResult::checkMoney},
        {2, "familyAccountMoney", &ns5__clinicCaculateResult::familyAccountMoney},
        {3, "doorRedeemNumber", &ns5__clinicCaculateResult::doorRedeemNumber},
        {4, "doorRedeemMoney", &ns5__clinicCaculateResult::doorRedeemMoney},
        {5, "memberRedeemNumber", &ns5__clinicCaculateResult::memberRedeemNumber},
        {6, "memberRedeemMoney", &ns5__clinicCaculateResult::memberRedeemMoney},
    }),
    {
        kClinicNoMeaning,
        kCentreCodeMeaning,
    },
};

// The operator settling is the chosen centre's configured user.
const ExportSheet kCliSettlement{
    "cliSettlement", /*centre-code argument*/ 2,
    {
        stringCheck(1, "门诊就诊号", 20, kRequired),
        centreCodeCheck(2),
    },
    kChecksFailWith600,
    soap_send___ns1__cliSettlement, kChangesState,
    {
        {&ns1__cliSettlement::clinicNo, arg(1)},
        {&ns1__cliSettlement::userNo, centre(&CentreRecord::UserNo)},
    },
    textResult(&ns1__cliSettlementResponse::return_, 0, "settlementNo"),
    {
        kClinicNoMeaning,
        kCentreCodeMeaning,
    },
};

const ExportSheet kCliCancelSettlement{
    "cliCancelSettlement", /*centre-code argument*/ 2,
    {
        stringCheck(1, "门诊补偿单号", 20, kRequired),
        centreCodeCheck(2),
    },
    kChecksFailWith600,
    soap_send___ns1__cliCancelSettlement, kChangesState,
    {
        {&ns1__cliCancelSettlement::settlementNo, arg(1)},
    },
    noResult<ns1__cliCancelSettlementResponse>(),
    {
        kSettlementNoMeaning,
        kCentreCodeMeaning,
    },
};

const ExportSheet kCliSeek{
    "CliSeek", /*centre-code argument*/ 2,
    {
        numberCheck(1, "成员编码", 18, kRequired),
        centreCodeCheck(2),
    },
    kChecksFailWith300,
    soap_send___ns1__cliSeek, kReadsOnly,
    {
        {&ns1__cliSeek::memberNo, arg(1)},
    },
    textResult(&ns1__cliSeekResponse::return_, 0, "DETAIL_ID"),
    {
        {"参合人员的成员编码", "the member's code"},
        kCentreCodeMeaning,
    },
};

// ---- Audit, cash redemption and balance ---------------------------------

// The settlement number of cliSettlement, as the three settlement queries
// check it.
constexpr Check settlementNoCheck() { return stringCheck(1, "门诊补偿单号", 20, kRequired); }

const ExportSheet kCliAuditingSeek{
    "cliAuditingSeek", /*centre-code argument*/ 2,
    {settlementNoCheck(), centreCodeCheck(2)},
    kChecksFailWith600,
    soap_send___ns1__cliAuditingSeek, kReadsOnly,
    {
        {&ns1__cliAuditingSeek::settlementNo, arg(1)},
    },
    textResult(&ns1__cliAuditingSeekResponse::return_, 0, "State"),
    {
        kSettlementNoMeaning,
        kCentreCodeMeaning,
    },
};

const ExportSheet kIsCashRedeem{
    "isCashRedeem", /*centre-code argument*/ 2,
    {settlementNoCheck(), centreCodeCheck(2)},
    kChecksFailWith600,
    soap_send___ns1__isCashRedeem, kReadsOnly,
    {
        {&ns1__isCashRedeem::settlementNo, arg(1)},
    },
    textResult(&ns1__isCashRedeemResponse::return_, 0, "sign"),
    {
        kSettlementNoMeaning,
        kCentreCodeMeaning,
    },
};

// The operator balancing is the chosen centre's configured user.
const ExportSheet kCliBalance{
    "CliBalance", /*centre-code argument*/ 3,
    {
        numberCheck(1, "门诊就诊号", 18, kRequired),
        numberCheck(2, "家庭帐户支付补偿金额", 18, kRequired),
        centreCodeCheck(3),
    },
    kChecksFailWith300,
    soap_send___ns1__cliBalance, kChangesState,
    {
        {&ns1__cliBalance::settlementNo, arg(1)},
        {&ns1__cliBalance::familyAccountGeld, arg(2)},
        {&ns1__cliBalance::userNo, centre(&CentreRecord::UserNo)},
    },
    recordResult(&ns1__cliBalanceResponse::return_, {
        {0, "totalCosts", &ns8__clinicBanlanceResult::totalCosts},
        {1, "medicineChineseCosts", &ns8__clinicBanlanceResult::medicineChineseCosts},
        {2, "medicineWesternCosts", &ns8__clinicBanlanceResult::medicineWesternCosts},
        {3, "checkCosts", &ns8__clinicBanlanceResult::checkCosts},
        {4, "cureCosts", &ns8__clinicBanlanceResult::cureCosts},
        {5, "enableMedicineSum", &ns8__clinicBanlanceResult::enableMedicineSum},
        {6, "enableSum", &ns8__clinicBanlanceResult::enableSum},
        {7, "checkRedeem", &ns8__clinicBanlanceResult::checkRedeem},
        {8, "redeemAccounttype", &ns8__clinicBanlanceResult::redeemAccounttype},
        {9, "redeemId", &ns8__clinicBanlanceResult::redeemId},
        {10, "redeemOrgno", &ns8__clinicBanlanceResult::redeemOrgno},
        {11, "redeemMoney", &ns8__clinicBanlanceResult::redeemMoney},
    }),
    {
        kClinicNoMeaning,
        {"家庭帐户支付的补偿金额", "the compensation paid from the family account"},
        kCentreCodeMeaning,
    },
    {
        {"第 1 个参数是门诊就诊号,不是补偿单号;它在请求中以 settlementNo 发送", "argument 1 is the outpatient visit number, not a settlement number; the request carries it in the member settlementNo"},
    },
};

const ExportSheet kCliStrikeBalance{
    "cliStrikeBalance", /*centre-code argument*/ 2,
    {settlementNoCheck(), centreCodeCheck(2)},
    kChecksFailWith600,
    soap_send___ns1__cliStrikeBalance, kChangesState,
    {
        {&ns1__cliStrikeBalance::settlementNo, arg(1)},
    },
    textResult(&ns1__cliStrikeBalanceResponse::return_, 0, "sign"),
    {
        kSettlementNoMeaning,
        kCentreCodeMeaning,
    },
};

// clang-format on

}  // namespace

extern "C" {

NV_API char* NV_CALL cliRegister(NvText regType, NvText clinicNo, NvText centreCode, NvText hisClinicNo,
                                 NvText familyNo, NvText memberNo, NvText countryNo, NvText memberName, NvText sexCode,
                                 NvText idCard, NvText age, NvText medicalCertNo, NvText cardNo, NvText firstIcdNo,
                                 NvText secondIcdNo, NvText inOfficeNo, NvText clinicDate, NvText clinicDoctor,
                                 NvText cureCode, NvText inHosId, NvText turnLevel, NvText turnHosNo) {
  return runExport(kCliRegister,
                   {regType,    clinicNo,     centreCode, hisClinicNo,   familyNo,  memberNo,   countryNo,   memberName,
                    sexCode,    idCard,       age,        medicalCertNo, cardNo,    firstIcdNo, secondIcdNo, inOfficeNo,
                    clinicDate, clinicDoctor, cureCode,   inHosId,       turnLevel, turnHosNo});
}

NV_API char* NV_CALL cliDetailInput(NvText type, NvText centreCode, NvText clinicNo, NvText clinicRxNo, NvText detailNo,
                                    NvText hisItemCode, NvText insureItemCode, NvText feeClassCode, NvText itemName,
                                    NvText itemSpec, NvText itemUnit, NvText itemConf, NvText price, NvText quantity,
                                    NvText money, NvText factMoney, NvText useDate, NvText enableRatio,
                                    NvText enableMoney) {
  return runExport(kCliDetailInput, {type, centreCode, clinicNo, clinicRxNo, detailNo, hisItemCode, insureItemCode,
                                     feeClassCode, itemName, itemSpec, itemUnit, itemConf, price, quantity, money,
                                     factMoney, useDate, enableRatio, enableMoney});
}

NV_API char* NV_CALL cliDetailSeek(NvText clinicNo, NvText centreCode) {
  return runExport(kCliDetailSeek, {clinicNo, centreCode});
}

NV_API char* NV_CALL cliCancelFee(NvText clinicNo, NvText centreCode) {
  return runExport(kCliCancelFee, {clinicNo, centreCode});
}

NV_API char* NV_CALL cliSingleCancleFee(NvText detailNo, NvText centreCode) {
  return runExport(kCliSingleCancleFee, {detailNo, centreCode});
}

NV_API char* NV_CALL cliCalculate(NvText clinicNo, NvText centreCode) {
  return runExport(kCliCalculate, {clinicNo, centreCode});
}

NV_API char* NV_CALL cliSettlement(NvText clinicNo, NvText centreCode) {
  return runExport(kCliSettlement, {clinicNo, centreCode});
}

NV_API char* NV_CALL cliCancelSettlement(NvText settlementNo, NvText centreCode) {
  return runExport(kCliCancelSettlement, {settlementNo, centreCode});
}

NV_API char* NV_CALL cliSeek(NvText memberCode, NvText centreCode) {
  return runExport(kCliSeek, {memberCode, centreCode});
}

NV_API char* NV_CALL cliAuditingSeek(NvText settlementNo, NvText centreCode) {
  return runExport(kCliAuditingSeek, {settlementNo, centreCode});
}

NV_API char* NV_CALL isCashRedeem(NvText settlementNo, NvText centreCode) {
  return runExport(kIsCashRedeem, {settlementNo, centreCode});
}

NV_API char* NV_CALL cliBalance(NvText clinicNo, NvText familyAccountGeld, NvText centreCode) {
  return runExport(kCliBalance, {clinicNo, familyAccountGeld, centreCode});
}

NV_API char* NV_CALL cliStrikeBalance(NvText settlementNo, NvText centreCode) {
  return runExport(kCliStrikeBalance, {settlementNo, centreCode});
}

}  // extern "C"

void nv::addOutpatientFacts(std::vector<ExportFacts>& facts) {
  facts.push_back(factsOf("cliRegister", kCliRegister));
  facts.push_back(factsOf("cliDetailInput", kCliDetailInput));
  facts.push_back(factsOf("cliDetailSeek", kCliDetailSeek));
  facts.push_back(factsOf("cliCancelFee", kCliCancelFee));
  facts.push_back(factsOf("cliSingleCancleFee", kCliSingleCancleFee));
  facts.push_back(factsOf("cliCalculate", kCliCalculate));
  facts.push_back(factsOf("cliSettlement", kCliSettlement));
  facts.push_back(factsOf("cliCancelSettlement", kCliCancelSettlement));
  facts.push_back(factsOf("cliSeek", kCliSeek));
  facts.push_back(factsOf("cliAuditingSeek", kCliAuditingSeek));
  facts.push_back(factsOf("isCashRedeem", kIsCashRedeem));
  facts.push_back(factsOf("cliBalance", kCliBalance));
  facts.push_back(factsOf("cliStrikeBalance", kCliStrikeBalance));
}
