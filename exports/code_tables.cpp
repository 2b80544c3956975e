// SPDX-License-Identifier: MIT
// The centre's code tables and its connection test: redeemTypeDown (the
// reimbursement types), officeCodeDown (the departments) and connectTesting.
// The tables are the centre's own: a HIS reads them here instead of keeping
// codes of its own that drift from the centre's.
#include "NvInterFace.h"
#include "frame/service_call.h"
#include "soapH.h"

namespace {
using namespace nv;

// The sheets keep their layout: one argument, request member or column a line.
// clang-format off

const ExportSheet kRedeemTypeDown{
    "redeemTypeDown", "RedeemTypeDown", soap_send___ns1__redeemTypeDown, kReadsOnly, kChecksFailWith600,
    {
        centreCodeArgument(),
    },
    {
        {&ns1__redeemTypeDown::hosCode, &CentreRecord::HOSP_CODE},
        {&ns1__redeemTypeDown::loginName, &CentreRecord::UserNo},
    },
    listResult(&ns1__redeemTypeDownResponse::return_, {
        {0, "code", &ns18__redeemTypeResult::code},
        {1, "name", &ns18__redeemTypeResult::name},
        {2, "otherParam", &ns18__redeemTypeResult::otherParam},
        {3, "comment", &ns18__redeemTypeResult::comment},
        {4, "accountType", &ns18__redeemTypeResult::accountType},
    }),
    {
        {"每种补偿类型一行;code 是 calculate 和 inpPay 的 redeemType 参数可用的值", "one row per reimbursement type; a code is what calculate and inpPay take as redeemType"},
    },
};

const ExportSheet kOfficeCodeDown{
    "officeCodeDown", "OfficeCodeDown", soap_send___ns1__officeCodeDown, kReadsOnly, kChecksFailWith600,
    {
        centreCodeArgument(),
    },
    {
        {&ns1__officeCodeDown::hosCode, &CentreRecord::HOSP_CODE},
        {&ns1__officeCodeDown::loginName, &CentreRecord::UserNo},
    },
    listResult(&ns1__officeCodeDownResponse::return_, {
        {0, "code", &ns9__officeResult::code},
        {1, "name", &ns9__officeResult::name},
        {2, "otherParam", &ns9__officeResult::otherParam},
        {3, "comment", &ns9__officeResult::comment},
    }),
    {
        {"每个科室一行;code 是 cliRegister 和 inpRegister 的科室编码参数可用的值", "one row per department; a code is what cliRegister and inpRegister take as a department code"},
    },
};

// Sends nothing but the envelope: whether the centre answers at all.
const ExportSheet kConnectTesting{
    "connectTesting", "ConnectTesting", soap_send___ns1__connectTesting, kReadsOnly, kChecksFailWith600,
    {
        centreCodeArgument(),
    },
    {},
    textResult(&ns1__connectTestingResponse::return_, 0, "return"),
    {
        {"只测试中心是否应答,不发送医院编码;中心的应答文本原样写出", "only tests that the centre answers, sending no hospital code; the centre's answer text is written as it is"},
    },
};

// clang-format on

}  // namespace

extern "C" {

NV_API char* NV_CALL redeemTypeDown(NvText centreCode) { return runExport(kRedeemTypeDown, {centreCode}); }

NV_API char* NV_CALL officeCodeDown(NvText centreCode) { return runExport(kOfficeCodeDown, {centreCode}); }

NV_API char* NV_CALL connectTesting(NvText centreCode) { return runExport(kConnectTesting, {centreCode}); }

}  // extern "C"

void nv::addCodeTableFacts(std::vector<ExportFacts>& facts) {
  facts.push_back(factsOf(kRedeemTypeDown));
  facts.push_back(factsOf(kOfficeCodeDown));
  facts.push_back(factsOf(kConnectTesting));
}
