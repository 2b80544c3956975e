// SPDX-License-Identifier: MIT
// Catalogue downloads, the grade list of a stay and item matching.
#include "tools/sandbox/exchange.h"

using namespace sandbox;

int __ns1__updateDisease(struct soap* soap, ns1__updateDisease* rq, ns1__updateDiseaseResponse& rs) {
  return serve(soap, "updateDisease", rq, [&](Exchange& x, Ledger& ledger) {
    rs.diseaseList = x.list(soap_new_ns10__diseaseList, soap_new_ns3__diseaseResult, ledger.diseasesSince(x.request()));
  });
}

int __ns1__updateLeechdom(struct soap* soap, ns1__updateLeechdom* rq, ns1__updateLeechdomResponse& rs) {
  return serve(soap, "updateLeechdom", rq, [&](Exchange& x, Ledger& ledger) {
    rs.return_ =
        x.list(soap_new_ns11__leechdomDetailList, soap_new_ns17__leechdomDetailResult, ledger.drugsSince(x.request()));
  });
}

int __ns1__getInpatientGradeList(struct soap* soap, ns1__getInpatientGradeList* rq,
                                 ns1__getInpatientGradeListResponse& rs) {
  return serve(soap, "getInpatientGradeList", rq, [&](Exchange& x, Ledger& ledger) {
    rs.return_ =
        x.list(soap_new_ns2__inpatientGradeList, soap_new_ns2__inpatientGradeResult, ledger.stayGrades(x.request()));
  });
}

int __ns1__matchUpdate(struct soap* soap, ns1__matchUpdate* rq, ns1__matchUpdateResponse&) {
  return serve(soap, "matchUpdate", rq, [&](Exchange& x, Ledger& ledger) { ledger.storeMatch(x.request()); });
}

int __ns1__matchSeek(struct soap* soap, ns1__matchSeek* rq, ns1__matchSeekResponse& rs) {
  return serve(soap, "matchSeek", rq,
               [&](Exchange& x, Ledger& ledger) { rs.return_ = x.returnText(ledger.matchState(x.request())); });
}
