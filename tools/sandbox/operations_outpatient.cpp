// SPDX-License-Identifier: MIT
// Outpatient visits: registration, fee lines, calculation, settlement,
// audit state, cash flag, balance and its reversal.
#include "tools/sandbox/exchange.h"

using namespace sandbox;

int __ns1__cliRegister(struct soap* soap, ns1__cliRegister* rq, ns1__cliRegisterResponse& rs) {
  return serve(soap, "cliRegister", rq, [&](Exchange& x, Ledger& ledger) {
    rs.return_ = x.returnText(ledger.registerClinicVisit(x.request()));
  });
}

int __ns1__cliDetailInput(struct soap* soap, ns1__cliDetailInput* rq, ns1__cliDetailInputResponse& rs) {
  return serve(soap, "cliDetailInput", rq,
               [&](Exchange& x, Ledger& ledger) { rs.return_ = x.returnText(ledger.addClinicFee(x.request())); });
}

int __ns1__cliDetailSeek(struct soap* soap, ns1__cliDetailSeek* rq, ns1__cliDetailSeekResponse& rs) {
  return serve(soap, "cliDetailSeek", rq, [&](Exchange& x, Ledger& ledger) {
    rs.return_ =
        x.list(soap_new_ns13__clinicDetailList, soap_new_ns13__clinicDetailResult, ledger.clinicFees(x.request()));
  });
}

int __ns1__cliCancelFee(struct soap* soap, ns1__cliCancelFee* rq, ns1__cliCancelFeeResponse&) {
  return serve(soap, "cliCancelFee", rq, [&](Exchange& x, Ledger& ledger) { ledger.cancelClinicFees(x.request()); });
}

int __ns1__cliSingleCancleFee(struct soap* soap, ns1__cliSingleCancleFee* rq, ns1__cliSingleCancleFeeResponse&) {
  return serve(soap, "cliSingleCancleFee", rq, [&](Exchange& x, Ledger& ledger) { ledger.cancelFeeLine(x.request()); });
}

int __ns1__cliCalculate(struct soap* soap, ns1__cliCalculate* rq, ns1__cliCalculateResponse& rs) {
  return serve(soap, "cliCalculate", rq, [&](Exchange& x, Ledger& ledger) {
    rs.return_ = x.record(soap_new_ns5__clinicCaculateResult, ledger.calculateClinic(x.request()));
  });
}

int __ns1__cliSeek(struct soap* soap, ns1__cliSeek* rq, ns1__cliSeekResponse& rs) {
  return serve(soap, "cliSeek", rq,
               [&](Exchange& x, Ledger& ledger) { rs.return_ = x.returnText(ledger.latestClinicVisit(x.request())); });
}

int __ns1__cliSettlement(struct soap* soap, ns1__cliSettlement* rq, ns1__cliSettlementResponse& rs) {
  return serve(soap, "cliSettlement", rq,
               [&](Exchange& x, Ledger& ledger) { rs.return_ = x.returnText(ledger.settleClinic(x.request())); });
}

int __ns1__cliCancelSettlement(struct soap* soap, ns1__cliCancelSettlement* rq, ns1__cliCancelSettlementResponse&) {
  return serve(soap, "cliCancelSettlement", rq,
               [&](Exchange& x, Ledger& ledger) { ledger.cancelSettlement(x.request()); });
}

int __ns1__cliAuditingSeek(struct soap* soap, ns1__cliAuditingSeek* rq, ns1__cliAuditingSeekResponse& rs) {
  return serve(soap, "cliAuditingSeek", rq, [&](Exchange& x, Ledger& ledger) {
    rs.return_ = x.returnText(ledger.settlementAuditState(x.request()));
  });
}

int __ns1__isCashRedeem(struct soap* soap, ns1__isCashRedeem* rq, ns1__isCashRedeemResponse& rs) {
  return serve(soap, "isCashRedeem", rq,
               [&](Exchange& x, Ledger& ledger) { rs.return_ = x.returnText(ledger.cashFlag(x.request())); });
}

int __ns1__cliBalance(struct soap* soap, ns1__cliBalance* rq, ns1__cliBalanceResponse& rs) {
  return serve(soap, "cliBalance", rq, [&](Exchange& x, Ledger& ledger) {
    rs.return_ = x.record(soap_new_ns8__clinicBanlanceResult, ledger.balanceClinic(x.request()));
  });
}

int __ns1__cliStrikeBalance(struct soap* soap, ns1__cliStrikeBalance* rq, ns1__cliStrikeBalanceResponse& rs) {
  return serve(soap, "cliStrikeBalance", rq,
               [&](Exchange& x, Ledger& ledger) { rs.return_ = x.returnText(ledger.strikeBalance(x.request())); });
}
