// Outpatient visits: registration, fee lines, calculation, settlement,
// audit state, cash flag, balance and its reversal.
#include "tools/sandbox/exchange.h"

namespace sandbox {
namespace {

const WireFields<ns13__clinicDetailResult> kClinicDetailResultFields{
    {"detailId", &ns13__clinicDetailResult::detailId},
    {"clinicNo", &ns13__clinicDetailResult::clinicNo},
    {"clinicRxno", &ns13__clinicDetailResult::clinicRxno},
    {"insureId", &ns13__clinicDetailResult::insureId},
    {"name", &ns13__clinicDetailResult::name},
    {"spec", &ns13__clinicDetailResult::spec},
    {"unit", &ns13__clinicDetailResult::unit},
    {"conf", &ns13__clinicDetailResult::conf},
    {"price", &ns13__clinicDetailResult::price},
    {"quantity", &ns13__clinicDetailResult::quantity},
    {"useDate", &ns13__clinicDetailResult::useDate},
    {"factMoney", &ns13__clinicDetailResult::factMoney},
    {"enableRation", &ns13__clinicDetailResult::enableRation},
    {"enableMoney", &ns13__clinicDetailResult::enableMoney},
    {"classNo", &ns13__clinicDetailResult::classNo},
    {"money", &ns13__clinicDetailResult::money},
};

const WireFields<ns5__clinicCaculateResult> kClinicCaculateResultFields{
    {"totalMoney", &ns5__clinicCaculateResult::totalMoney},
    {"enableTotal", &ns5__clinicCaculateResult::enableTotal},
    {"checkMoney", &ns5__clinicCaculateResult::checkMoney},
    {"familyAccountMoney", &ns5__clinicCaculateResult::familyAccountMoney},
    {"doorRedeemNumber", &ns5__clinicCaculateResult::doorRedeemNumber},
    {"doorRedeemMoney", &ns5__clinicCaculateResult::doorRedeemMoney},
    {"memberRedeemNumber", &ns5__clinicCaculateResult::memberRedeemNumber},
    {"memberRedeemMoney", &ns5__clinicCaculateResult::memberRedeemMoney},
};

const WireFields<ns8__clinicBanlanceResult> kClinicBanlanceResultFields{
    {"totalCosts", &ns8__clinicBanlanceResult::totalCosts},
    {"medicineChineseCosts", &ns8__clinicBanlanceResult::medicineChineseCosts},
    {"medicineWesternCosts", &ns8__clinicBanlanceResult::medicineWesternCosts},
    {"checkCosts", &ns8__clinicBanlanceResult::checkCosts},
    {"cureCosts", &ns8__clinicBanlanceResult::cureCosts},
    {"enableMedicineSum", &ns8__clinicBanlanceResult::enableMedicineSum},
    {"enableSum", &ns8__clinicBanlanceResult::enableSum},
    {"checkRedeem", &ns8__clinicBanlanceResult::checkRedeem},
    {"redeemAccounttype", &ns8__clinicBanlanceResult::redeemAccounttype},
    {"redeemId", &ns8__clinicBanlanceResult::redeemId},
    {"redeemOrgno", &ns8__clinicBanlanceResult::redeemOrgno},
    {"redeemMoney", &ns8__clinicBanlanceResult::redeemMoney},
};

const WireFields<ns1__cliRegister> kCliRegisterRequest{
    {"regType", &ns1__cliRegister::regType},
    {"clinicNo", &ns1__cliRegister::clinicNo},
    {"centerNo", &ns1__cliRegister::centerNo},
    {"hisClinicNo", &ns1__cliRegister::hisClinicNo},
    {"familyNo", &ns1__cliRegister::familyNo},
    {"memberNo", &ns1__cliRegister::memberNo},
    {"countryNo", &ns1__cliRegister::countryNo},
    {"memberName", &ns1__cliRegister::memberName},
    {"sexCode", &ns1__cliRegister::sexCode},
    {"idCard", &ns1__cliRegister::idCard},
    {"age", &ns1__cliRegister::age},
    {"bookNo", &ns1__cliRegister::bookNo},
    {"cardNo", &ns1__cliRegister::cardNo},
    {"hosNo", &ns1__cliRegister::hosNo},
    {"hosLevel", &ns1__cliRegister::hosLevel},
    {"firstIcdNo", &ns1__cliRegister::firstIcdNo},
    {"secondIcdNo", &ns1__cliRegister::secondIcdNo},
    {"inOfficeNo", &ns1__cliRegister::inOfficeNo},
    {"clinicDate", &ns1__cliRegister::clinicDate},
    {"clinicDoctor", &ns1__cliRegister::clinicDoctor},
    {"cureCode", &ns1__cliRegister::cureCode},
    {"inHosId", &ns1__cliRegister::inHosId},
    {"operator", &ns1__cliRegister::operator_},
    {"turnLevel", &ns1__cliRegister::turnLevel},
    {"turnHosNo", &ns1__cliRegister::turnHosNo},
};

const WireFields<ns1__cliDetailInput> kCliDetailInputRequest{
    {"type", &ns1__cliDetailInput::type},
    {"no", &ns1__cliDetailInput::no},
    {"clinicRxNo", &ns1__cliDetailInput::clinicRxNo},
    {"detailNo", &ns1__cliDetailInput::detailNo},
    {"code", &ns1__cliDetailInput::code},
    {"classId", &ns1__cliDetailInput::classId},
    {"name", &ns1__cliDetailInput::name},
    {"spec", &ns1__cliDetailInput::spec},
    {"unit", &ns1__cliDetailInput::unit},
    {"conf", &ns1__cliDetailInput::conf},
    {"price", &ns1__cliDetailInput::price},
    {"quantity", &ns1__cliDetailInput::quantity},
    {"money", &ns1__cliDetailInput::money},
    {"factMoney", &ns1__cliDetailInput::factMoney},
    {"useDate", &ns1__cliDetailInput::useDate},
    {"enableRatio", &ns1__cliDetailInput::enableRatio},
    {"enableMoney", &ns1__cliDetailInput::enableMoney},
    {"hisLeechdomCode", &ns1__cliDetailInput::hisLeechdomCode},
};

const WireFields<ns1__cliDetailSeek> kCliDetailSeekRequest{
    {"clinicNo", &ns1__cliDetailSeek::clinicNo},
};

const WireFields<ns1__cliCancelFee> kCliCancelFeeRequest{
    {"clinicNo", &ns1__cliCancelFee::clinicNo},
};

const WireFields<ns1__cliSingleCancleFee> kCliSingleCancleFeeRequest{
    {"detailNo", &ns1__cliSingleCancleFee::detailNo},
};

const WireFields<ns1__cliCalculate> kCliCalculateRequest{
    {"clinicNo", &ns1__cliCalculate::clinicNo},
};

const WireFields<ns1__cliSeek> kCliSeekRequest{
    {"memberNo", &ns1__cliSeek::memberNo},
};

const WireFields<ns1__cliSettlement> kCliSettlementRequest{
    {"clinicNo", &ns1__cliSettlement::clinicNo},
    {"userNo", &ns1__cliSettlement::userNo},
};

const WireFields<ns1__cliCancelSettlement> kCliCancelSettlementRequest{
    {"settlementNo", &ns1__cliCancelSettlement::settlementNo},
};

const WireFields<ns1__cliAuditingSeek> kCliAuditingSeekRequest{
    {"settlementNo", &ns1__cliAuditingSeek::settlementNo},
};

const WireFields<ns1__isCashRedeem> kIsCashRedeemRequest{
    {"settlementNo", &ns1__isCashRedeem::settlementNo},
};

const WireFields<ns1__cliBalance> kCliBalanceRequest{
    {"settlementNo", &ns1__cliBalance::settlementNo},
    {"familyAccountGeld", &ns1__cliBalance::familyAccountGeld},
    {"userNo", &ns1__cliBalance::userNo},
};

const WireFields<ns1__cliStrikeBalance> kCliStrikeBalanceRequest{
    {"settlementNo", &ns1__cliStrikeBalance::settlementNo},
};

}  // namespace
}  // namespace sandbox

using namespace sandbox;

int __ns1__cliRegister(struct soap* soap, ns1__cliRegister* rq, ns1__cliRegisterResponse& rs) {
  return serve(soap, "cliRegister", rq, kCliRegisterRequest, [&](Exchange& x, Ledger& ledger) {
    rs.return_ = x.returnText(ledger.registerClinicVisit(x.request()));
  });
}

int __ns1__cliDetailInput(struct soap* soap, ns1__cliDetailInput* rq, ns1__cliDetailInputResponse& rs) {
  return serve(soap, "cliDetailInput", rq, kCliDetailInputRequest,
               [&](Exchange& x, Ledger& ledger) { rs.return_ = x.returnText(ledger.addClinicFee(x.request())); });
}

int __ns1__cliDetailSeek(struct soap* soap, ns1__cliDetailSeek* rq, ns1__cliDetailSeekResponse& rs) {
  return serve(soap, "cliDetailSeek", rq, kCliDetailSeekRequest, [&](Exchange& x, Ledger& ledger) {
    rs.return_ = x.list(soap_new_ns13__clinicDetailList, soap_new_ns13__clinicDetailResult,
                        ledger.clinicFees(x.request()), kClinicDetailResultFields);
  });
}

int __ns1__cliCancelFee(struct soap* soap, ns1__cliCancelFee* rq, ns1__cliCancelFeeResponse&) {
  return serve(soap, "cliCancelFee", rq, kCliCancelFeeRequest,
               [&](Exchange& x, Ledger& ledger) { ledger.cancelClinicFees(x.request()); });
}

int __ns1__cliSingleCancleFee(struct soap* soap, ns1__cliSingleCancleFee* rq, ns1__cliSingleCancleFeeResponse&) {
  return serve(soap, "cliSingleCancleFee", rq, kCliSingleCancleFeeRequest,
               [&](Exchange& x, Ledger& ledger) { ledger.cancelFeeLine(x.request()); });
}

int __ns1__cliCalculate(struct soap* soap, ns1__cliCalculate* rq, ns1__cliCalculateResponse& rs) {
  return serve(soap, "cliCalculate", rq, kCliCalculateRequest, [&](Exchange& x, Ledger& ledger) {
    rs.return_ =
        x.record(soap_new_ns5__clinicCaculateResult, ledger.calculateClinic(x.request()), kClinicCaculateResultFields);
  });
}

int __ns1__cliSeek(struct soap* soap, ns1__cliSeek* rq, ns1__cliSeekResponse& rs) {
  return serve(soap, "cliSeek", rq, kCliSeekRequest,
               [&](Exchange& x, Ledger& ledger) { rs.return_ = x.returnText(ledger.latestClinicVisit(x.request())); });
}

int __ns1__cliSettlement(struct soap* soap, ns1__cliSettlement* rq, ns1__cliSettlementResponse& rs) {
  return serve(soap, "cliSettlement", rq, kCliSettlementRequest,
               [&](Exchange& x, Ledger& ledger) { rs.return_ = x.returnText(ledger.settleClinic(x.request())); });
}

int __ns1__cliCancelSettlement(struct soap* soap, ns1__cliCancelSettlement* rq, ns1__cliCancelSettlementResponse&) {
  return serve(soap, "cliCancelSettlement", rq, kCliCancelSettlementRequest,
               [&](Exchange& x, Ledger& ledger) { ledger.cancelSettlement(x.request()); });
}

int __ns1__cliAuditingSeek(struct soap* soap, ns1__cliAuditingSeek* rq, ns1__cliAuditingSeekResponse& rs) {
  return serve(soap, "cliAuditingSeek", rq, kCliAuditingSeekRequest, [&](Exchange& x, Ledger& ledger) {
    rs.return_ = x.returnText(ledger.settlementAuditState(x.request()));
  });
}

int __ns1__isCashRedeem(struct soap* soap, ns1__isCashRedeem* rq, ns1__isCashRedeemResponse& rs) {
  return serve(soap, "isCashRedeem", rq, kIsCashRedeemRequest,
               [&](Exchange& x, Ledger& ledger) { rs.return_ = x.returnText(ledger.cashFlag(x.request())); });
}

int __ns1__cliBalance(struct soap* soap, ns1__cliBalance* rq, ns1__cliBalanceResponse& rs) {
  return serve(soap, "cliBalance", rq, kCliBalanceRequest, [&](Exchange& x, Ledger& ledger) {
    rs.return_ =
        x.record(soap_new_ns8__clinicBanlanceResult, ledger.balanceClinic(x.request()), kClinicBanlanceResultFields);
  });
}

int __ns1__cliStrikeBalance(struct soap* soap, ns1__cliStrikeBalance* rq, ns1__cliStrikeBalanceResponse& rs) {
  return serve(soap, "cliStrikeBalance", rq, kCliStrikeBalanceRequest,
               [&](Exchange& x, Ledger& ledger) { rs.return_ = x.returnText(ledger.strikeBalance(x.request())); });
}
