// SPDX-License-Identifier: MIT
// Outpatient transactions: registration, fee details, calculation and
// settlement, audit, cash redemption and balance. Each export is its sheet
// and one call of the service template.
#include "NvInterFace.h"
#include "exports/fee_item.h"
#include "frame/service_call.h"
#include "soapH.h"

namespace {
using namespace nv;

// What the chaining keys are, as the reference tells the HIS.
const Words kClinicNoMeaning{"门诊就诊号:cliRegister 返回的 clinicNo",
                             "the outpatient visit number: the clinicNo cliRegister returned"};
// The settlement number of cliSettlement, as the exports that take it check
// and mean it.
constexpr Argument kSettlementNo{"settlementNo",
                                 stringCheck("门诊补偿单号", 20, kRequired),
                                 {"门诊补偿单号:cliSettlement 返回的 settlementNo",
                                  "the settlement number: the settlementNo cliSettlement returned"}};

// ---- Registration -------------------------------------------------------

// The sheets keep their layout: one argument, request member or column a line.
// clang-format off

// The centre code is argument 3; the request carries four values of the
// chosen centre's record, not the code the HIS passed.
const ExportSheet kCliRegister{
    "cliRegister", "CliRegister", soap_send___ns1__cliRegister, kChangesState, kChecksFailWith300,
    {
        {"regType", stringCheck("登记类型", 1, kRequired), &ns1__cliRegister::regType, {"登记类型,一字节代码", "registration type, one byte"}},
        {"clinicNo", numberCheck("就诊号", 18, kMayBeEmpty), &ns1__cliRegister::clinicNo, {"门诊就诊号;新登记时为空", "the outpatient visit number; empty for a new registration"}},
        centreCodeArgument(),
        {"hisClinicNo", stringCheck("HIS门诊号", 20, kRequired), &ns1__cliRegister::hisClinicNo, {"HIS 自己的门诊号", "the HIS's own outpatient number"}},
        {"familyNo", stringCheck("家庭编号", 18, kRequired), &ns1__cliRegister::familyNo, {"家庭编号", "family number"}},
        {"memberNo", stringCheck("个人编号", 20, kRequired), &ns1__cliRegister::memberNo, {"个人编号", "the member's personal number"}},
        {"countryNo", stringCheck("辖区编码", 18, kRequired), &ns1__cliRegister::countryNo, {"辖区编码", "district code"}},
        {"memberName", stringCheck("姓名", 40, kRequired), &ns1__cliRegister::memberName, {"姓名", "the member's name"}},
        {"sexCode", stringCheck("性别代码", 1, kMayBeEmpty), &ns1__cliRegister::sexCode, {"性别代码,一字节", "sex code, one byte"}},
        {"idCard", stringCheck("身份证", 18, kMayBeEmpty), &ns1__cliRegister::idCard, {"身份证号", "identity card number"}},
        {"age", numberCheck("年龄", 3, kMayBeEmpty), &ns1__cliRegister::age, {"年龄", "age"}},
        {"medicalCertNo", stringCheck("医疗证号", 20, kRequired), &ns1__cliRegister::bookNo, {"医疗证号", "medical certificate number"}},
        {"cardNo", stringCheck("医疗卡号", 20, kMayBeEmpty), &ns1__cliRegister::cardNo, {"医疗卡号", "medical card number"}},
        {"firstIcdNo", stringCheck("农合疾病主诊断", 12, kRequired), &ns1__cliRegister::firstIcdNo, {"主诊断,农合疾病编码", "main diagnosis, insurance disease code"}},
        {"secondIcdNo", stringCheck("农合疾病次诊断", 12, kMayBeEmpty), &ns1__cliRegister::secondIcdNo, {"次诊断,农合疾病编码", "secondary diagnosis, insurance disease code"}},
        {"inOfficeNo", stringCheck("入院科室编码", 5, kMayBeEmpty), &ns1__cliRegister::inOfficeNo, {"科室编码", "department code"}},
        {"clinicDate", dateCheck("门诊日期", kRequired), &ns1__cliRegister::clinicDate, {"门诊日期,yyyy-MM-dd", "outpatient date, yyyy-MM-dd"}},
        {"clinicDoctor", stringCheck("经治医师", 20, kMayBeEmpty), &ns1__cliRegister::clinicDoctor, {"经治医师", "attending doctor"}},
        {"cureCode", stringCheck("就诊类型", 1, kRequired), &ns1__cliRegister::cureCode, {"就诊类型,一字节代码", "visit type, one byte"}},
        {"inHosId", stringCheck("来院状态", 1, kMayBeEmpty), &ns1__cliRegister::inHosId, {"来院状态,一字节代码", "arrival state, one byte"}},
        {"turnLevel", stringCheck("转院机构级别", 1, kMayBeEmpty), &ns1__cliRegister::turnLevel, {"转院机构级别,一字节代码", "level of the referring institution, one byte"}},
        {"turnHosNo", stringCheck("转院机构编码", 24, kMayBeEmpty), &ns1__cliRegister::turnHosNo, {"转院机构编码", "code of the referring institution"}},
    },
    {
        {&ns1__cliRegister::centerNo, &CentreRecord::CenterNO},
        {&ns1__cliRegister::hosNo, &CentreRecord::HOSP_CODE},
        {&ns1__cliRegister::hosLevel, &CentreRecord::ORG_LEVEL},
        {&ns1__cliRegister::operator_, &CentreRecord::UserNo},
    },
    textResult(&ns1__cliRegisterResponse::return_, 0, "clinicNo"),
};

// ---- Fee details --------------------------------------------------------

// The visit number (argument 3) is checked before the centre code
// (argument 2); the HIS item code travels last in the request.
const ExportSheet kCliDetailInput{
    "cliDetailInput", "CliDetailInput", soap_send___ns1__cliDetailInput, kChangesState, kChecksFailWith300,
    {
        {fee::kEntryType, &ns1__cliDetailInput::type},
        centreCodeArgument(CheckedAfter{3}),
        {"clinicNo", numberCheck("门诊就诊号", 18, kRequired), &ns1__cliDetailInput::no, kClinicNoMeaning},
        {"clinicRxNo", stringCheck("门诊处方流水号", 100, kMayBeEmpty), &ns1__cliDetailInput::clinicRxNo, {"门诊处方流水号", "outpatient prescription serial number"}},
        {fee::kDetailNo, &ns1__cliDetailInput::detailNo},
        {fee::kHisItemCode, &ns1__cliDetailInput::hisLeechdomCode},
        {fee::kInsureItemCode, &ns1__cliDetailInput::code},
        {fee::kFeeClassCode, &ns1__cliDetailInput::classId},
        {fee::kItemName, &ns1__cliDetailInput::name},
        {fee::kItemSpec, &ns1__cliDetailInput::spec},
        {fee::kItemUnit, &ns1__cliDetailInput::unit},
        {fee::kItemConf, &ns1__cliDetailInput::conf},
        {fee::kPrice, &ns1__cliDetailInput::price},
        {fee::kQuantity, &ns1__cliDetailInput::quantity},
        {fee::kMoney, &ns1__cliDetailInput::money},
        {fee::kFactMoney, &ns1__cliDetailInput::factMoney},
        {fee::kUseDate, &ns1__cliDetailInput::useDate},
        {fee::kEnableRatio, &ns1__cliDetailInput::enableRatio},
        {fee::kEnableMoney, &ns1__cliDetailInput::enableMoney},
    },
    {},
    textResult(&ns1__cliDetailInputResponse::return_, 0, "detailno"),
};

// Columns 10 and 11 show the fact money before the date of use, against the
// record's member order.
const ExportSheet kCliDetailSeek{
    "cliDetailSeek", "CliDetailSeek", soap_send___ns1__cliDetailSeek, kReadsOnly, kChecksFailWith600,
    {
        {"clinicNo", stringCheck("门诊就诊号", 20, kRequired), &ns1__cliDetailSeek::clinicNo, kClinicNoMeaning},
        centreCodeArgument(),
    },
    {},
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
        {"列名大小写不一,请照写", "the column names mix upper and lower case: use them as written"},
    },
};

const ExportSheet kCliCancelFee{
    "cliCancelFee", "CliCancelFee", soap_send___ns1__cliCancelFee, kChangesState, kChecksFailWith300,
    {
        {"clinicNo", numberCheck("门诊就诊号", 18, kRequired), &ns1__cliCancelFee::clinicNo, kClinicNoMeaning},
        centreCodeArgument(),
    },
    {},
    noResult<ns1__cliCancelFeeResponse>(),
    {
        {"撤销该次门诊的全部费用明细", "cancels every fee item of the visit"},
    },
};

const ExportSheet kCliSingleCancleFee{
    "cliSingleCancleFee", "CliSingleCancleFee", soap_send___ns1__cliSingleCancleFee, kChangesState, kChecksFailWith300,
    {
        {"detailNo", numberCheck("门诊就诊号", 18, kRequired), &ns1__cliSingleCancleFee::detailNo, {"费用明细序号:cliDetailInput 返回的 detailno", "the fee item's number: the detailno cliDetailInput returned"}},
        centreCodeArgument(),
    },
    {},
    noResult<ns1__cliSingleCancleFeeResponse>(),
    {
        {"检查提示用的是“门诊就诊号”,但参数是费用明细序号", "its check message says 门诊就诊号 (visit number), but the argument is a fee item's number"},
    },
};

// ---- Calculation and settlement -----------------------------------------

// The check money is written third but numbered 7; the HIS reads the
// columns by these numbers.
const ExportSheet kCliCalculate{
    "cliCalculate", "cliCalculate", soap_send___ns1__cliCalculate, kChangesState, kChecksFailWith600,
    {
        {"clinicNo", stringCheck("门诊就诊号", 20, kRequired), &ns1__cliCalculate::clinicNo, kClinicNoMeaning},
        centreCodeArgument(),
    },
    {},
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
};

// The operator settling is the chosen centre's configured user.
const ExportSheet kCliSettlement{
    "cliSettlement", "cliSettlement", soap_send___ns1__cliSettlement, kChangesState, kChecksFailWith600,
    {
        {"clinicNo", stringCheck("门诊就诊号", 20, kRequired), &ns1__cliSettlement::clinicNo, kClinicNoMeaning},
        centreCodeArgument(),
    },
    {
        {&ns1__cliSettlement::userNo, &CentreRecord::UserNo},
    },
    textResult(&ns1__cliSettlementResponse::return_, 0, "settlementNo"),
};

const ExportSheet kCliCancelSettlement{
    "cliCancelSettlement", "cliCancelSettlement", soap_send___ns1__cliCancelSettlement, kChangesState, kChecksFailWith600,
    {
        {kSettlementNo, &ns1__cliCancelSettlement::settlementNo},
        centreCodeArgument(),
    },
    {},
    noResult<ns1__cliCancelSettlementResponse>(),
};

const ExportSheet kCliSeek{
    "cliSeek", "CliSeek", soap_send___ns1__cliSeek, kReadsOnly, kChecksFailWith300,
    {
        {"memberCode", numberCheck("成员编码", 18, kRequired), &ns1__cliSeek::memberNo, {"参合人员的成员编码", "the member's code"}},
        centreCodeArgument(),
    },
    {},
    textResult(&ns1__cliSeekResponse::return_, 0, "DETAIL_ID"),
};

// ---- Audit, cash redemption and balance ---------------------------------

const ExportSheet kCliAuditingSeek{
    "cliAuditingSeek", "cliAuditingSeek", soap_send___ns1__cliAuditingSeek, kReadsOnly, kChecksFailWith600,
    {
        {kSettlementNo, &ns1__cliAuditingSeek::settlementNo},
        centreCodeArgument(),
    },
    {},
    textResult(&ns1__cliAuditingSeekResponse::return_, 0, "State"),
};

const ExportSheet kIsCashRedeem{
    "isCashRedeem", "isCashRedeem", soap_send___ns1__isCashRedeem, kReadsOnly, kChecksFailWith600,
    {
        {kSettlementNo, &ns1__isCashRedeem::settlementNo},
        centreCodeArgument(),
    },
    {},
    textResult(&ns1__isCashRedeemResponse::return_, 0, "sign"),
};

// The operator balancing is the chosen centre's configured user.
const ExportSheet kCliBalance{
    "cliBalance", "CliBalance", soap_send___ns1__cliBalance, kChangesState, kChecksFailWith300,
    {
        {"clinicNo", numberCheck("门诊就诊号", 18, kRequired), &ns1__cliBalance::settlementNo, kClinicNoMeaning},
        {"familyAccountGeld", numberCheck("家庭帐户支付补偿金额", 18, kRequired), &ns1__cliBalance::familyAccountGeld, {"家庭帐户支付的补偿金额", "the compensation paid from the family account"}},
        centreCodeArgument(),
    },
    {
        {&ns1__cliBalance::userNo, &CentreRecord::UserNo},
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
        {"第 1 个参数是门诊就诊号,不是补偿单号;它在请求中以 settlementNo 发送", "argument 1 is the outpatient visit number, not a settlement number; the request carries it in the member settlementNo"},
    },
};

const ExportSheet kCliStrikeBalance{
    "cliStrikeBalance", "cliStrikeBalance", soap_send___ns1__cliStrikeBalance, kChangesState, kChecksFailWith600,
    {
        {kSettlementNo, &ns1__cliStrikeBalance::settlementNo},
        centreCodeArgument(),
    },
    {},
    textResult(&ns1__cliStrikeBalanceResponse::return_, 0, "sign"),
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
  facts.push_back(factsOf(kCliRegister));
  facts.push_back(factsOf(kCliDetailInput));
  facts.push_back(factsOf(kCliDetailSeek));
  facts.push_back(factsOf(kCliCancelFee));
  facts.push_back(factsOf(kCliSingleCancleFee));
  facts.push_back(factsOf(kCliCalculate));
  facts.push_back(factsOf(kCliSettlement));
  facts.push_back(factsOf(kCliCancelSettlement));
  facts.push_back(factsOf(kCliSeek));
  facts.push_back(factsOf(kCliAuditingSeek));
  facts.push_back(factsOf(kIsCashRedeem));
  facts.push_back(factsOf(kCliBalance));
  facts.push_back(factsOf(kCliStrikeBalance));
}
