// SPDX-License-Identifier: MIT
// Catalogue and matching: the disease and drug catalogue downloads
// (updateDisease, updateLeechdom), the grade list of a stay
// (getInpatientGradeList), and item matching (matchUpdate, matchSeek).
//
// A catalogue download can hold a hundred thousand entries: the list shape
// writes each value straight into the growing document, so its cost is
// linear in the size of the answer.
#include "NvInterFace.h"
#include "frame/service_call.h"
#include "soapH.h"

namespace {
using namespace nv;

// The sheets keep their layout: one argument, request member or column a line.
// clang-format off

// The centre answers with the member diseaseList, not return.
const ExportSheet kUpdateDisease{
    "updateDisease", "UpdateDisease", soap_send___ns1__updateDisease, kReadsOnly, kChecksFailWith600,
    {
        {"lastTime", dateTimeCheck("最后更新日期", kRequired), &ns1__updateDisease::lastTime, {"上次更新时间 yyyy-MM-dd HH:mm:ss;返回此后变更的条目", "the time of the last update, yyyy-MM-dd HH:mm:ss; the entries changed since are returned"}},
        centreCodeArgument(),
    },
    {
        {&ns1__updateDisease::centerNo, &CentreRecord::CenterNO},
    },
    listResult(&ns1__updateDiseaseResponse::diseaseList, {
        {0, "icdAllno", &ns3__diseaseResult::icdAllno},
        {1, "icdName", &ns3__diseaseResult::icdName},
        {2, "scienceName", &ns3__diseaseResult::scienceName},
        {3, "enName", &ns3__diseaseResult::enName},
        {4, "description", &ns3__diseaseResult::description},
        {5, "icdType", &ns3__diseaseResult::icdType},
        {6, "icdFlag", &ns3__diseaseResult::icdFlag},
        {7, "sexLimited", &ns3__diseaseResult::sexLimited},
        {8, "createTime", &ns3__diseaseResult::createTime},
        {9, "updateTime", &ns3__diseaseResult::updateTime},
        {10, "inputcodePy", &ns3__diseaseResult::inputcodePy},
        {11, "inputcodeWb", &ns3__diseaseResult::inputcodeWb},
        {12, "chronicFlag", &ns3__diseaseResult::chronicFlag},
        {13, "state", &ns3__diseaseResult::state},
        {14, "remark", &ns3__diseaseResult::remark},
        {15, "useFrequency", &ns3__diseaseResult::useFrequency},
    }),
};

// The columns are in the order HIS callers read them, which is not the
// member order of the item.
const ExportSheet kUpdateLeechdom{
    "updateLeechdom", "UpdateLeechdom", soap_send___ns1__updateLeechdom, kReadsOnly, kChecksFailWith600,
    {
        {"lastTime", dateTimeCheck("最后更新日期", kRequired), &ns1__updateLeechdom::lastTime, {"上次更新时间 yyyy-MM-dd HH:mm:ss;返回此后变更的条目", "the time of the last update, yyyy-MM-dd HH:mm:ss; the entries changed since are returned"}},
        centreCodeArgument(),
    },
    {
        {&ns1__updateLeechdom::centerNo, &CentreRecord::CenterNO},
        {&ns1__updateLeechdom::hosNo, &CentreRecord::HOSP_CODE},
    },
    listResult(&ns1__updateLeechdomResponse::return_, {
        {0, "insureId", &ns17__leechdomDetailResult::insureId},
        {1, "classNo", &ns17__leechdomDetailResult::classNo},
        {2, "grade", &ns17__leechdomDetailResult::grade},
        {3, "name", &ns17__leechdomDetailResult::name},
        {4, "spec", &ns17__leechdomDetailResult::spec},
        {5, "conf", &ns17__leechdomDetailResult::conf},
        {6, "unit", &ns17__leechdomDetailResult::unit},
        {7, "price", &ns17__leechdomDetailResult::price},
        {8, "everyMoney", &ns17__leechdomDetailResult::everyMoney},
        {9, "ratio", &ns17__leechdomDetailResult::ratio},
        {10, "adminLevel", &ns17__leechdomDetailResult::adminLevel},
        {11, "isClinic", &ns17__leechdomDetailResult::isClinic},
        {12, "remark", &ns17__leechdomDetailResult::remark},
        {13, "inputPyCode", &ns17__leechdomDetailResult::inputPyCode},
        {14, "updateTime", &ns17__leechdomDetailResult::updateTime},
        {15, "inputWbCode", &ns17__leechdomDetailResult::inputWbCode},
        {16, "approveMinPrice", &ns17__leechdomDetailResult::approveMinPrice},
        {17, "approveMaxPrice", &ns17__leechdomDetailResult::approveMaxPrice},
    }),
};

// The centre code comes first here, and only selects the centre to call.
const ExportSheet kGetInpatientGradeList{
    "getInpatientGradeList", "getInpatientGradeList", soap_send___ns1__getInpatientGradeList, kReadsOnly, kChecksFailWith300,
    {
        centreCodeArgument(),
        {"inpatientSn", numberCheck("住院登记流水号", 18, kRequired), &ns1__getInpatientGradeList::inpatientSn, {"住院就诊号:inpRegister 返回的 inpatientSn", "the inpatient visit number: the inpatientSn inpRegister returned"}},
    },
    {},
    listResult(&ns1__getInpatientGradeListResponse::return_, {
        {0, "inpatientSn", &ns2__inpatientGradeResult::inpatientSn},
        {1, "startMoney", &ns2__inpatientGradeResult::startMoney},
        {2, "endMoney", &ns2__inpatientGradeResult::endMoney},
        {3, "ratio", &ns2__inpatientGradeResult::ratio},
        {4, "redeemMoney", &ns2__inpatientGradeResult::redeemMoney},
    }),
};

const ExportSheet kMatchUpdate{
    "matchUpdate", "MatchUpdate", soap_send___ns1__matchUpdate, kChangesState, kChecksFailWith300,
    {
        centreCodeArgument(),
        {"code", stringCheck("农合编码", 40, kRequired), &ns1__matchUpdate::code, {"农合目录编码", "the insurance catalogue code"}},
        {"hisCode", stringCheck("HIS编码", 40, kRequired), &ns1__matchUpdate::hisCode, {"HIS 自己的项目编码", "the HIS's own item code"}},
        {"hisName", stringCheck("HIS药品名称", 100, kMayBeEmpty), &ns1__matchUpdate::hisName, {"HIS 项目名称", "the HIS's item name"}},
        {"hisSpec", stringCheck("HIS药品规格", 200, kMayBeEmpty), &ns1__matchUpdate::hisSpec, {"HIS 项目规格", "the strength and pack size the HIS gives"}},
        {"hisUnit", stringCheck("HIS药品单位", 100, kMayBeEmpty), &ns1__matchUpdate::hisUnit, {"HIS 项目单位", "the HIS's unit"}},
        {"hisConf", stringCheck("HIS药品剂型", 100, kMayBeEmpty), &ns1__matchUpdate::hisConf, {"HIS 项目剂型", "the HIS's dosage form"}},
        {"hisPrice", numberCheck("HIS药品单价", 18, kRequired), &ns1__matchUpdate::hisPrice, {"HIS 项目单价", "the HIS's unit price"}},
    },
    {
        {&ns1__matchUpdate::centerNo, &CentreRecord::CenterNO},
        {&ns1__matchUpdate::hospitalSysno, &CentreRecord::HOSP_CODE},
    },
    noResult<ns1__matchUpdateResponse>(),
};

// HIS code reads both matching results under matchUpdate's function_id.
const ExportSheet kMatchSeek{
    "matchSeek", "MatchUpdate", soap_send___ns1__matchSeek, kReadsOnly, kChecksFailWith300,
    {
        centreCodeArgument(),
        {"code", stringCheck("农合编码", 40, kRequired), &ns1__matchSeek::code, {"农合目录编码", "the insurance catalogue code"}},
        {"hisCode", stringCheck("HIS编码", 40, kRequired), &ns1__matchSeek::hisCode, {"HIS 自己的项目编码", "the HIS's own item code"}},
    },
    {
        {&ns1__matchSeek::centerNo, &CentreRecord::CenterNO},
        {&ns1__matchSeek::hospitalSysno, &CentreRecord::HOSP_CODE},
    },
    textResult(&ns1__matchSeekResponse::return_, 0, "CheckState"),
    {
        {"与 matchUpdate 写相同的 function_id,按数据区分两者", "writes the same function_id as matchUpdate: tell the two apart by their data"},
    },
};

// clang-format on

}  // namespace

extern "C" {

NV_API char* NV_CALL updateDisease(NvText lastTime, NvText centreCode) {
  return runExport(kUpdateDisease, {lastTime, centreCode});
}

NV_API char* NV_CALL updateLeechdom(NvText lastTime, NvText centreCode) {
  return runExport(kUpdateLeechdom, {lastTime, centreCode});
}

NV_API char* NV_CALL getInpatientGradeList(NvText centreCode, NvText inpatientSn) {
  return runExport(kGetInpatientGradeList, {centreCode, inpatientSn});
}

NV_API char* NV_CALL matchUpdate(NvText centreCode, NvText code, NvText hisCode, NvText hisName, NvText hisSpec,
                                 NvText hisUnit, NvText hisConf, NvText hisPrice) {
  return runExport(kMatchUpdate, {centreCode, code, hisCode, hisName, hisSpec, hisUnit, hisConf, hisPrice});
}

NV_API char* NV_CALL matchSeek(NvText centreCode, NvText code, NvText hisCode) {
  return runExport(kMatchSeek, {centreCode, code, hisCode});
}

}  // extern "C"

void nv::addCatalogueFacts(std::vector<ExportFacts>& facts) {
  facts.push_back(factsOf(kUpdateDisease));
  facts.push_back(factsOf(kUpdateLeechdom));
  facts.push_back(factsOf(kGetInpatientGradeList));
  facts.push_back(factsOf(kMatchUpdate));
  facts.push_back(factsOf(kMatchSeek));
}
