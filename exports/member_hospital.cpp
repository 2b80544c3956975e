// SPDX-License-Identifier: MIT
// Member and hospital lookup: getPersonInfo, getHospitalInfo.
#include "NvInterFace.h"
#include "frame/service_call.h"
#include "soapH.h"

namespace {
using namespace nv;

// The sheets keep their layout: one argument, request member or column a line.
// clang-format off

const ExportSheet kGetPersonInfo{
    "getPersonInfo", "GetPersonInfo", soap_send___ns1__getPersonInfo, kReadsOnly, kChecksFailWith600,
    {
        {"medicalCertNo", stringCheck("医疗证号", 20, kRequired), &ns1__getPersonInfo::bookno, {"参合人员的医疗证号", "the member's medical certificate number"}},
        {"operatorName", stringCheck("用户名", 20, kRequired), &ns1__getPersonInfo::operator_, {"操作员的用户名", "the operator's user name"}},
        centreCodeArgument(),
    },
    {},
    listResult(&ns1__getPersonInfoResponse::return_, {
        {0, "memberNO", &ns14__Member::memberNO},
        {1, "name", &ns14__Member::name},
        {2, "countryTeamCode", &ns14__Member::countryTeamCode},
        {3, "familySysno", &ns14__Member::familySysno},
        {4, "sexId", &ns14__Member::sexId},
        {5, "idcardNo", &ns14__Member::idcardNo},
        {6, "age", &ns14__Member::age},
        {7, "birthday", &ns14__Member::birthday},
        {8, "bookNo", &ns14__Member::bookNo},
        {9, "cardNo", &ns14__Member::cardNo},
        {10, "familyAddress", &ns14__Member::familyAddress},
        {11, "tel", &ns14__Member::tel},
        {12, "ideName", &ns14__Member::ideName},
    }),
    {
        {"全家每人一行;中心没有的证号得到 000 和 0 行,请检查行数", "one row per member of the family; a number the centre does not know gives 000 with no rows, so check the rows"},
    },
};

const ExportSheet kGetHospitalInfo{
    "getHospitalInfo", "GetHospitalInfo", soap_send___ns1__getHospitalInfo, kReadsOnly, kChecksFailWith600,
    {
        {"hospitalName", stringCheck("医院名称", 100, kRequired), &ns1__getHospitalInfo::name, {"医院名称,中心按名称查找", "the hospital's name, which the centre looks up"}},
        uncheckedCentreCodeArgument(),
    },
    {},
    listResult(&ns1__getHospitalInfoResponse::return_, {
        {0, "hospCode", &ns16__hospitalResult::hospCode},
        {1, "hospLevel", &ns16__hospitalResult::hospLevel},
        {2, "hospName", &ns16__hospitalResult::hospName},
    }),
    {
        {"中心还返回医院的 centreNo,不作为列输出", "the centre also sends the hospital's centreNo, which is not shown"},
    },
};

// clang-format on

}  // namespace

extern "C" {

NV_API char* NV_CALL getPersonInfo(NvText medicalCertNo, NvText operatorName, NvText centreCode) {
  return runExport(kGetPersonInfo, {medicalCertNo, operatorName, centreCode});
}

NV_API char* NV_CALL getHospitalInfo(NvText hospitalName, NvText centreCode) {
  return runExport(kGetHospitalInfo, {hospitalName, centreCode});
}

}  // extern "C"

void nv::addMemberHospitalFacts(std::vector<ExportFacts>& facts) {
  facts.push_back(factsOf(kGetPersonInfo));
  facts.push_back(factsOf(kGetHospitalInfo));
}
