// Outpatient transactions: registration, fee details, calculation and
// settlement, audit, cash redemption and balance. Each export is its sheet
// and one call of the service template.
#include "NvInterFace.h"
#include "frame/service_call.h"
#include "soapH.h"

namespace {
using namespace nv;

// The centre code every two-argument outpatient export takes last: looked up,
// then checked like any argument.
constexpr Check centreCodeCheck(int argument) { return {argument, "农合中心编码", kString, 12, kMayBeEmpty}; }

// ---- Registration -------------------------------------------------------

// The centre code is argument 3; the request carries four values of the
// chosen centre's record, not the code the HIS passed.
const ExportSheet kCliRegister{
    "CliRegister", /*centre-code argument*/ 3,
    {
        {1, "登记类型", kString, 1, kRequired},
        {2, "就诊号", kNumber, 18, kMayBeEmpty},
        centreCodeCheck(3),
        {4, "HIS门诊号", kString, 20, kRequired},
        {5, "家庭编号", kString, 18, kRequired},
        {6, "个人编号", kString, 20, kRequired},
        {7, "辖区编码", kString, 18, kRequired},
        {8, "姓名", kString, 40, kRequired},
        {9, "性别代码", kString, 1, kMayBeEmpty},
        {10, "身份证", kString, 18, kMayBeEmpty},
        {11, "年龄", kNumber, 3, kMayBeEmpty},
        {12, "医疗证号", kString, 20, kRequired},
        {13, "医疗卡号", kString, 20, kMayBeEmpty},
        {14, "农合疾病主诊断", kString, 12, kRequired},
        {15, "农合疾病次诊断", kString, 12, kMayBeEmpty},
        {16, "入院科室编码", kString, 5, kMayBeEmpty},
        {17, "门诊日期", kDate, 20, kRequired},
        {18, "经治医师", kString, 20, kMayBeEmpty},
        {19, "就诊类型", kString, 1, kRequired},
        {20, "来院状态", kString, 1, kMayBeEmpty},
        {21, "转院机构级别", kString, 1, kMayBeEmpty},
        {22, "转院机构编码", kString, 24, kMayBeEmpty},
    },
    /*check-failure code*/ "300",
    soap_call___ns1__cliRegister,
    {
        {&ns1__cliRegister::regType, arg(1)},
        {&ns1__cliRegister::clinicNo, arg(2)},
        {&ns1__cliRegister::centerNo, centre(&CenterRecord::CenterNO)},
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
        {&ns1__cliRegister::hosNo, centre(&CenterRecord::HOSP_CODE)},
        {&ns1__cliRegister::hosLevel, centre(&CenterRecord::ORG_LEVEL)},
        {&ns1__cliRegister::firstIcdNo, arg(14)},
        {&ns1__cliRegister::secondIcdNo, arg(15)},
        {&ns1__cliRegister::inOfficeNo, arg(16)},
        {&ns1__cliRegister::clinicDate, arg(17)},
        {&ns1__cliRegister::clinicDoctor, arg(18)},
        {&ns1__cliRegister::cureCode, arg(19)},
        {&ns1__cliRegister::inHosId, arg(20)},
        {&ns1__cliRegister::operator_, centre(&CenterRecord::UserNo)},
        {&ns1__cliRegister::turnLevel, arg(21)},
        {&ns1__cliRegister::turnHosNo, arg(22)},
    },
    textResult(&ns1__cliRegisterResponse::return_, 0, "clinicNo"),
};

// ---- Fee details --------------------------------------------------------

// The visit number (argument 3) is checked before the centre code
// (argument 2); the HIS item code travels last in the request.
const ExportSheet kCliDetailInput{
    "CliDetailInput", /*centre-code argument*/ 2,
    {
        {1, "登记类型", kString, 1, kRequired},
        {3, "门诊就诊号", kNumber, 18, kRequired},
        centreCodeCheck(2),
        {4, "门诊处方流水号", kString, 100, kMayBeEmpty},
        {5, "农合明细序号", kNumber, 18, kMayBeEmpty},
        {6, "HIS药品编码", kString, 40, kRequired},
        {7, "农合药品编码", kString, 40, kRequired},
        {8, "农合费用分类代码", kString, 4, kRequired},
        {9, "HIS药品名称", kString, 100, kMayBeEmpty},
        {10, "HIS药品规格", kString, 200, kMayBeEmpty},
        {11, "HIS药品单位", kString, 100, kMayBeEmpty},
        {12, "HIS药品剂型", kString, 100, kMayBeEmpty},
        {13, "HIS药品单价", kNumber, 18, kRequired},
        {14, "HIS药品数量", kNumber, 18, kRequired},
        {15, "金额(=数量*单价)", kNumber, 18, kMayBeEmpty},
        {16, "实收金额(折扣后的金额)", kNumber, 18, kRequired},
        {17, "使用日期", kDate, 5, kRequired},  // a date is judged by its shape alone
        {18, "可报比例", kNumber, 18, kMayBeEmpty},
        {19, "可报金额", kNumber, 18, kMayBeEmpty},
    },
    /*check-failure code*/ "300",
    soap_call___ns1__cliDetailInput,
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
};

// Columns 10 and 11 show the fact money before the date of use, against the
// record's member order; the mixed letter case of the names is the HIS's.
const ExportSheet kCliDetailSeek{
    "CliDetailSeek", /*centre-code argument*/ 2,
    {
        {1, "门诊就诊号", kString, 20, kRequired},
        centreCodeCheck(2),
    },
    /*check-failure code*/ "600",
    soap_call___ns1__cliDetailSeek,
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
};

const ExportSheet kCliCancelFee{
    "CliCancelFee", /*centre-code argument*/ 2,
    {
        {1, "门诊就诊号", kNumber, 18, kRequired},
        centreCodeCheck(2),
    },
    /*check-failure code*/ "300",
    soap_call___ns1__cliCancelFee,
    {
        {&ns1__cliCancelFee::clinicNo, arg(1)},
    },
    noResult(),
};

// The argument is a fee item's number; the HIS knows its check by the
// visit-number label all the same.
const ExportSheet kCliSingleCancleFee{
    "CliSingleCancleFee", /*centre-code argument*/ 2,
    {
        {1, "门诊就诊号", kNumber, 18, kRequired},
        centreCodeCheck(2),
    },
    /*check-failure code*/ "300",
    soap_call___ns1__cliSingleCancleFee,
    {
        {&ns1__cliSingleCancleFee::detailNo, arg(1)},
    },
    noResult(),
};

// ---- Calculation and settlement -----------------------------------------

// The check money is written third but numbered 7; the HIS reads the
// columns by these numbers.
const ExportSheet kCliCalculate{
    "cliCalculate", /*centre-code argument*/ 2,
    {
        {1, "门诊就诊号", kString, 20, kRequired},
        centreCodeCheck(2),
    },
    /*check-failure code*/ "600",
    soap_call___ns1__cliCalculate,
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
};

// The operator settling is the chosen centre's configured user.
const ExportSheet kCliSettlement{
    "cliSettlement", /*centre-code argument*/ 2,
    {
        {1, "门诊就诊号", kString, 20, kRequired},
        centreCodeCheck(2),
    },
    /*check-failure code*/ "600",
    soap_call___ns1__cliSettlement,
    {
        {&ns1__cliSettlement::clinicNo, arg(1)},
        {&ns1__cliSettlement::userNo, centre(&CenterRecord::UserNo)},
    },
    textResult(&ns1__cliSettlementResponse::return_, 0, "settlementNo"),
};

const ExportSheet kCliCancelSettlement{
    "cliCancelSettlement", /*centre-code argument*/ 2,
    {
        {1, "门诊补偿单号", kString, 20, kRequired},
        centreCodeCheck(2),
    },
    /*check-failure code*/ "600",
    soap_call___ns1__cliCancelSettlement,
    {
        {&ns1__cliCancelSettlement::settlementNo, arg(1)},
    },
    noResult(),
};

const ExportSheet kCliSeek{
    "CliSeek", /*centre-code argument*/ 2,
    {
        {1, "成员编码", kNumber, 18, kRequired},
        centreCodeCheck(2),
    },
    /*check-failure code*/ "300",
    soap_call___ns1__cliSeek,
    {
        {&ns1__cliSeek::memberNo, arg(1)},
    },
    textResult(&ns1__cliSeekResponse::return_, 0, "DETAIL_ID"),
};

// ---- Audit, cash redemption and balance ---------------------------------

// The settlement number of cliSettlement, as the three settlement queries
// check it.
constexpr Check settlementNoCheck() { return {1, "门诊补偿单号", kString, 20, kRequired}; }

const ExportSheet kCliAuditingSeek{
    "cliAuditingSeek", /*centre-code argument*/ 2,
    {settlementNoCheck(), centreCodeCheck(2)},
    /*check-failure code*/ "600",
    soap_call___ns1__cliAuditingSeek,
    {
        {&ns1__cliAuditingSeek::settlementNo, arg(1)},
    },
    textResult(&ns1__cliAuditingSeekResponse::return_, 0, "State"),
};

const ExportSheet kIsCashRedeem{
    "isCashRedeem", /*centre-code argument*/ 2,
    {settlementNoCheck(), centreCodeCheck(2)},
    /*check-failure code*/ "600",
    soap_call___ns1__isCashRedeem,
    {
        {&ns1__isCashRedeem::settlementNo, arg(1)},
    },
    textResult(&ns1__isCashRedeemResponse::return_, 0, "sign"),
};

// The visit number travels in the member the centre calls settlementNo; the
// operator balancing is the chosen centre's configured user.
const ExportSheet kCliBalance{
    "CliBalance", /*centre-code argument*/ 3,
    {
        {1, "门诊就诊号", kNumber, 18, kRequired},
        {2, "家庭帐户支付补偿金额", kNumber, 18, kRequired},
        centreCodeCheck(3),
    },
    /*check-failure code*/ "300",
    soap_call___ns1__cliBalance,
    {
        {&ns1__cliBalance::settlementNo, arg(1)},
        {&ns1__cliBalance::familyAccountGeld, arg(2)},
        {&ns1__cliBalance::userNo, centre(&CenterRecord::UserNo)},
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
};

const ExportSheet kCliStrikeBalance{
    "cliStrikeBalance", /*centre-code argument*/ 2,
    {settlementNoCheck(), centreCodeCheck(2)},
    /*check-failure code*/ "600",
    soap_call___ns1__cliStrikeBalance,
    {
        {&ns1__cliStrikeBalance::settlementNo, arg(1)},
    },
    textResult(&ns1__cliStrikeBalanceResponse::return_, 0, "sign"),
};

}  // namespace

extern "C" {

NV_API char* NV_CALL cliRegister(NvText regType, NvText clinicNo, NvText centreCode, NvText hisClinicNo,
                                 NvText familyNo, NvText memberNo, NvText countryNo, NvText memberName, NvText sexCode,
                                 NvText idCard, NvText age, NvText medicalCertNo, NvText cardNo, NvText firstIcdNo,
                                 NvText secondIcdNo, NvText inOfficeNo, NvText clinicDate, NvText clinicDoctor,
                                 NvText cureCode, NvText inHosId, NvText turnLevel, NvText turnHosNo) {
  return runExport(kCliRegister, {regType,    clinicNo,   centreCode,    hisClinicNo, familyNo,   memberNo,
                                  countryNo,  memberName, sexCode,       idCard,      age,        medicalCertNo,
                                  cardNo,     firstIcdNo, secondIcdNo,   inOfficeNo,  clinicDate, clinicDoctor,
                                  cureCode,   inHosId,    turnLevel,     turnHosNo});
}

NV_API char* NV_CALL cliDetailInput(NvText type, NvText centreCode, NvText clinicNo, NvText clinicRxNo,
                                    NvText detailNo, NvText hisItemCode, NvText insureItemCode, NvText feeClassCode,
                                    NvText itemName, NvText itemSpec, NvText itemUnit, NvText itemConf, NvText price,
                                    NvText quantity, NvText money, NvText factMoney, NvText useDate,
                                    NvText enableRatio, NvText enableMoney) {
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
