// SPDX-License-Identifier: MIT
// Inpatient transactions: registration (inpRegister, inpRegisterB), fee
// details (inpDetailInput, inpDetailSeek, inpSingleCancelFee, inpCancelFee),
// calculation and payment (calculate, inpPay, auditingSeek).
#include "NvInterFace.h"
#include "exports/fee_item.h"
#include "frame/packed_text.h"
#include "frame/service_call.h"
#include "soapH.h"

namespace {
using namespace nv;

constexpr size_t kRegistrationArguments = 32;

// The chaining key, as the reference tells the HIS.
const Words kInpatientSnMeaning{"住院就诊号:inpRegister 返回的 inpatientSn",
                                "the inpatient visit number: the inpatientSn inpRegister returned"};

// The sheets keep their layout: one argument, request member or column a line.
// clang-format off

// The name (argument 5) is checked only after the district code (argument 8),
// and the treatment code (argument 18) is never checked: it is sent whole,
// whatever its length. Dates are judged by their shape alone (length 0).
const ExportSheet kInpRegister{
    "inpRegister", "InpRegister", soap_send___ns1__inpRegister, kChangesState, kChecksFailWith300,
    {
        {"opType", stringCheck("登记类型", 1, kRequired), &ns1__inpRegister::opType, {"登记类型,一字节", "registration type, one byte"}},
        {"inpatientSn", numberCheck("就诊号", 18, kMayBeEmpty), &ns1__inpRegister::inpatientSn, {"住院就诊号;新登记时为空", "the inpatient visit number; empty for a new registration"}},
        centreCodeArgument(),
        {"hisVisitNo", stringCheck("HIS门诊号", 20, kRequired), &ns1__inpRegister::inpatientNo, {"HIS 自己的住院号", "the HIS's own visit number"}},
        {"memberName", stringCheck("姓名", 40, kRequired), &ns1__inpRegister::memberName, {"姓名", "the member's name"}, CheckedAfter{8}},
        {"familyNo", stringCheck("家庭编号", 18, kRequired), &ns1__inpRegister::familySysno, {"家庭编号", "family number"}},
        {"memberNo", stringCheck("个人编号", 20, kRequired), &ns1__inpRegister::memberSysno, {"个人编号", "the member's personal number"}},
        {"countryTeamCode", stringCheck("辖区编码", 18, kRequired), &ns1__inpRegister::countryTeamCode, {"辖区编码", "district code"}},
        {"sexCode", stringCheck("性别代码", 1, kMayBeEmpty), &ns1__inpRegister::sexId, {"性别代码,一字节", "sex code, one byte"}},
        {"idCard", stringCheck("身份证", 18, kMayBeEmpty), &ns1__inpRegister::idcardNo, {"身份证号", "identity card number"}},
        {"age", numberCheck("年龄", 3, kMayBeEmpty), &ns1__inpRegister::age, {"年龄", "age"}},
        {"medicalCertNo", stringCheck("医疗证号", 20, kRequired), &ns1__inpRegister::bookno, {"医疗证号", "medical certificate number"}},
        {"cardNo", stringCheck("医疗卡号", 20, kMayBeEmpty), &ns1__inpRegister::cardNo, {"医疗卡号", "medical card number"}},
        {"icdNo", stringCheck("农合疾病编码", 12, kRequired), &ns1__inpRegister::icdAllNo, {"诊断,农合疾病编码", "diagnosis, insurance disease code"}},
        {"opsNo", stringCheck("手术编码", 7, kMayBeEmpty), &ns1__inpRegister::opsId, {"手术编码", "operation code"}},
        {"inOfficeNo", stringCheck("入院科室编码", 5, kRequired), &ns1__inpRegister::inOfficeId, {"入院科室编码", "admitting department code"}},
        {"admissionDate", dateCheck("住院日期", kRequired), &ns1__inpRegister::officeDate, {"住院日期,yyyy-MM-dd", "admission date, yyyy-MM-dd"}},
        {"cureCode", kNotChecked, &ns1__inpRegister::cureId, {"治疗方式编码", "treatment code"}},
        {"inHosState", stringCheck("来院状态", 1, kRequired), &ns1__inpRegister::inHosId, {"来院状态,一字节", "state on arrival, one byte"}},
        {"cureDoctor", stringCheck("经治医师", 20, kMayBeEmpty), &ns1__inpRegister::cureDoctor, {"经治医师", "attending doctor"}},
        {"bedNo", stringCheck("床位号码", 20, kMayBeEmpty), &ns1__inpRegister::bedNo, {"床位号码", "bed number"}},
        {"sectionNo", stringCheck("入院院区", 20, kMayBeEmpty), &ns1__inpRegister::sectionNo, {"入院院区", "admitting ward area"}},
        {"dischargeDate", dateCheck("出院日期", kMayBeEmpty), &ns1__inpRegister::leaveDate, {"出院日期,yyyy-MM-dd", "discharge date, yyyy-MM-dd"}},
        {"days", numberCheck("住院天数", 8, kMayBeEmpty), &ns1__inpRegister::days, {"住院天数", "days in hospital"}},
        {"outOfficeNo", stringCheck("出院科室编码", 5, kMayBeEmpty), &ns1__inpRegister::outOfficeId, {"出院科室编码", "discharging department code"}},
        {"outHosState", stringCheck("出院状态", 1, kMayBeEmpty), &ns1__inpRegister::outHosId, {"出院状态,一字节", "state on discharge, one byte"}},
        {"turnType", stringCheck("转诊类型", 2, kMayBeEmpty), &ns1__inpRegister::turnOp, {"转诊类型", "referral type"}},
        {"turnOrgNo", stringCheck("转院机构编码", 24, kMayBeEmpty), &ns1__inpRegister::turnOrgNo, {"转入或转出机构编码", "code of the institution transferred to or from"}},
        {"turnDate", dateCheck("转院日期", kMayBeEmpty), &ns1__inpRegister::turnDate, {"转院日期,yyyy-MM-dd", "transfer date, yyyy-MM-dd"}},
        {"ticketNo", stringCheck("医院住院收费收据号", 20, kMayBeEmpty), &ns1__inpRegister::ticketNo, {"医院住院收费收据号", "the hospital's inpatient fee receipt number"}},
        {"ministerNotice", stringCheck("民政通知书号", 50, kMayBeEmpty), &ns1__inpRegister::ministerNotice, {"民政通知书号", "civil-affairs notice number"}},
        {"procreateNotice", stringCheck("生育证号", 50, kMayBeEmpty), &ns1__inpRegister::procreateNotice, {"生育证号", "birth permit number"}},
    },
    {
        {&ns1__inpRegister::hosOrgno, &CentreRecord::HOSP_CODE},
        {&ns1__inpRegister::centerNo, &CentreRecord::CenterNO},
        {&ns1__inpRegister::operateEmpSysno, &CentreRecord::UserNo},
        {&ns1__inpRegister::hosLevelId, &CentreRecord::ORG_LEVEL},
    },
    textResult(&ns1__inpRegisterResponse::return_, 0, "inpatientSn"),
};

// The centre code only selects the centre to call: the upload carries no
// centerNo member at all.
const ExportSheet kInpDetailInput{
    "inpDetailInput", "InpDetailInput", soap_send___ns1__inpDetailInput, kChangesState, kChecksFailWith300,
    {
        {"opType", fee::kEntryType, &ns1__inpDetailInput::opType},
        {"inpatientSn", numberCheck("住院就诊号", 18, kRequired), &ns1__inpDetailInput::inpatientSn, kInpatientSnMeaning},
        centreCodeArgument(),
        {"inpatientRxNo", stringCheck("住院处方流水号", 100, kMayBeEmpty), &ns1__inpDetailInput::inpatientRxno, {"住院处方流水号", "inpatient prescription serial number"}},
        {"detailId", fee::kDetailNo, &ns1__inpDetailInput::detailId},
        {fee::kHisItemCode, &ns1__inpDetailInput::hiscode},
        {fee::kInsureItemCode, &ns1__inpDetailInput::insureId},
        {fee::kFeeClassCode, &ns1__inpDetailInput::classId},
        {fee::kItemName, &ns1__inpDetailInput::name},
        {fee::kItemSpec, &ns1__inpDetailInput::spec},
        {fee::kItemUnit, &ns1__inpDetailInput::unit},
        {fee::kItemConf, &ns1__inpDetailInput::conf},
        {fee::kPrice, &ns1__inpDetailInput::price},
        {fee::kQuantity, &ns1__inpDetailInput::quantity},
        {fee::kMoney, &ns1__inpDetailInput::money},
        {fee::kFactMoney, &ns1__inpDetailInput::factMoney},
        {fee::kUseDate, &ns1__inpDetailInput::useDate},
        {fee::kEnableRatio, &ns1__inpDetailInput::enableRatio},
        {fee::kEnableMoney, &ns1__inpDetailInput::enableMoney},
    },
    {},
    textResult(&ns1__inpDetailInputResponse::return_, 0, "detailNo"),
};

// The visit number is checked as text of up to 20 bytes here, unlike the
// 18-digit number the upload takes.
const ExportSheet kInpDetailSeek{
    "inpDetailSeek", "InpDetailSeek", soap_send___ns1__inpDetailSeek, kReadsOnly, kChecksFailWith600,
    {
        {"inpatientSn", stringCheck("住院就诊号", 20, kRequired), &ns1__inpDetailSeek::inpatientSn, kInpatientSnMeaning},
        centreCodeArgument(),
    },
    {
        {&ns1__inpDetailSeek::centerNo, &CentreRecord::CenterNO},
    },
    // Not the member order of the item: the HIS reads these positions.
    listResult(&ns1__inpDetailSeekResponse::return_, {
        {0, "inpatientSn", &ns6__inpatientDetailResult::inpatientSn},
        {1, "inpatientRxno", &ns6__inpatientDetailResult::inpatientRxno},
        {2, "detailId", &ns6__inpatientDetailResult::detailId},
        {3, "insureId", &ns6__inpatientDetailResult::insureId},
        {4, "classNo", &ns6__inpatientDetailResult::classNo},
        {5, "name", &ns6__inpatientDetailResult::name},
        {6, "spec", &ns6__inpatientDetailResult::spec},
        {7, "unit", &ns6__inpatientDetailResult::unit},
        {8, "conf", &ns6__inpatientDetailResult::conf},
        {9, "price", &ns6__inpatientDetailResult::price},
        {10, "quantity", &ns6__inpatientDetailResult::quantity},
        {11, "money", &ns6__inpatientDetailResult::money},
        {12, "factMoney", &ns6__inpatientDetailResult::factMoney},
        {13, "useDate", &ns6__inpatientDetailResult::useDate},
        {14, "enableRation", &ns6__inpatientDetailResult::enableRation},
        {15, "enableMoney", &ns6__inpatientDetailResult::enableMoney},
    }),
};

// The centre cancels an inpatient detail line through the same operation as
// an outpatient one; the operation named for inpatients is never used.
const ExportSheet kInpSingleCancelFee{
    "inpSingleCancelFee", "InpSingleCancleFee", soap_send___ns1__cliSingleCancleFee, kChangesState, kChecksFailWith300,
    {
        {"detailNo", numberCheck("门诊就诊号", 18, kRequired), &ns1__cliSingleCancleFee::detailNo, {"费用明细序号:inpDetailInput 返回的 detailNo", "the fee item's number: the detailNo inpDetailInput returned"}},
        centreCodeArgument(),
    },
    {},
    noResult<ns1__cliSingleCancleFeeResponse>(),
    {
        {"检查提示用的是“门诊就诊号”,但参数是住院费用明细序号", "its check message says 门诊就诊号 (outpatient visit number), but the argument is an inpatient fee item's number"},
    },
};

const ExportSheet kInpCancelFee{
    "inpCancelFee", "InpCancelFee", soap_send___ns1__inpCancelFee, kChangesState, kChecksFailWith300,
    {
        {"inpatientSn", numberCheck("门诊就诊号", 18, kRequired), &ns1__inpCancelFee::no, kInpatientSnMeaning},
        centreCodeArgument(),
    },
    {
        {&ns1__inpCancelFee::centerNo, &CentreRecord::CenterNO},
    },
    noResult<ns1__inpCancelFeeResponse>(),
    {
        {"检查提示用的是“门诊就诊号”,但参数是住院就诊号;撤销该次住院的全部费用明细", "its check message says 门诊就诊号 (outpatient visit number), but the argument is the inpatient visit number; cancels every fee item of the stay"},
    },
};

const ExportSheet kCalculate{
    "calculate", "Calculate", soap_send___ns1__calculate, kChangesState, kChecksFailWith300,
    {
        {"inpatientSn", numberCheck("住院就诊号", 18, kRequired), &ns1__calculate::inpatientSn, kInpatientSnMeaning},
        centreCodeArgument(),
        {"redeemType", stringCheck("补偿类型", 3, kRequired), &ns1__calculate::redeemId, {"补偿类型代码", "compensation type code"}},
    },
    {
        {&ns1__calculate::centerNo, &CentreRecord::CenterNO},
    },
    recordResult(&ns1__calculateResponse::return_, {
        {0, "totalCosts", &ns7__inpatientCaculateResult::totalCosts},
        {1, "enableMoney", &ns7__inpatientCaculateResult::enableMoney},
        {2, "factRedeemMoney", &ns7__inpatientCaculateResult::factRedeemMoney},
        {3, "startMoney", &ns7__inpatientCaculateResult::startMoney},
        {4, "totalRedeemMoney", &ns7__inpatientCaculateResult::totalRedeemMoney},
        {5, "totalRedeemCount", &ns7__inpatientCaculateResult::totalRedeemCount},
        {6, "familyAccountPayMoney", &ns7__inpatientCaculateResult::familyAccountPayMoney},
    }),
};

// Written as "InpBalance", and the payee (argument 4) is checked before the
// date of payment (argument 3), as HIS code written against this interface
// expects. Both dates are plain yyyy-MM-dd dates.
const ExportSheet kInpPay{
    "inpPay", "InpBalance", soap_send___ns1__inpPay, kChangesState, kChecksFailWith300,
    {
        {"inpatientSn", numberCheck("住院就诊号", 18, kRequired), &ns1__inpPay::no, kInpatientSnMeaning},
        {"redeemType", stringCheck("补偿类别", 2, kRequired), &ns1__inpPay::redeemId, {"补偿类别代码", "compensation type code"}},
        {"redeemDate", dateCheck("兑付时间", kRequired), &ns1__inpPay::redeemDate, {"兑付日期,yyyy-MM-dd", "date of payment, yyyy-MM-dd"}, CheckedAfter{4}},
        {"acceptMan", stringCheck("领款人", 20, kRequired), &ns1__inpPay::acceptMan, {"领款人", "the payee"}},
        {"acceptDate", dateCheck("领款时间", kRequired), &ns1__inpPay::acceptDate, {"领款日期,yyyy-MM-dd", "date the payee received it, yyyy-MM-dd"}},
        centreCodeArgument(),
    },
    {
        {&ns1__inpPay::centerNo, &CentreRecord::CenterNO},
        {&ns1__inpPay::redeemEmpsysno, &CentreRecord::UserNo},
        {&ns1__inpPay::redeemOrgno, &CentreRecord::HOSP_CODE},
    },
    recordResult(&ns1__inpPayResponse::return_, {
        {0, "totalCosts", &ns12__inpatientPayResult::totalCosts},
        {1, "enableMoney", &ns12__inpatientPayResult::enableMoney},
        {2, "redeemMoney", &ns12__inpatientPayResult::redeemMoney},
        {3, "startMoney", &ns12__inpatientPayResult::startMoney},
        {4, "totalRedeemMoney", &ns12__inpatientPayResult::totalRedeemMoney},
        {5, "totalRedeemCount", &ns12__inpatientPayResult::totalRedeemCount},
        {6, "inpatientRedeemno", &ns12__inpatientPayResult::inpatientRedeemno},
        {7, "familyAccountPayMoney", &ns12__inpatientPayResult::familyAccountPayMoney},
    }),
    {
        {"两个时间都只是日期 yyyy-MM-dd,不带时刻", "both times are plain dates, yyyy-MM-dd, without a time of day"},
    },
};

const ExportSheet kAuditingSeek{
    "auditingSeek", "AuditingSeek", soap_send___ns1__auditingSeek, kReadsOnly, kChecksFailWith600,
    {
        {"inpatientSn", stringCheck("住院就诊号", 20, kRequired), &ns1__auditingSeek::no, kInpatientSnMeaning},
        centreCodeArgument(),
    },
    {
        {&ns1__auditingSeek::centerNo, &CentreRecord::CenterNO},
    },
    textResult(&ns1__auditingSeekResponse::return_, 0, "CheckState"),
};

// clang-format on

}  // namespace

extern "C" {

NV_API char* NV_CALL inpRegister(NvText opType, NvText inpatientSn, NvText centreCode, NvText hisVisitNo,
                                 NvText memberName, NvText familyNo, NvText memberNo, NvText countryTeamCode,
                                 NvText sexCode, NvText idCard, NvText age, NvText medicalCertNo, NvText cardNo,
                                 NvText icdNo, NvText opsNo, NvText inOfficeNo, NvText admissionDate, NvText cureCode,
                                 NvText inHosState, NvText cureDoctor, NvText bedNo, NvText sectionNo,
                                 NvText dischargeDate, NvText days, NvText outOfficeNo, NvText outHosState,
                                 NvText turnType, NvText turnOrgNo, NvText turnDate, NvText ticketNo,
                                 NvText ministerNotice, NvText procreateNotice) {
  return runExport(
      kInpRegister,
      {opType,        inpatientSn, centreCode, hisVisitNo,    memberName, familyNo,  memberNo,       countryTeamCode,
       sexCode,       idCard,      age,        medicalCertNo, cardNo,     icdNo,     opsNo,          inOfficeNo,
       admissionDate, cureCode,    inHosState, cureDoctor,    bedNo,      sectionNo, dischargeDate,  days,
       outOfficeNo,   outHosState, turnType,   turnOrgNo,     turnDate,   ticketNo,  ministerNotice, procreateNotice});
}

// The same registration from one packed text; the result is inpRegister's.
NV_API char* NV_CALL inpRegisterB(NvText packedRegistration) {
  return guardExport(kInpRegister.functionId, [&] {
    return runSheet(kInpRegister, splitPackedText(argText(packedRegistration), kRegistrationArguments));
  });
}

NV_API char* NV_CALL inpDetailInput(NvText opType, NvText inpatientSn, NvText centreCode, NvText inpatientRxNo,
                                    NvText detailId, NvText hisItemCode, NvText insureItemCode, NvText feeClassCode,
                                    NvText itemName, NvText itemSpec, NvText itemUnit, NvText itemConf, NvText price,
                                    NvText quantity, NvText money, NvText factMoney, NvText useDate, NvText enableRatio,
                                    NvText enableMoney) {
  return runExport(kInpDetailInput, {opType, inpatientSn, centreCode, inpatientRxNo, detailId, hisItemCode,
                                     insureItemCode, feeClassCode, itemName, itemSpec, itemUnit, itemConf, price,
                                     quantity, money, factMoney, useDate, enableRatio, enableMoney});
}

NV_API char* NV_CALL inpDetailSeek(NvText inpatientSn, NvText centreCode) {
  return runExport(kInpDetailSeek, {inpatientSn, centreCode});
}

NV_API char* NV_CALL inpSingleCancelFee(NvText detailNo, NvText centreCode) {
  return runExport(kInpSingleCancelFee, {detailNo, centreCode});
}

NV_API char* NV_CALL inpCancelFee(NvText inpatientSn, NvText centreCode) {
  return runExport(kInpCancelFee, {inpatientSn, centreCode});
}

NV_API char* NV_CALL calculate(NvText inpatientSn, NvText centreCode, NvText redeemType) {
  return runExport(kCalculate, {inpatientSn, centreCode, redeemType});
}

NV_API char* NV_CALL inpPay(NvText inpatientSn, NvText redeemType, NvText redeemDate, NvText acceptMan,
                            NvText acceptDate, NvText centreCode) {
  return runExport(kInpPay, {inpatientSn, redeemType, redeemDate, acceptMan, acceptDate, centreCode});
}

NV_API char* NV_CALL auditingSeek(NvText inpatientSn, NvText centreCode) {
  return runExport(kAuditingSeek, {inpatientSn, centreCode});
}

}  // extern "C"

void nv::addInpatientFacts(std::vector<ExportFacts>& facts) {
  facts.push_back(factsOf(kInpRegister));
  // The packed form: inpRegister's facts behind one text.
  ExportFacts packed{"inpRegisterB", ExportKind::kPacked};
  packed.parameters = {"packedRegistration"};
  packed.functionId = kInpRegister.functionId;
  packed.checkFailureCode = kInpRegister.checkFailureCode;
  packed.operation = wire::elementNameOf(static_cast<const ns1__inpRegister*>(nullptr));
  packed.effect = kInpRegister.effect;
  packed.answer = kInpRegister.answer;
  packed.meanings = {{"inpRegister 的 32 个值,按其顺序以“|”分隔;空值写一个空格",
                      "inpRegister's 32 values in its order, separated by \"|\"; an empty value as one space"}};
  packed.remarks = {{"拆分后按 inpRegister 检查和发送,结果就是 inpRegister 的结果;拼装规则见 NvInterFace.h",
                     "once unpacked, checked and sent as by inpRegister, whose result it returns; NvInterFace.h "
                     "states the packing rules"}};
  facts.push_back(packed);
  facts.push_back(factsOf(kInpDetailInput));
  facts.push_back(factsOf(kInpDetailSeek));
  facts.push_back(factsOf(kInpSingleCancelFee));
  facts.push_back(factsOf(kInpCancelFee));
  facts.push_back(factsOf(kCalculate));
  facts.push_back(factsOf(kInpPay));
  facts.push_back(factsOf(kAuditingSeek));
}
