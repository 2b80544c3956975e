#include "tests/contract/operation_catalogue.h"

#include "soapH.h"

namespace nvcontract {

// Request members and response member exactly as the centre names them;
// each call fills request member i from values[i].
const std::vector<OperationCase>& operationCatalogue() {
  static const std::vector<OperationCase> catalogue = {
      {"getPersonInfo",
       {"bookno", "operator"},
       "return",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__getPersonInfo request;
         request.bookno = values.at(0);
         request.operator_ = values.at(1);
         ns1__getPersonInfoResponse response;
         int status = soap_call___ns1__getPersonInfo(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, response.return_ != nullptr};
       }},
      {"getHospitalInfo",
       {"name"},
       "return",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__getHospitalInfo request;
         request.name = values.at(0);
         ns1__getHospitalInfoResponse response;
         int status = soap_call___ns1__getHospitalInfo(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, response.return_ != nullptr};
       }},
      {"cliRegister",
       {"regType",    "clinicNo",   "centerNo",    "hisClinicNo", "familyNo",   "memberNo",     "countryNo",
        "memberName", "sexCode",    "idCard",      "age",         "bookNo",     "cardNo",       "hosNo",
        "hosLevel",   "firstIcdNo", "secondIcdNo", "inOfficeNo",  "clinicDate", "clinicDoctor", "cureCode",
        "inHosId",    "operator",   "turnLevel",   "turnHosNo"},
       "return",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__cliRegister request;
         request.regType = values.at(0);
         request.clinicNo = values.at(1);
         request.centerNo = values.at(2);
         request.hisClinicNo = values.at(3);
         request.familyNo = values.at(4);
         request.memberNo = values.at(5);
         request.countryNo = values.at(6);
         request.memberName = values.at(7);
         request.sexCode = values.at(8);
         request.idCard = values.at(9);
         request.age = values.at(10);
         request.bookNo = values.at(11);
         request.cardNo = values.at(12);
         request.hosNo = values.at(13);
         request.hosLevel = values.at(14);
         request.firstIcdNo = values.at(15);
         request.secondIcdNo = values.at(16);
         request.inOfficeNo = values.at(17);
         request.clinicDate = values.at(18);
         request.clinicDoctor = values.at(19);
         request.cureCode = values.at(20);
         request.inHosId = values.at(21);
         request.operator_ = values.at(22);
         request.turnLevel = values.at(23);
         request.turnHosNo = values.at(24);
         ns1__cliRegisterResponse response;
         int status = soap_call___ns1__cliRegister(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, response.return_ != nullptr};
       }},
      {"cliDetailInput",
       {"type", "no", "clinicRxNo", "detailNo", "code", "classId", "name", "spec", "unit", "conf", "price", "quantity",
        "money", "factMoney", "useDate", "enableRatio", "enableMoney", "hisLeechdomCode"},
       "return",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__cliDetailInput request;
         request.type = values.at(0);
         request.no = values.at(1);
         request.clinicRxNo = values.at(2);
         request.detailNo = values.at(3);
         request.code = values.at(4);
         request.classId = values.at(5);
         request.name = values.at(6);
         request.spec = values.at(7);
         request.unit = values.at(8);
         request.conf = values.at(9);
         request.price = values.at(10);
         request.quantity = values.at(11);
         request.money = values.at(12);
         request.factMoney = values.at(13);
         request.useDate = values.at(14);
         request.enableRatio = values.at(15);
         request.enableMoney = values.at(16);
         request.hisLeechdomCode = values.at(17);
         ns1__cliDetailInputResponse response;
         int status = soap_call___ns1__cliDetailInput(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, response.return_ != nullptr};
       }},
      {"cliDetailSeek",
       {"clinicNo"},
       "return",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__cliDetailSeek request;
         request.clinicNo = values.at(0);
         ns1__cliDetailSeekResponse response;
         int status = soap_call___ns1__cliDetailSeek(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, response.return_ != nullptr};
       }},
      {"cliCancelFee",
       {"clinicNo"},
       "",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__cliCancelFee request;
         request.clinicNo = values.at(0);
         ns1__cliCancelFeeResponse response;
         int status = soap_call___ns1__cliCancelFee(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, false};
       }},
      {"cliSingleCancleFee",
       {"detailNo"},
       "",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__cliSingleCancleFee request;
         request.detailNo = values.at(0);
         ns1__cliSingleCancleFeeResponse response;
         int status = soap_call___ns1__cliSingleCancleFee(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, false};
       }},
      {"cliCalculate",
       {"clinicNo"},
       "return",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__cliCalculate request;
         request.clinicNo = values.at(0);
         ns1__cliCalculateResponse response;
         int status = soap_call___ns1__cliCalculate(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, response.return_ != nullptr};
       }},
      {"cliSeek",
       {"memberNo"},
       "return",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__cliSeek request;
         request.memberNo = values.at(0);
         ns1__cliSeekResponse response;
         int status = soap_call___ns1__cliSeek(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, response.return_ != nullptr};
       }},
      {"cliSettlement",
       {"clinicNo", "userNo"},
       "return",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__cliSettlement request;
         request.clinicNo = values.at(0);
         request.userNo = values.at(1);
         ns1__cliSettlementResponse response;
         int status = soap_call___ns1__cliSettlement(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, response.return_ != nullptr};
       }},
      {"cliCancelSettlement",
       {"settlementNo"},
       "",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__cliCancelSettlement request;
         request.settlementNo = values.at(0);
         ns1__cliCancelSettlementResponse response;
         int status = soap_call___ns1__cliCancelSettlement(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, false};
       }},
      {"cliAuditingSeek",
       {"settlementNo"},
       "return",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__cliAuditingSeek request;
         request.settlementNo = values.at(0);
         ns1__cliAuditingSeekResponse response;
         int status = soap_call___ns1__cliAuditingSeek(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, response.return_ != nullptr};
       }},
      {"isCashRedeem",
       {"settlementNo"},
       "return",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__isCashRedeem request;
         request.settlementNo = values.at(0);
         ns1__isCashRedeemResponse response;
         int status = soap_call___ns1__isCashRedeem(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, response.return_ != nullptr};
       }},
      {"cliBalance",
       {"settlementNo", "familyAccountGeld", "userNo"},
       "return",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__cliBalance request;
         request.settlementNo = values.at(0);
         request.familyAccountGeld = values.at(1);
         request.userNo = values.at(2);
         ns1__cliBalanceResponse response;
         int status = soap_call___ns1__cliBalance(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, response.return_ != nullptr};
       }},
      {"cliStrikeBalance",
       {"settlementNo"},
       "return",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__cliStrikeBalance request;
         request.settlementNo = values.at(0);
         ns1__cliStrikeBalanceResponse response;
         int status = soap_call___ns1__cliStrikeBalance(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, response.return_ != nullptr};
       }},
      {"inpRegister",
       {"opType",      "inpatientSn",    "hosOrgno",        "inpatientNo",     "centerNo",   "memberName",
        "familySysno", "memberSysno",    "countryTeamCode", "sexId",           "idcardNo",   "age",
        "bookno",      "cardNo",         "icdAllNo",        "opsId",           "inOfficeId", "officeDate",
        "cureId",      "inHosId",        "cureDoctor",      "bedNo",           "sectionNo",  "leaveDate",
        "days",        "outOfficeId",    "outHosId",        "turnOp",          "turnOrgNo",  "turnDate",
        "ticketNo",    "ministerNotice", "procreateNotice", "operateEmpSysno", "hosLevelId"},
       "return",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__inpRegister request;
         request.opType = values.at(0);
         request.inpatientSn = values.at(1);
         request.hosOrgno = values.at(2);
         request.inpatientNo = values.at(3);
         request.centerNo = values.at(4);
         request.memberName = values.at(5);
         request.familySysno = values.at(6);
         request.memberSysno = values.at(7);
         request.countryTeamCode = values.at(8);
         request.sexId = values.at(9);
         request.idcardNo = values.at(10);
         request.age = values.at(11);
         request.bookno = values.at(12);
         request.cardNo = values.at(13);
         request.icdAllNo = values.at(14);
         request.opsId = values.at(15);
         request.inOfficeId = values.at(16);
         request.officeDate = values.at(17);
         request.cureId = values.at(18);
         request.inHosId = values.at(19);
         request.cureDoctor = values.at(20);
         request.bedNo = values.at(21);
         request.sectionNo = values.at(22);
         request.leaveDate = values.at(23);
         request.days = values.at(24);
         request.outOfficeId = values.at(25);
         request.outHosId = values.at(26);
         request.turnOp = values.at(27);
         request.turnOrgNo = values.at(28);
         request.turnDate = values.at(29);
         request.ticketNo = values.at(30);
         request.ministerNotice = values.at(31);
         request.procreateNotice = values.at(32);
         request.operateEmpSysno = values.at(33);
         request.hosLevelId = values.at(34);
         ns1__inpRegisterResponse response;
         int status = soap_call___ns1__inpRegister(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, response.return_ != nullptr};
       }},
      {"inpDetailInput",
       {"opType", "inpatientSn", "centerNo", "inpatientRxno", "detailId", "hiscode", "insureId", "classId", "name",
        "spec", "unit", "conf", "price", "quantity", "money", "factMoney", "useDate", "enableRatio", "enableMoney"},
       "return",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__inpDetailInput request;
         request.opType = values.at(0);
         request.inpatientSn = values.at(1);
         request.centerNo = values.at(2);
         request.inpatientRxno = values.at(3);
         request.detailId = values.at(4);
         request.hiscode = values.at(5);
         request.insureId = values.at(6);
         request.classId = values.at(7);
         request.name = values.at(8);
         request.spec = values.at(9);
         request.unit = values.at(10);
         request.conf = values.at(11);
         request.price = values.at(12);
         request.quantity = values.at(13);
         request.money = values.at(14);
         request.factMoney = values.at(15);
         request.useDate = values.at(16);
         request.enableRatio = values.at(17);
         request.enableMoney = values.at(18);
         ns1__inpDetailInputResponse response;
         int status = soap_call___ns1__inpDetailInput(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, response.return_ != nullptr};
       }},
      {"inpDetailSeek",
       {"inpatientSn", "centerNo"},
       "return",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__inpDetailSeek request;
         request.inpatientSn = values.at(0);
         request.centerNo = values.at(1);
         ns1__inpDetailSeekResponse response;
         int status = soap_call___ns1__inpDetailSeek(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, response.return_ != nullptr};
       }},
      {"inpSingleCancelFee",
       {"detailId", "centerNo"},
       "",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__inpSingleCancelFee request;
         request.detailId = values.at(0);
         request.centerNo = values.at(1);
         ns1__inpSingleCancelFeeResponse response;
         int status = soap_call___ns1__inpSingleCancelFee(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, false};
       }},
      {"inpCancelFee",
       {"no", "centerNo"},
       "",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__inpCancelFee request;
         request.no = values.at(0);
         request.centerNo = values.at(1);
         ns1__inpCancelFeeResponse response;
         int status = soap_call___ns1__inpCancelFee(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, false};
       }},
      {"calculate",
       {"inpatientSn", "centerNo", "redeemId"},
       "return",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__calculate request;
         request.inpatientSn = values.at(0);
         request.centerNo = values.at(1);
         request.redeemId = values.at(2);
         ns1__calculateResponse response;
         int status = soap_call___ns1__calculate(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, response.return_ != nullptr};
       }},
      {"inpPay",
       {"no", "centerNo", "redeemId", "redeemEmpsysno", "redeemDate", "acceptMan", "acceptDate", "redeemOrgno"},
       "return",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__inpPay request;
         request.no = values.at(0);
         request.centerNo = values.at(1);
         request.redeemId = values.at(2);
         request.redeemEmpsysno = values.at(3);
         request.redeemDate = values.at(4);
         request.acceptMan = values.at(5);
         request.acceptDate = values.at(6);
         request.redeemOrgno = values.at(7);
         ns1__inpPayResponse response;
         int status = soap_call___ns1__inpPay(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, response.return_ != nullptr};
       }},
      {"auditingSeek",
       {"no", "centerNo"},
       "return",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__auditingSeek request;
         request.no = values.at(0);
         request.centerNo = values.at(1);
         ns1__auditingSeekResponse response;
         int status = soap_call___ns1__auditingSeek(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, response.return_ != nullptr};
       }},
      {"createRedeemInfo",
       {"inpatientSn", "operateEmpSysno", "redeemId"},
       "",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__createRedeemInfo request;
         request.inpatientSn = values.at(0);
         request.operateEmpSysno = values.at(1);
         request.redeemId = values.at(2);
         ns1__createRedeemInfoResponse response;
         int status = soap_call___ns1__createRedeemInfo(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, false};
       }},
      {"updateDisease",
       {"lastTime", "centerNo"},
       "diseaseList",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__updateDisease request;
         request.lastTime = values.at(0);
         request.centerNo = values.at(1);
         ns1__updateDiseaseResponse response;
         int status = soap_call___ns1__updateDisease(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, response.diseaseList != nullptr};
       }},
      {"updateLeechdom",
       {"lastTime", "centerNo", "hosNo"},
       "return",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__updateLeechdom request;
         request.lastTime = values.at(0);
         request.centerNo = values.at(1);
         request.hosNo = values.at(2);
         ns1__updateLeechdomResponse response;
         int status = soap_call___ns1__updateLeechdom(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, response.return_ != nullptr};
       }},
      {"getInpatientGradeList",
       {"inpatientSn"},
       "return",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__getInpatientGradeList request;
         request.inpatientSn = values.at(0);
         ns1__getInpatientGradeListResponse response;
         int status = soap_call___ns1__getInpatientGradeList(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, response.return_ != nullptr};
       }},
      {"matchUpdate",
       {"centerNo", "hospitalSysno", "code", "hisCode", "hisName", "hisSpec", "hisUnit", "hisConf", "hisPrice"},
       "",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__matchUpdate request;
         request.centerNo = values.at(0);
         request.hospitalSysno = values.at(1);
         request.code = values.at(2);
         request.hisCode = values.at(3);
         request.hisName = values.at(4);
         request.hisSpec = values.at(5);
         request.hisUnit = values.at(6);
         request.hisConf = values.at(7);
         request.hisPrice = values.at(8);
         ns1__matchUpdateResponse response;
         int status = soap_call___ns1__matchUpdate(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, false};
       }},
      {"matchSeek",
       {"centerNo", "code", "hisCode", "hospitalSysno"},
       "return",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__matchSeek request;
         request.centerNo = values.at(0);
         request.code = values.at(1);
         request.hisCode = values.at(2);
         request.hospitalSysno = values.at(3);
         ns1__matchSeekResponse response;
         int status = soap_call___ns1__matchSeek(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, response.return_ != nullptr};
       }},
      {"redeemTypeDown",
       {"hosCode", "loginName"},
       "return",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__redeemTypeDown request;
         request.hosCode = values.at(0);
         request.loginName = values.at(1);
         ns1__redeemTypeDownResponse response;
         int status = soap_call___ns1__redeemTypeDown(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, response.return_ != nullptr};
       }},
      {"officeCodeDown",
       {"hosCode", "loginName"},
       "return",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__officeCodeDown request;
         request.hosCode = values.at(0);
         request.loginName = values.at(1);
         ns1__officeCodeDownResponse response;
         int status = soap_call___ns1__officeCodeDown(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, response.return_ != nullptr};
       }},
      {"connectTesting",
       {},
       "return",
       [](struct soap* soap, const char* endpoint, const Values& values) {
         ns1__connectTesting request;
         (void)values;  // the one operation without request members
         ns1__connectTestingResponse response;
         int status = soap_call___ns1__connectTesting(soap, endpoint, nullptr, &request, response);
         return CallOutcome{status, response.return_ != nullptr};
       }},
  };
  return catalogue;
}

}  // namespace nvcontract
