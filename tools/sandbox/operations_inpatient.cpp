// SPDX-License-Identifier: MIT
// Inpatient stays: registration, fee lines, calculation, payment and audit
// state.
#include "tools/sandbox/exchange.h"

using namespace sandbox;

int __ns1__inpRegister(struct soap* soap, ns1__inpRegister* rq, ns1__inpRegisterResponse& rs) {
  return serve(soap, "inpRegister", rq,
               [&](Exchange& x, Ledger& ledger) { rs.return_ = x.returnText(ledger.registerStay(x.request())); });
}

int __ns1__inpDetailInput(struct soap* soap, ns1__inpDetailInput* rq, ns1__inpDetailInputResponse& rs) {
  return serve(soap, "inpDetailInput", rq,
               [&](Exchange& x, Ledger& ledger) { rs.return_ = x.returnText(ledger.addStayFee(x.request())); });
}

int __ns1__inpDetailSeek(struct soap* soap, ns1__inpDetailSeek* rq, ns1__inpDetailSeekResponse& rs) {
  return serve(soap, "inpDetailSeek", rq, [&](Exchange& x, Ledger& ledger) {
    rs.return_ =
        x.list(soap_new_ns6__inpatientDetailList, soap_new_ns6__inpatientDetailResult, ledger.stayFees(x.request()));
  });
}

int __ns1__inpSingleCancelFee(struct soap* soap, ns1__inpSingleCancelFee* rq, ns1__inpSingleCancelFeeResponse&) {
  return serve(soap, "inpSingleCancelFee", rq,
               [&](Exchange& x, Ledger& ledger) { ledger.cancelStayFeeLine(x.request()); });
}

int __ns1__inpCancelFee(struct soap* soap, ns1__inpCancelFee* rq, ns1__inpCancelFeeResponse&) {
  return serve(soap, "inpCancelFee", rq, [&](Exchange& x, Ledger& ledger) { ledger.cancelStayFees(x.request()); });
}

int __ns1__calculate(struct soap* soap, ns1__calculate* rq, ns1__calculateResponse& rs) {
  return serve(soap, "calculate", rq, [&](Exchange& x, Ledger& ledger) {
    rs.return_ = x.record(soap_new_ns7__inpatientCaculateResult, ledger.calculateStay(x.request()));
  });
}

int __ns1__inpPay(struct soap* soap, ns1__inpPay* rq, ns1__inpPayResponse& rs) {
  return serve(soap, "inpPay", rq, [&](Exchange& x, Ledger& ledger) {
    rs.return_ = x.record(soap_new_ns12__inpatientPayResult, ledger.payStay(x.request()));
  });
}

int __ns1__auditingSeek(struct soap* soap, ns1__auditingSeek* rq, ns1__auditingSeekResponse& rs) {
  return serve(soap, "auditingSeek", rq,
               [&](Exchange& x, Ledger& ledger) { rs.return_ = x.returnText(ledger.stayAuditState(x.request())); });
}

int __ns1__createRedeemInfo(struct soap* soap, ns1__createRedeemInfo* rq, ns1__createRedeemInfoResponse&) {
  return serve(soap, "createRedeemInfo", rq,
               [&](Exchange& x, Ledger& ledger) { ledger.recordRedeemInfo(x.request()); });
}
