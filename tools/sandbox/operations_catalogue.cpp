// Catalogue downloads, the grade list of a stay and item matching.
#include "tools/sandbox/exchange.h"

namespace sandbox {
namespace {

const WireFields<ns3__diseaseResult> kDiseaseResultFields{
    {"icdAllno", &ns3__diseaseResult::icdAllno},       {"icdName", &ns3__diseaseResult::icdName},
    {"scienceName", &ns3__diseaseResult::scienceName}, {"enName", &ns3__diseaseResult::enName},
    {"description", &ns3__diseaseResult::description}, {"icdType", &ns3__diseaseResult::icdType},
    {"icdFlag", &ns3__diseaseResult::icdFlag},         {"sexLimited", &ns3__diseaseResult::sexLimited},
    {"createTime", &ns3__diseaseResult::createTime},   {"updateTime", &ns3__diseaseResult::updateTime},
    {"inputcodePy", &ns3__diseaseResult::inputcodePy}, {"inputcodeWb", &ns3__diseaseResult::inputcodeWb},
    {"chronicFlag", &ns3__diseaseResult::chronicFlag}, {"state", &ns3__diseaseResult::state},
    {"remark", &ns3__diseaseResult::remark},           {"useFrequency", &ns3__diseaseResult::useFrequency},
};

const WireFields<ns17__leechdomDetailResult> kLeechdomDetailResultFields{
    {"insureId", &ns17__leechdomDetailResult::insureId},
    {"name", &ns17__leechdomDetailResult::name},
    {"spec", &ns17__leechdomDetailResult::spec},
    {"unit", &ns17__leechdomDetailResult::unit},
    {"conf", &ns17__leechdomDetailResult::conf},
    {"price", &ns17__leechdomDetailResult::price},
    {"everyMoney", &ns17__leechdomDetailResult::everyMoney},
    {"ratio", &ns17__leechdomDetailResult::ratio},
    {"adminLevel", &ns17__leechdomDetailResult::adminLevel},
    {"isClinic", &ns17__leechdomDetailResult::isClinic},
    {"remark", &ns17__leechdomDetailResult::remark},
    {"inputPyCode", &ns17__leechdomDetailResult::inputPyCode},
    {"inputWbCode", &ns17__leechdomDetailResult::inputWbCode},
    {"approveMinPrice", &ns17__leechdomDetailResult::approveMinPrice},
    {"approveMaxPrice", &ns17__leechdomDetailResult::approveMaxPrice},
    {"grade", &ns17__leechdomDetailResult::grade},
    {"updateTime", &ns17__leechdomDetailResult::updateTime},
    {"classNo", &ns17__leechdomDetailResult::classNo},
};

const WireFields<ns2__inpatientGradeResult> kInpatientGradeResultFields{
    {"inpatientSn", &ns2__inpatientGradeResult::inpatientSn}, {"startMoney", &ns2__inpatientGradeResult::startMoney},
    {"endMoney", &ns2__inpatientGradeResult::endMoney},       {"ratio", &ns2__inpatientGradeResult::ratio},
    {"redeemMoney", &ns2__inpatientGradeResult::redeemMoney},
};

const WireFields<ns1__updateDisease> kUpdateDiseaseRequest{
    {"lastTime", &ns1__updateDisease::lastTime},
    {"centerNo", &ns1__updateDisease::centerNo},
};

const WireFields<ns1__updateLeechdom> kUpdateLeechdomRequest{
    {"lastTime", &ns1__updateLeechdom::lastTime},
    {"centerNo", &ns1__updateLeechdom::centerNo},
    {"hosNo", &ns1__updateLeechdom::hosNo},
};

const WireFields<ns1__getInpatientGradeList> kGetInpatientGradeListRequest{
    {"inpatientSn", &ns1__getInpatientGradeList::inpatientSn},
};

const WireFields<ns1__matchUpdate> kMatchUpdateRequest{
    {"centerNo", &ns1__matchUpdate::centerNo}, {"hospitalSysno", &ns1__matchUpdate::hospitalSysno},
    {"code", &ns1__matchUpdate::code},         {"hisCode", &ns1__matchUpdate::hisCode},
    {"hisName", &ns1__matchUpdate::hisName},   {"hisSpec", &ns1__matchUpdate::hisSpec},
    {"hisUnit", &ns1__matchUpdate::hisUnit},   {"hisConf", &ns1__matchUpdate::hisConf},
    {"hisPrice", &ns1__matchUpdate::hisPrice},
};

const WireFields<ns1__matchSeek> kMatchSeekRequest{
    {"centerNo", &ns1__matchSeek::centerNo},
    {"code", &ns1__matchSeek::code},
    {"hisCode", &ns1__matchSeek::hisCode},
    {"hospitalSysno", &ns1__matchSeek::hospitalSysno},
};

}  // namespace
}  // namespace sandbox

using namespace sandbox;

int __ns1__updateDisease(struct soap* soap, ns1__updateDisease* rq, ns1__updateDiseaseResponse& rs) {
  return serve(soap, "updateDisease", rq, kUpdateDiseaseRequest, [&](Exchange& x, Ledger& ledger) {
    rs.diseaseList = x.list(soap_new_ns10__diseaseList, soap_new_ns3__diseaseResult, ledger.diseasesSince(x.request()),
                            kDiseaseResultFields);
  });
}

int __ns1__updateLeechdom(struct soap* soap, ns1__updateLeechdom* rq, ns1__updateLeechdomResponse& rs) {
  return serve(soap, "updateLeechdom", rq, kUpdateLeechdomRequest, [&](Exchange& x, Ledger& ledger) {
    rs.return_ = x.list(soap_new_ns11__leechdomDetailList, soap_new_ns17__leechdomDetailResult,
                        ledger.drugsSince(x.request()), kLeechdomDetailResultFields);
  });
}

int __ns1__getInpatientGradeList(struct soap* soap, ns1__getInpatientGradeList* rq,
                                 ns1__getInpatientGradeListResponse& rs) {
  return serve(soap, "getInpatientGradeList", rq, kGetInpatientGradeListRequest, [&](Exchange& x, Ledger& ledger) {
    rs.return_ = x.list(soap_new_ns2__inpatientGradeList, soap_new_ns2__inpatientGradeResult,
                        ledger.stayGrades(x.request()), kInpatientGradeResultFields);
  });
}

int __ns1__matchUpdate(struct soap* soap, ns1__matchUpdate* rq, ns1__matchUpdateResponse&) {
  return serve(soap, "matchUpdate", rq, kMatchUpdateRequest,
               [&](Exchange& x, Ledger& ledger) { ledger.storeMatch(x.request()); });
}

int __ns1__matchSeek(struct soap* soap, ns1__matchSeek* rq, ns1__matchSeekResponse& rs) {
  return serve(soap, "matchSeek", rq, kMatchSeekRequest,
               [&](Exchange& x, Ledger& ledger) { rs.return_ = x.returnText(ledger.matchState(x.request())); });
}
