// Inpatient stays: registration, fee lines, calculation, payment and audit
// state.
#include "tools/sandbox/exchange.h"

namespace sandbox {
namespace {

const WireFields<ns6__inpatientDetailResult> kInpatientDetailResultFields{
    {"detailId", &ns6__inpatientDetailResult::detailId},
    {"inpatientSn", &ns6__inpatientDetailResult::inpatientSn},
    {"inpatientRxno", &ns6__inpatientDetailResult::inpatientRxno},
    {"insureId", &ns6__inpatientDetailResult::insureId},
    {"name", &ns6__inpatientDetailResult::name},
    {"spec", &ns6__inpatientDetailResult::spec},
    {"unit", &ns6__inpatientDetailResult::unit},
    {"conf", &ns6__inpatientDetailResult::conf},
    {"price", &ns6__inpatientDetailResult::price},
    {"quantity", &ns6__inpatientDetailResult::quantity},
    {"useDate", &ns6__inpatientDetailResult::useDate},
    {"everyMoney", &ns6__inpatientDetailResult::everyMoney},
    {"ratio", &ns6__inpatientDetailResult::ratio},
    {"adminLevel", &ns6__inpatientDetailResult::adminLevel},
    {"isClinic", &ns6__inpatientDetailResult::isClinic},
    {"remark", &ns6__inpatientDetailResult::remark},
    {"inputPyCode", &ns6__inpatientDetailResult::inputPyCode},
    {"inputWbCode", &ns6__inpatientDetailResult::inputWbCode},
    {"approveMinPrice", &ns6__inpatientDetailResult::approveMinPrice},
    {"approveMaxPrice", &ns6__inpatientDetailResult::approveMaxPrice},
    {"grade", &ns6__inpatientDetailResult::grade},
    {"updateTime", &ns6__inpatientDetailResult::updateTime},
    {"factMoney", &ns6__inpatientDetailResult::factMoney},
    {"enableRation", &ns6__inpatientDetailResult::enableRation},
    {"enableMoney", &ns6__inpatientDetailResult::enableMoney},
    {"classNo", &ns6__inpatientDetailResult::classNo},
    {"money", &ns6__inpatientDetailResult::money},
};

const WireFields<ns7__inpatientCaculateResult> kInpatientCaculateResultFields{
    {"totalCosts", &ns7__inpatientCaculateResult::totalCosts},
    {"enableMoney", &ns7__inpatientCaculateResult::enableMoney},
    {"factRedeemMoney", &ns7__inpatientCaculateResult::factRedeemMoney},
    {"startMoney", &ns7__inpatientCaculateResult::startMoney},
    {"totalRedeemMoney", &ns7__inpatientCaculateResult::totalRedeemMoney},
    {"totalRedeemCount", &ns7__inpatientCaculateResult::totalRedeemCount},
    {"familyAccountPayMoney", &ns7__inpatientCaculateResult::familyAccountPayMoney},
};

const WireFields<ns12__inpatientPayResult> kInpatientPayResultFields{
    {"totalCosts", &ns12__inpatientPayResult::totalCosts},
    {"enableMoney", &ns12__inpatientPayResult::enableMoney},
    {"redeemMoney", &ns12__inpatientPayResult::redeemMoney},
    {"startMoney", &ns12__inpatientPayResult::startMoney},
    {"totalRedeemMoney", &ns12__inpatientPayResult::totalRedeemMoney},
    {"totalRedeemCount", &ns12__inpatientPayResult::totalRedeemCount},
    {"inpatientRedeemno", &ns12__inpatientPayResult::inpatientRedeemno},
    {"familyAccountPayMoney", &ns12__inpatientPayResult::familyAccountPayMoney},
};

const WireFields<ns1__inpRegister> kInpRegisterRequest{
    {"opType", &ns1__inpRegister::opType},
    {"inpatientSn", &ns1__inpRegister::inpatientSn},
    {"hosOrgno", &ns1__inpRegister::hosOrgno},
    {"inpatientNo", &ns1__inpRegister::inpatientNo},
    {"centerNo", &ns1__inpRegister::centerNo},
    {"memberName", &ns1__inpRegister::memberName},
    {"familySysno", &ns1__inpRegister::familySysno},
    {"memberSysno", &ns1__inpRegister::memberSysno},
    {"countryTeamCode", &ns1__inpRegister::countryTeamCode},
    {"sexId", &ns1__inpRegister::sexId},
    {"idcardNo", &ns1__inpRegister::idcardNo},
    {"age", &ns1__inpRegister::age},
    {"bookno", &ns1__inpRegister::bookno},
    {"cardNo", &ns1__inpRegister::cardNo},
    {"icdAllNo", &ns1__inpRegister::icdAllNo},
    {"opsId", &ns1__inpRegister::opsId},
    {"inOfficeId", &ns1__inpRegister::inOfficeId},
    {"officeDate", &ns1__inpRegister::officeDate},
    {"cureId", &ns1__inpRegister::cureId},
    {"inHosId", &ns1__inpRegister::inHosId},
    {"cureDoctor", &ns1__inpRegister::cureDoctor},
    {"bedNo", &ns1__inpRegister::bedNo},
    {"sectionNo", &ns1__inpRegister::sectionNo},
    {"leaveDate", &ns1__inpRegister::leaveDate},
    {"days", &ns1__inpRegister::days},
    {"outOfficeId", &ns1__inpRegister::outOfficeId},
    {"outHosId", &ns1__inpRegister::outHosId},
    {"turnOp", &ns1__inpRegister::turnOp},
    {"turnOrgNo", &ns1__inpRegister::turnOrgNo},
    {"turnDate", &ns1__inpRegister::turnDate},
    {"ticketNo", &ns1__inpRegister::ticketNo},
    {"ministerNotice", &ns1__inpRegister::ministerNotice},
    {"procreateNotice", &ns1__inpRegister::procreateNotice},
    {"operateEmpSysno", &ns1__inpRegister::operateEmpSysno},
    {"hosLevelId", &ns1__inpRegister::hosLevelId},
};

const WireFields<ns1__inpDetailInput> kInpDetailInputRequest{
    {"opType", &ns1__inpDetailInput::opType},
    {"inpatientSn", &ns1__inpDetailInput::inpatientSn},
    {"centerNo", &ns1__inpDetailInput::centerNo},
    {"inpatientRxno", &ns1__inpDetailInput::inpatientRxno},
    {"detailId", &ns1__inpDetailInput::detailId},
    {"hiscode", &ns1__inpDetailInput::hiscode},
    {"insureId", &ns1__inpDetailInput::insureId},
    {"classId", &ns1__inpDetailInput::classId},
    {"name", &ns1__inpDetailInput::name},
    {"spec", &ns1__inpDetailInput::spec},
    {"unit", &ns1__inpDetailInput::unit},
    {"conf", &ns1__inpDetailInput::conf},
    {"price", &ns1__inpDetailInput::price},
    {"quantity", &ns1__inpDetailInput::quantity},
    {"money", &ns1__inpDetailInput::money},
    {"factMoney", &ns1__inpDetailInput::factMoney},
    {"useDate", &ns1__inpDetailInput::useDate},
    {"enableRatio", &ns1__inpDetailInput::enableRatio},
    {"enableMoney", &ns1__inpDetailInput::enableMoney},
};

const WireFields<ns1__inpDetailSeek> kInpDetailSeekRequest{
    {"inpatientSn", &ns1__inpDetailSeek::inpatientSn},
    {"centerNo", &ns1__inpDetailSeek::centerNo},
};

const WireFields<ns1__inpSingleCancelFee> kInpSingleCancelFeeRequest{
    {"detailId", &ns1__inpSingleCancelFee::detailId},
    {"centerNo", &ns1__inpSingleCancelFee::centerNo},
};

const WireFields<ns1__inpCancelFee> kInpCancelFeeRequest{
    {"no", &ns1__inpCancelFee::no},
    {"centerNo", &ns1__inpCancelFee::centerNo},
};

const WireFields<ns1__calculate> kCalculateRequest{
    {"inpatientSn", &ns1__calculate::inpatientSn},
    {"centerNo", &ns1__calculate::centerNo},
    {"redeemId", &ns1__calculate::redeemId},
};

const WireFields<ns1__inpPay> kInpPayRequest{
    {"no", &ns1__inpPay::no},
    {"centerNo", &ns1__inpPay::centerNo},
    {"redeemId", &ns1__inpPay::redeemId},
    {"redeemEmpsysno", &ns1__inpPay::redeemEmpsysno},
    {"redeemDate", &ns1__inpPay::redeemDate},
    {"acceptMan", &ns1__inpPay::acceptMan},
    {"acceptDate", &ns1__inpPay::acceptDate},
    {"redeemOrgno", &ns1__inpPay::redeemOrgno},
};

const WireFields<ns1__auditingSeek> kAuditingSeekRequest{
    {"no", &ns1__auditingSeek::no},
    {"centerNo", &ns1__auditingSeek::centerNo},
};

const WireFields<ns1__createRedeemInfo> kCreateRedeemInfoRequest{
    {"inpatientSn", &ns1__createRedeemInfo::inpatientSn},
    {"operateEmpSysno", &ns1__createRedeemInfo::operateEmpSysno},
    {"redeemId", &ns1__createRedeemInfo::redeemId},
};

}  // namespace
}  // namespace sandbox

using namespace sandbox;

int __ns1__inpRegister(struct soap* soap, ns1__inpRegister* rq, ns1__inpRegisterResponse& rs) {
  return serve(soap, "inpRegister", rq, kInpRegisterRequest,
               [&](Exchange& x, Ledger& ledger) { rs.return_ = x.returnText(ledger.registerStay(x.request())); });
}

int __ns1__inpDetailInput(struct soap* soap, ns1__inpDetailInput* rq, ns1__inpDetailInputResponse& rs) {
  return serve(soap, "inpDetailInput", rq, kInpDetailInputRequest,
               [&](Exchange& x, Ledger& ledger) { rs.return_ = x.returnText(ledger.addStayFee(x.request())); });
}

int __ns1__inpDetailSeek(struct soap* soap, ns1__inpDetailSeek* rq, ns1__inpDetailSeekResponse& rs) {
  return serve(soap, "inpDetailSeek", rq, kInpDetailSeekRequest, [&](Exchange& x, Ledger& ledger) {
    rs.return_ = x.list(soap_new_ns6__inpatientDetailList, soap_new_ns6__inpatientDetailResult,
                        ledger.stayFees(x.request()), kInpatientDetailResultFields);
  });
}

int __ns1__inpSingleCancelFee(struct soap* soap, ns1__inpSingleCancelFee* rq, ns1__inpSingleCancelFeeResponse&) {
  return serve(soap, "inpSingleCancelFee", rq, kInpSingleCancelFeeRequest,
               [&](Exchange& x, Ledger& ledger) { ledger.cancelStayFeeLine(x.request()); });
}

int __ns1__inpCancelFee(struct soap* soap, ns1__inpCancelFee* rq, ns1__inpCancelFeeResponse&) {
  return serve(soap, "inpCancelFee", rq, kInpCancelFeeRequest,
               [&](Exchange& x, Ledger& ledger) { ledger.cancelStayFees(x.request()); });
}

int __ns1__calculate(struct soap* soap, ns1__calculate* rq, ns1__calculateResponse& rs) {
  return serve(soap, "calculate", rq, kCalculateRequest, [&](Exchange& x, Ledger& ledger) {
    rs.return_ = x.record(soap_new_ns7__inpatientCaculateResult, ledger.calculateStay(x.request()),
                          kInpatientCaculateResultFields);
  });
}

int __ns1__inpPay(struct soap* soap, ns1__inpPay* rq, ns1__inpPayResponse& rs) {
  return serve(soap, "inpPay", rq, kInpPayRequest, [&](Exchange& x, Ledger& ledger) {
    rs.return_ = x.record(soap_new_ns12__inpatientPayResult, ledger.payStay(x.request()), kInpatientPayResultFields);
  });
}

int __ns1__auditingSeek(struct soap* soap, ns1__auditingSeek* rq, ns1__auditingSeekResponse& rs) {
  return serve(soap, "auditingSeek", rq, kAuditingSeekRequest,
               [&](Exchange& x, Ledger& ledger) { rs.return_ = x.returnText(ledger.stayAuditState(x.request())); });
}

int __ns1__createRedeemInfo(struct soap* soap, ns1__createRedeemInfo* rq, ns1__createRedeemInfoResponse&) {
  return serve(soap, "createRedeemInfo", rq, kCreateRedeemInfoRequest,
               [&](Exchange& x, Ledger& ledger) { ledger.recordRedeemInfo(x.request()); });
}
