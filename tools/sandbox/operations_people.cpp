// SPDX-License-Identifier: MIT
// Member and hospital lookup, the centre's reference lists and the
// connection test.
#include "tools/sandbox/exchange.h"

using namespace sandbox;

int __ns1__getPersonInfo(struct soap* soap, ns1__getPersonInfo* rq, ns1__getPersonInfoResponse& rs) {
  return serve(soap, "getPersonInfo", rq, [&](Exchange& x, Ledger& ledger) {
    rs.return_ = x.list(soap_new_ns4__memberList, soap_new_ns14__Member, ledger.membersOfBook(x.request()));
  });
}

int __ns1__getHospitalInfo(struct soap* soap, ns1__getHospitalInfo* rq, ns1__getHospitalInfoResponse& rs) {
  return serve(soap, "getHospitalInfo", rq, [&](Exchange& x, Ledger& ledger) {
    rs.return_ = x.list(soap_new_ns15__hospitalList, soap_new_ns16__hospitalResult, ledger.hospitalsNamed(x.request()));
  });
}

int __ns1__redeemTypeDown(struct soap* soap, ns1__redeemTypeDown* rq, ns1__redeemTypeDownResponse& rs) {
  return serve(soap, "redeemTypeDown", rq, [&](Exchange& x, Ledger& ledger) {
    rs.return_ =
        x.list(soap_new_ns18__redeemTypeList, soap_new_ns18__redeemTypeResult, ledger.redeemTypes(x.request()));
  });
}

int __ns1__officeCodeDown(struct soap* soap, ns1__officeCodeDown* rq, ns1__officeCodeDownResponse& rs) {
  return serve(soap, "officeCodeDown", rq, [&](Exchange& x, Ledger& ledger) {
    rs.return_ = x.list(soap_new_ns9__officeList, soap_new_ns9__officeResult, ledger.offices(x.request()));
  });
}

int __ns1__connectTesting(struct soap* soap, ns1__connectTesting* rq, ns1__connectTestingResponse& rs) {
  return serve(soap, "connectTesting", rq,
               [&](Exchange& x, Ledger& ledger) { rs.return_ = x.returnText(ledger.connectionTest()); });
}
