// Member and hospital lookup: getPersonInfo, getHospitalInfo.
#include "NvInterFace.h"
#include "frame/service_call.h"
#include "soapH.h"

namespace {
using namespace nv;

// The sheets keep their layout: one check, request member or column a line.
// clang-format off

const ExportSheet kGetPersonInfo{
    "GetPersonInfo", /*centre-code argument*/ 3,
    {
        stringCheck(1, "医疗证号", 20, kRequired),
        stringCheck(2, "用户名", 20, kRequired),
        centreCodeCheck(3),
    },
    kChecksFailWith600,
    soap_send___ns1__getPersonInfo, kReadsOnly,
    {
        {&ns1__getPersonInfo::bookno, arg(1)},
        {&ns1__getPersonInfo::operator_, arg(2)},
    },
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
};

// The centre code is only looked up, never checked; the hospital's
// centreNo member is received but not shown.
const ExportSheet kGetHospitalInfo{
    "GetHospitalInfo", /*centre-code argument*/ 2,
    {
        stringCheck(1, "医院名称", 100, kRequired),
    },
    kChecksFailWith600,
    soap_send___ns1__getHospitalInfo, kReadsOnly,
    {
        {&ns1__getHospitalInfo::name, arg(1)},
    },
    listResult(&ns1__getHospitalInfoResponse::return_, {
        {0, "hospCode", &ns16__hospitalResult::hospCode},
        {1, "hospLevel", &ns16__hospitalResult::hospLevel},
        {2, "hospName", &ns16__hospitalResult::hospName},
    }),
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
