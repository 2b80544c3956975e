// SPDX-License-Identifier: MIT
#include "tests/contract/operation_catalogue.h"

#include <algorithm>
#include <stdexcept>

#include "service_names.h"
#include "soapH.h"

namespace nvcontract {
namespace {

template <class Request, class Response>
using CallProcedure = int (*)(struct soap*, const char* endpoint, const char* action, Request*, Response&);

// Sets the request's members by the names listed, in order. A name the
// generated record lacks, or a text member left unnamed, fails the test.
template <class Request>
void fill(Request& request, const std::vector<std::string>& names, const Values& values) {
  const auto& members = nv::wire::textMembersOf(&request);
  if (members.size() != names.size())
    throw std::logic_error("the generated request has " + std::to_string(members.size()) + " members");
  for (size_t i = 0; i < names.size(); ++i) {
    auto named = std::find_if(members.begin(), members.end(), [&](const auto& m) { return names[i] == m.name; });
    if (named == members.end()) throw std::logic_error("the generated request has no member " + names[i]);
    request.*(named->member) = values.at(i);
  }
}

template <class Request, class Response>
OperationCase operation(std::string name, std::vector<std::string> members, CallProcedure<Request, Response> call,
                        std::string responseMember, std::function<bool(const Response&)> returned) {
  std::vector<std::string> names = members;
  return {std::move(name), std::move(members), std::move(responseMember),
          [names, call, returned](struct soap* soap, const char* endpoint, const Values& values) {
            Request request;
            fill(request, names, values);
            Response response;
            int status = call(soap, endpoint, nullptr, &request, response);
            return CallOutcome{status, returned && returned(response)};
          }};
}

// An operation whose response carries no member.
template <class Request, class Response>
OperationCase operation(std::string name, std::vector<std::string> members, CallProcedure<Request, Response> call) {
  return operation<Request, Response>(std::move(name), std::move(members), call, "", nullptr);
}

// An operation whose response carries one member, by this name.
template <class Request, class Response, class Member>
OperationCase operation(std::string name, std::vector<std::string> members, CallProcedure<Request, Response> call,
                        std::string responseMember, Member* Response::*member) {
  return operation<Request, Response>(std::move(name), std::move(members), call, std::move(responseMember),
                                      [member](const Response& r) { return r.*member != nullptr; });
}

}  // namespace

// Request members and response member exactly as the centre names them;
// each call fills request member i, by its name, from values[i].
const std::vector<OperationCase>& operationCatalogue() {
  static const std::vector<OperationCase> catalogue = {
      operation("getPersonInfo", {"bookno", "operator"}, soap_call___ns1__getPersonInfo, "return",
                &ns1__getPersonInfoResponse::return_),
      operation("getHospitalInfo", {"name"}, soap_call___ns1__getHospitalInfo, "return",
                &ns1__getHospitalInfoResponse::return_),
      operation("cliRegister",
                {"regType",    "clinicNo",   "centerNo",    "hisClinicNo", "familyNo",   "memberNo",     "countryNo",
                 "memberName", "sexCode",    "idCard",      "age",         "bookNo",     "cardNo",       "hosNo",
                 "hosLevel",   "firstIcdNo", "secondIcdNo", "inOfficeNo",  "clinicDate", "clinicDoctor", "cureCode",
                 "inHosId",    "operator",   "turnLevel",   "turnHosNo"},
                soap_call___ns1__cliRegister, "return", &ns1__cliRegisterResponse::return_),
      operation("cliDetailInput",
                {"type", "no", "clinicRxNo", "detailNo", "code", "classId", "name", "spec", "unit", "conf", "price",
                 "quantity", "money", "factMoney", "useDate", "enableRatio", "enableMoney", "hisLeechdomCode"},
                soap_call___ns1__cliDetailInput, "return", &ns1__cliDetailInputResponse::return_),
      operation("cliDetailSeek", {"clinicNo"}, soap_call___ns1__cliDetailSeek, "return",
                &ns1__cliDetailSeekResponse::return_),
      operation("cliCancelFee", {"clinicNo"}, soap_call___ns1__cliCancelFee),
      operation("cliSingleCancleFee", {"detailNo"}, soap_call___ns1__cliSingleCancleFee),
      operation("cliCalculate", {"clinicNo"}, soap_call___ns1__cliCalculate, "return",
                &ns1__cliCalculateResponse::return_),
      operation("cliSeek", {"memberNo"}, soap_call___ns1__cliSeek, "return", &ns1__cliSeekResponse::return_),
      operation("cliSettlement", {"clinicNo", "userNo"}, soap_call___ns1__cliSettlement, "return",
                &ns1__cliSettlementResponse::return_),
      operation("cliCancelSettlement", {"settlementNo"}, soap_call___ns1__cliCancelSettlement),
      operation("cliAuditingSeek", {"settlementNo"}, soap_call___ns1__cliAuditingSeek, "return",
                &ns1__cliAuditingSeekResponse::return_),
      operation("isCashRedeem", {"settlementNo"}, soap_call___ns1__isCashRedeem, "return",
                &ns1__isCashRedeemResponse::return_),
      operation("cliBalance", {"settlementNo", "familyAccountGeld", "userNo"}, soap_call___ns1__cliBalance, "return",
                &ns1__cliBalanceResponse::return_),
      operation("cliStrikeBalance", {"settlementNo"}, soap_call___ns1__cliStrikeBalance, "return",
                &ns1__cliStrikeBalanceResponse::return_),
      operation("inpRegister",
                {"opType",      "inpatientSn",    "hosOrgno",        "inpatientNo",     "centerNo",   "memberName",
                 "familySysno", "memberSysno",    "countryTeamCode", "sexId",           "idcardNo",   "age",
                 "bookno",      "cardNo",         "icdAllNo",        "opsId",           "inOfficeId", "officeDate",
                 "cureId",      "inHosId",        "cureDoctor",      "bedNo",           "sectionNo",  "leaveDate",
                 "days",        "outOfficeId",    "outHosId",        "turnOp",          "turnOrgNo",  "turnDate",
                 "ticketNo",    "ministerNotice", "procreateNotice", "operateEmpSysno", "hosLevelId"},
                soap_call___ns1__inpRegister, "return", &ns1__inpRegisterResponse::return_),
      operation(
          "inpDetailInput",
          {"opType", "inpatientSn", "centerNo", "inpatientRxno", "detailId", "hiscode", "insureId", "classId", "name",
           "spec", "unit", "conf", "price", "quantity", "money", "factMoney", "useDate", "enableRatio", "enableMoney"},
          soap_call___ns1__inpDetailInput, "return", &ns1__inpDetailInputResponse::return_),
      operation("inpDetailSeek", {"inpatientSn", "centerNo"}, soap_call___ns1__inpDetailSeek, "return",
                &ns1__inpDetailSeekResponse::return_),
      operation("inpSingleCancelFee", {"detailId", "centerNo"}, soap_call___ns1__inpSingleCancelFee),
      operation("inpCancelFee", {"no", "centerNo"}, soap_call___ns1__inpCancelFee),
      operation("calculate", {"inpatientSn", "centerNo", "redeemId"}, soap_call___ns1__calculate, "return",
                &ns1__calculateResponse::return_),
      operation(
          "inpPay",
          {"no", "centerNo", "redeemId", "redeemEmpsysno", "redeemDate", "acceptMan", "acceptDate", "redeemOrgno"},
          soap_call___ns1__inpPay, "return", &ns1__inpPayResponse::return_),
      operation("auditingSeek", {"no", "centerNo"}, soap_call___ns1__auditingSeek, "return",
                &ns1__auditingSeekResponse::return_),
      operation("createRedeemInfo", {"inpatientSn", "operateEmpSysno", "redeemId"}, soap_call___ns1__createRedeemInfo),
      operation("updateDisease", {"lastTime", "centerNo"}, soap_call___ns1__updateDisease, "diseaseList",
                &ns1__updateDiseaseResponse::diseaseList),
      operation("updateLeechdom", {"lastTime", "centerNo", "hosNo"}, soap_call___ns1__updateLeechdom, "return",
                &ns1__updateLeechdomResponse::return_),
      operation("getInpatientGradeList", {"inpatientSn"}, soap_call___ns1__getInpatientGradeList, "return",
                &ns1__getInpatientGradeListResponse::return_),
      operation(
          "matchUpdate",
          {"centerNo", "hospitalSysno", "code", "hisCode", "hisName", "hisSpec", "hisUnit", "hisConf", "hisPrice"},
          soap_call___ns1__matchUpdate),
      operation("matchSeek", {"centerNo", "code", "hisCode", "hospitalSysno"}, soap_call___ns1__matchSeek, "return",
                &ns1__matchSeekResponse::return_),
      operation("redeemTypeDown", {"hosCode", "loginName"}, soap_call___ns1__redeemTypeDown, "return",
                &ns1__redeemTypeDownResponse::return_),
      operation("officeCodeDown", {"hosCode", "loginName"}, soap_call___ns1__officeCodeDown, "return",
                &ns1__officeCodeDownResponse::return_),
      operation("connectTesting", {}, soap_call___ns1__connectTesting, "return", &ns1__connectTestingResponse::return_),
  };
  return catalogue;
}

}  // namespace nvcontract
