// SPDX-License-Identifier: MIT
// Inpatient transactions: registration (inpRegister, inpRegisterB), fee
// details (inpDetailInput, inpDetailSeek, inpSingleCancelFee, inpCancelFee),
// calculation and payment (calculate, inpPay, auditingSeek).
#include "NvInterFace.h"
#include "frame/packed_text.h"
#include "frame/service_call.h"
#include "soapH.h"

namespace {
using namespace nv;

constexpr size_t kRegistrationArguments = 32;

// The chaining key, as the reference tells the HIS.
const Words kInpatientSnMeaning{"住院就诊号:inpRegister 返回的 inpatientSn",
                                "the inpatient visit number: the inpatientSn inpRegister returned"};

// The sheets keep their layout: one check, request member or column a line.
// clang-format off

// The name (argument 5) is checked only after the district code (argument 8),
// and the treatment code (argument 18) is never checked: it is sent whole,
// whatever its length. Dates are judged by their shape alone (length 0).
const ExportSheet kInpRegister{
    "InpRegister", /*centre-code argument*/ 3,
    {
        stringCheck(1, "登记类型", 1, kRequired),
        numberCheck(2, "就诊号", 18, kMayBeEmpty),
        centreCodeCheck(3),
        stringCheck(4, "HIS门诊号", 20, kRequired),
        stringCheck(6, "家庭编号", 18, kRequired),
        stringCheck(7, "个人编号", 20, kRequired),
        stringCheck(8, "辖区编码", 18, kRequired),
        stringCheck(5, "姓名", 40, kRequired),
        stringCheck(9, "性别代码", 1, kMayBeEmpty),
        stringCheck(10, "身份证", 18, kMayBeEmpty),
        numberCheck(11, "年龄", 3, kMayBeEmpty),
        stringCheck(12, "医疗证号", 20, kRequired),
        stringCheck(13, "医疗卡号", 20, kMayBeEmpty),
        stringCheck(14, "农合疾病编码", 12, kRequired),
        stringCheck(15, "手术编码", 7, kMayBeEmpty),
        stringCheck(16, "入院科室编码", 5, kRequired),
        dateCheck(17, "住院日期", kRequired),
        stringCheck(19, "来院状态", 1, kRequired),
        stringCheck(20, "经治医师", 20, kMayBeEmpty),
        stringCheck(21, "床位号码", 20, kMayBeEmpty),
        stringCheck(22, "入院院区", 20, kMayBeEmpty),
        dateCheck(23, "出院日期", kMayBeEmpty),
        numberCheck(24, "住院天数", 8, kMayBeEmpty),
        stringCheck(25, "出院科室编码", 5, kMayBeEmpty),
        stringCheck(26, "出院状态", 1, kMayBeEmpty),
        stringCheck(27, "转诊类型", 2, kMayBeEmpty),
        stringCheck(28, "转院机构编码", 24, kMayBeEmpty),
        dateCheck(29, "转院日期", kMayBeEmpty),
        stringCheck(30, "医院住院收费收据号", 20, kMayBeEmpty),
        stringCheck(31, "民政通知书号", 50, kMayBeEmpty),
        stringCheck(32, "生育证号", 50, kMayBeEmpty),
    },
    kChecksFailWith300,
    soap_send___ns1__inpRegister, kChangesState,
    {
        {&ns1__inpRegister::opType, arg(1)},
        {&ns1__inpRegister::inpatientSn, arg(2)},
        {&ns1__inpRegister::hosOrgno, centre(&CentreRecord::HOSP_CODE)},
        {&ns1__inpRegister::inpatientNo, arg(4)},
        {&ns1__inpRegister::centerNo, centre(&CentreRecord::CenterNO)},
        {&ns1__inpRegister::memberName, arg(5)},
        {&ns1__inpRegister::familySysno, arg(6)},
        {&ns1__inpRegister::memberSysno, arg(7)},
        {&ns1__inpRegister::countryTeamCode, arg(8)},
        {&ns1__inpRegister::sexId, arg(9)},
        {&ns1__inpRegister::idcardNo, arg(10)},
        {&ns1__inpRegister::age, arg(11)},
        {&ns1__inpRegister::bookno, arg(12)},
        {&ns1__inpRegister::cardNo, arg(13)},
        {&ns1__inpRegister::icdAllNo, arg(14)},
        {&ns1__inpRegister::opsId, arg(15)},
        {&ns1__inpRegister::inOfficeId, arg(16)},
        {&ns1__inpRegister::officeDate, arg(17)},
        {&ns1__inpRegister::cureId, arg(18)},
        {&ns1__inpRegister::inHosId, arg(19)},
        {&ns1__inpRegister::cureDoctor, arg(20)},
        {&ns1__inpRegister::bedNo, arg(21)},
        {&ns1__inpRegister::sectionNo, arg(22)},
        {&ns1__inpRegister::leaveDate, arg(23)},
        {&ns1__inpRegister::days, arg(24)},
        {&ns1__inpRegister::outOfficeId, arg(25)},
        {&ns1__inpRegister::outHosId, arg(26)},
        {&ns1__inpRegister::turnOp, arg(27)},
        {&ns1__inpRegister::turnOrgNo, arg(28)},
        {&ns1__inpRegister::turnDate, arg(29)},
        {&ns1__inpRegister::ticketNo, arg(30)},
        {&ns1__inpRegister::ministerNotice, arg(31)},
        {&ns1__inpRegister::procreateNotice, arg(32)},
        {&ns1__inpRegister::operateEmpSysno, centre(&CentreRecord::UserNo)},
        {&ns1__inpRegister::hosLevelId, centre(&CentreRecord::ORG_LEVEL)},
    },
    textResult(&ns1__inpRegisterResponse::return_, 0, "inpatientSn"),
    {
        {"登记类型,一字节", "registration type, one byte"},
        {"住院就诊号;新登记时为空", "the inpatient visit number; empty for a new registration"},
        kCentreCodeMeaning,
        {"HIS 自己的住院号", "the HIS's own visit number"},
        {"姓名", "the member's name"},
        {"家庭编号", "family number"},
        {"个人编号", "the member's personal number"},
        {"辖区编码", "district code"},
        {"性别代码,一字节", "sex code, one byte"},
        {"身份证号", "identity card number"},
        {"年龄", "age"},
        {"医疗证号", "medical certificate number"},
        {"医疗卡号", "medical card number"},
        {"诊断,农合疾病编码", "diagnosis, insurance disease code"},
        {"手术编码", "operation code"},
        {"入院科室编码", "admitting department code"},
        {"住院日期,yyyy-MM-dd", "admission date, yyyy-MM-dd"},
        {"治疗方式编码", "treatment code"},
        {"来院状态,一字节", "state on arrival, one byte"},
        {"经治医师", "attending doctor"},
        {"床位号码", "bed number"},
        {"入院院区", "admitting ward area"},
        {"出院日期,yyyy-MM-dd", "discharge date, yyyy-MM-dd"},
        {"住院天数", "days in hospital"},
        {"出院科室编码", "discharging department code"},
        {"出院状态,一字节", "state on discharge, one byte"},
        {"转诊类型", "referral type"},
        {"转入或转出机构编码", "code of the institution transferred to or from"},
        {"转院日期,yyyy-MM-dd", "transfer date, yyyy-MM-dd"},
        {"医院住院收费收据号", "the hospital's inpatient fee receipt number"},
        {"民政通知书号", "civil-affairs notice number"},
        {"生育证号", "birth permit number"},
    },
};

// The centre code only selects the centre to call: the upload carries no
// centerNo member at all.
const ExportSheet kInpDetailInput{
    "InpDetailInput", /*centre-code argument*/ 3,
    {
        stringCheck(1, "登记类型", 1, kRequired),
        numberCheck(2, "住院就诊号", 18, kRequired),
        centreCodeCheck(3),
        stringCheck(4, "住院处方流水号", 100, kMayBeEmpty),
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
        dateCheck(17, "使用日期", kRequired),
        numberCheck(18, "可报比例", 18, kMayBeEmpty),
        numberCheck(19, "可报金额", 18, kMayBeEmpty),
    },
    kChecksFailWith300,
    soap_send___ns1__inpDetailInput, kChangesState,
    {
        {&ns1__inpDetailInput::opType, arg(1)},
        {&ns1__inpDetailInput::inpatientSn, arg(2)},
        {&ns1__inpDetailInput::inpatientRxno, arg(4)},
        {&ns1__inpDetailInput::detailId, arg(5)},
        {&ns1__inpDetailInput::hiscode, arg(6)},
        {&ns1__inpDetailInput::insureId, arg(7)},
        {&ns1__inpDetailInput::classId, arg(8)},
        {&ns1__inpDetailInput::name, arg(9)},
        {&ns1__inpDetailInput::spec, arg(10)},
        {&ns1__inpDetailInput::unit, arg(11)},
        {&ns1__inpDetailInput::conf, arg(12)},
        {&ns1__inpDetailInput::price, arg(13)},
        {&ns1__inpDetailInput::quantity, arg(14)},
        {&ns1__inpDetailInput::money, arg(15)},
        {&ns1__inpDetailInput::factMoney, arg(16)},
        {&ns1__inpDetailInput::useDate, arg(17)},
        {&ns1__inpDetailInput::enableRatio, arg(18)},
        {&ns1__inpDetailInput::enableMoney, arg(19)},
    },
    textResult(&ns1__inpDetailInputResponse::return_, 0, "detailNo"),
    withFeeItemMeanings({
        {"登记类型,一字节代码", "type code of the entry, one byte"},
        kInpatientSnMeaning,
        kCentreCodeMeaning,
        {"住院处方流水号", "inpatient prescription serial number"},
    }),
};

// The visit number is checked as text of up to 20 bytes here, unlike the
// 18-digit number the upload takes.
const ExportSheet kInpDetailSeek{
    "InpDetailSeek", /*centre-code argument*/ 2,
    {
        stringCheck(1, "住院就诊号", 20, kRequired),
        centreCodeCheck(2),
    },
    kChecksFailWith600,
    soap_send___ns1__inpDetailSeek, kReadsOnly,
    {
        {&ns1__inpDetailSeek::inpatientSn, arg(1)},
        {&ns1__inpDetailSeek::centerNo, centre(&CentreRecord::CenterNO)},
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
    {
        kInpatientSnMeaning,
        kCentreCodeMeaning,
    },
};

// The centre cancels an inpatient detail line through the same operation as
// an outpatient one; the operation named for inpatients is never used.
const ExportSheet kInpSingleCancelFee{
    "InpSingleCancleFee", /*centre-code argument*/ 2,
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
        {"费用明细序号:inpDetailInput 返回的 detailNo", "the fee item's number: the detailNo inpDetailInput returned"},
        kCentreCodeMeaning,
    },
    {
        {"检查提示用的是“门诊就诊号”,但参数是住院费用明细序号", "its check message says 门诊就诊号 (outpatient visit number), but the argument is an inpatient fee item's number"},
    },
};

const ExportSheet kInpCancelFee{
    "InpCancelFee", /*centre-code argument*/ 2,
    {
        numberCheck(1, "门诊就诊号", 18, kRequired),
        centreCodeCheck(2),
    },
    kChecksFailWith300,
    soap_send___ns1__inpCancelFee, kChangesState,
    {
        {&ns1__inpCancelFee::no, arg(1)},
        {&ns1__inpCancelFee::centerNo, centre(&CentreRecord::CenterNO)},
    },
    noResult<ns1__inpCancelFeeResponse>(),
    {
        kInpatientSnMeaning,
        kCentreCodeMeaning,
    },
    {
        {"检查提示用的是“门诊就诊号”,但参数是住院就诊号;撤销该次住院的全部费用明细", "its check message says 门诊就诊号 (outpatient visit number), but the argument is the inpatient visit number; cancels every fee item of the stay"},
    },
};

const ExportSheet kCalculate{
    "Calculate", /*centre-code argument*/ 2,
    {
        numberCheck(1, "住院就诊号", 18, kRequired),
        centreCodeCheck(2),
        stringCheck(3, "补偿类型", 3, kRequired),
    },
    kChecksFailWith300,
    soap_send___ns1__calculate, kChangesState,
    {
        {&ns1__calculate::inpatientSn, arg(1)},
        {&ns1__calculate::centerNo, centre(&CentreRecord::CenterNO)},
        {&ns1__calculate::redeemId, arg(3)},
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
    {
        kInpatientSnMeaning,
        kCentreCodeMeaning,
        {"补偿类型代码", "compensation type code"},
    },
};

// Written as "InpBalance", and the payee (argument 4) is checked before the
// date of payment (argument 3), as HIS code written against this interface
// expects. Both dates are plain yyyy-MM-dd dates.
const ExportSheet kInpPay{
    "InpBalance", /*centre-code argument*/ 6,
    {
        numberCheck(1, "住院就诊号", 18, kRequired),
        stringCheck(2, "补偿类别", 2, kRequired),
        stringCheck(4, "领款人", 20, kRequired),
        dateCheck(3, "兑付时间", kRequired),
        dateCheck(5, "领款时间", kRequired),
        centreCodeCheck(6),
    },
    kChecksFailWith300,
    soap_send___ns1__inpPay, kChangesState,
    {
        {&ns1__inpPay::no, arg(1)},
        {&ns1__inpPay::centerNo, centre(&CentreRecord::CenterNO)},
        {&ns1__inpPay::redeemId, arg(2)},
        {&ns1__inpPay::redeemEmpsysno, centre(&CentreRecord::UserNo)},
        {&ns1__inpPay::redeemDate, arg(3)},
        {&ns1__inpPay::acceptMan, arg(4)},
        {&ns1__inpPay::acceptDate, arg(5)},
        {&ns1__inpPay::redeemOrgno, centre(&CentreRecord::HOSP_CODE)},
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
        kInpatientSnMeaning,
        {"补偿类别代码", "compensation type code"},
        {"兑付日期,yyyy-MM-dd", "date of payment, yyyy-MM-dd"},
        {"领款人", "the payee"},
        {"领款日期,yyyy-MM-dd", "date the payee received it, yyyy-MM-dd"},
        kCentreCodeMeaning,
    },
    {
        {"两个时间都只是日期 yyyy-MM-dd,不带时刻", "both times are plain dates, yyyy-MM-dd, without a time of day"},
    },
};

const ExportSheet kAuditingSeek{
    "AuditingSeek", /*centre-code argument*/ 2,
    {
        stringCheck(1, "住院就诊号", 20, kRequired),
        centreCodeCheck(2),
    },
    kChecksFailWith600,
    soap_send___ns1__auditingSeek, kReadsOnly,
    {
        {&ns1__auditingSeek::no, arg(1)},
        {&ns1__auditingSeek::centerNo, centre(&CentreRecord::CenterNO)},
    },
    textResult(&ns1__auditingSeekResponse::return_, 0, "CheckState"),
    {
        kInpatientSnMeaning,
        kCentreCodeMeaning,
    },
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
  facts.push_back(factsOf("inpRegister", kInpRegister));
  // The packed form: inpRegister's facts behind one text.
  ExportFacts packed{"inpRegisterB", ExportKind::kPacked};
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
  facts.push_back(factsOf("inpDetailInput", kInpDetailInput));
  facts.push_back(factsOf("inpDetailSeek", kInpDetailSeek));
  facts.push_back(factsOf("inpSingleCancelFee", kInpSingleCancelFee));
  facts.push_back(factsOf("inpCancelFee", kInpCancelFee));
  facts.push_back(factsOf("calculate", kCalculate));
  facts.push_back(factsOf("inpPay", kInpPay));
  facts.push_back(factsOf("auditingSeek", kAuditingSeek));
}

// Constant data: ready before any sheet of another source is built with it.
static const nv::Words kFeeItemMeanings[] = {
    {"农合明细序号", "the centre's detail sequence number"},
    {"HIS 自己的药品(项目)编码", "the HIS's own item code"},
    {"农合目录中的药品(项目)编码", "insurance catalogue item code"},
    {"农合费用分类代码", "insurance fee class code"},
    {"药品(项目)名称", "item name"},
    {"规格", "strength and pack size"},
    {"单位", "unit"},
    {"剂型", "dosage form"},
    {"单价", "unit price"},
    {"数量", "quantity"},
    {"金额,数量乘单价", "amount, quantity times unit price"},
    {"实收金额(折扣后)", "amount charged after discount"},
    {"使用日期,yyyy-MM-dd", "date of use, yyyy-MM-dd"},
    {"可报比例", "reimbursable ratio"},
    {"可报金额", "reimbursable amount"},
};

std::vector<nv::Words> nv::withFeeItemMeanings(std::vector<Words> first) {
  first.insert(first.end(), std::begin(kFeeItemMeanings), std::end(kFeeItemMeanings));
  return first;
}
