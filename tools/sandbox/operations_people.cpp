// Member and hospital lookup, the centre's reference lists and the
// connection test.
#include "tools/sandbox/exchange.h"

namespace sandbox {
namespace {

const WireFields<ns14__Member> kMemberFields{
    {"memberNO", &ns14__Member::memberNO},
    {"name", &ns14__Member::name},
    {"countryTeamCode", &ns14__Member::countryTeamCode},
    {"familySysno", &ns14__Member::familySysno},
    {"sexId", &ns14__Member::sexId},
    {"idcardNo", &ns14__Member::idcardNo},
    {"age", &ns14__Member::age},
    {"birthday", &ns14__Member::birthday},
    {"bookNo", &ns14__Member::bookNo},
    {"cardNo", &ns14__Member::cardNo},
    {"familyAddress", &ns14__Member::familyAddress},
    {"tel", &ns14__Member::tel},
    {"ideName", &ns14__Member::ideName},
};

const WireFields<ns16__hospitalResult> kHospitalResultFields{
    {"hospCode", &ns16__hospitalResult::hospCode},
    {"hospLevel", &ns16__hospitalResult::hospLevel},
    {"hospName", &ns16__hospitalResult::hospName},
    {"centerNo", &ns16__hospitalResult::centerNo},
};

const WireFields<ns18__redeemTypeResult> kRedeemTypeResultFields{
    {"code", &ns18__redeemTypeResult::code},
    {"name", &ns18__redeemTypeResult::name},
    {"otherParam", &ns18__redeemTypeResult::otherParam},
    {"comment", &ns18__redeemTypeResult::comment},
    {"accountType", &ns18__redeemTypeResult::accountType},
};

const WireFields<ns9__officeResult> kOfficeResultFields{
    {"code", &ns9__officeResult::code},
    {"name", &ns9__officeResult::name},
    {"otherParam", &ns9__officeResult::otherParam},
    {"comment", &ns9__officeResult::comment},
};

const WireFields<ns1__getPersonInfo> kGetPersonInfoRequest{
    {"bookno", &ns1__getPersonInfo::bookno},
    {"operator", &ns1__getPersonInfo::operator_},
};

const WireFields<ns1__getHospitalInfo> kGetHospitalInfoRequest{
    {"name", &ns1__getHospitalInfo::name},
};

const WireFields<ns1__redeemTypeDown> kRedeemTypeDownRequest{
    {"hosCode", &ns1__redeemTypeDown::hosCode},
    {"loginName", &ns1__redeemTypeDown::loginName},
};

const WireFields<ns1__officeCodeDown> kOfficeCodeDownRequest{
    {"hosCode", &ns1__officeCodeDown::hosCode},
    {"loginName", &ns1__officeCodeDown::loginName},
};

const WireFields<ns1__connectTesting> kConnectTestingRequest{};

}  // namespace
}  // namespace sandbox

using namespace sandbox;

int __ns1__getPersonInfo(struct soap* soap, ns1__getPersonInfo* rq, ns1__getPersonInfoResponse& rs) {
  return serve(soap, "getPersonInfo", rq, kGetPersonInfoRequest, [&](Exchange& x, Ledger& ledger) {
    rs.return_ =
        x.list(soap_new_ns4__memberList, soap_new_ns14__Member, ledger.membersOfBook(x.request()), kMemberFields);
  });
}

int __ns1__getHospitalInfo(struct soap* soap, ns1__getHospitalInfo* rq, ns1__getHospitalInfoResponse& rs) {
  return serve(soap, "getHospitalInfo", rq, kGetHospitalInfoRequest, [&](Exchange& x, Ledger& ledger) {
    rs.return_ = x.list(soap_new_ns15__hospitalList, soap_new_ns16__hospitalResult, ledger.hospitalsNamed(x.request()),
                        kHospitalResultFields);
  });
}

int __ns1__redeemTypeDown(struct soap* soap, ns1__redeemTypeDown* rq, ns1__redeemTypeDownResponse& rs) {
  return serve(soap, "redeemTypeDown", rq, kRedeemTypeDownRequest, [&](Exchange& x, Ledger& ledger) {
    rs.return_ = x.list(soap_new_ns18__redeemTypeList, soap_new_ns18__redeemTypeResult, ledger.redeemTypes(x.request()),
                        kRedeemTypeResultFields);
  });
}

int __ns1__officeCodeDown(struct soap* soap, ns1__officeCodeDown* rq, ns1__officeCodeDownResponse& rs) {
  return serve(soap, "officeCodeDown", rq, kOfficeCodeDownRequest, [&](Exchange& x, Ledger& ledger) {
    rs.return_ =
        x.list(soap_new_ns9__officeList, soap_new_ns9__officeResult, ledger.offices(x.request()), kOfficeResultFields);
  });
}

int __ns1__connectTesting(struct soap* soap, ns1__connectTesting* rq, ns1__connectTestingResponse& rs) {
  return serve(soap, "connectTesting", rq, kConnectTestingRequest,
               [&](Exchange& x, Ledger& ledger) { rs.return_ = x.returnText(ledger.connectionTest()); });
}
