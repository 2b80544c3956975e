// SPDX-License-Identifier: MIT
// The reference's code tables: for every argument and result value that is a
// code, what the centre defines and where a HIS gets it, and what the sandbox
// centre (tools/sandbox) answers. The sandbox's tables come from its seed;
// its texts are quoted from its sources, which a test holds them against.
#include <string>
#include <vector>

#include "tools/export_files/reference_text.h"
#include "tools/sandbox/seed_codes.h"

namespace nvref {
namespace {

struct Say {
  const char* zh;
  const char* en;
  std::string in(Language language) const { return language == Language::kChinese ? zh : en; }
};

std::string code(const std::string& text) { return "`" + text + "`"; }

std::string joined(const std::vector<std::string>& parts, const std::string& between) {
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : between) + part;
  return text;
}

std::string redeemTypes() {
  std::vector<std::string> types;
  for (const sandbox::SeedRedeemType& t : sandbox::kSeedRedeemTypes)
    types.push_back(code(t.code) + " " + t.name + " (accountType " + t.accountType + ")");
  return joined(types, ", ");
}

std::string offices() {
  std::vector<std::string> names;
  for (const sandbox::SeedOffice& o : sandbox::kSeedOffices) names.push_back(code(o.code) + " " + o.name);
  return joined(names, ", ");
}

std::string hospitals() {
  std::vector<std::string> names;
  for (const sandbox::SeedHospital& h : sandbox::kSeedHospitals)
    names.push_back(code(h.hospCode) + " " + h.hospName + " (hospLevel " + h.hospLevel + ")");
  return joined(names, ", ");
}

// A value given by quoted texts of the sandbox: each must be one of its
// string literals.
struct Quoted {
  std::vector<const char*> texts;
};

// One coded value: where it occurs, what the centre defines and where to get
// it, the sandbox's values, and the messages the sandbox answers about it.
struct CodedValue {
  Say value;
  Say centre;
  std::string sandboxZh, sandboxEn;
  Quoted sandboxTexts;  // values the sandbox answers, quoted
  Quoted messages;      // the sandbox's business messages (SOAP faults)
};

const Say kNotListed{"中心自定;没有导出函数列出这些代码,请向中心索取代码表",
                     "the centre's own codes; no export lists them, so ask the centre for its table"};
const char* const kKeptZh = "任意值,原样保存,不解释";
const char* const kKeptEn = "any value, kept as sent and not interpreted";

std::vector<CodedValue> arguments() {
  std::vector<CodedValue> rows;
  rows.push_back({{"`redeemType`(calculate、inpPay)", "`redeemType` (calculate, inpPay)"},
                  {"中心的补偿类型:`redeemTypeDown` 的 `code` 列",
                   "the centre's reimbursement types: column `code` of `redeemTypeDown`"},
                  redeemTypes(),
                  redeemTypes(),
                  {},
                  {{"补偿类型不存在"}}});
  rows.push_back(
      {{"`inOfficeNo`、`outOfficeNo`(cliRegister、inpRegister)",
        "`inOfficeNo`, `outOfficeNo` (cliRegister, inpRegister)"},
       {"中心的科室:`officeCodeDown` 的 `code` 列", "the centre's departments: column `code` of `officeCodeDown`"},
       offices() + ";登记时原样保存,不对照科室表",
       offices() + "; a registration keeps the code as sent, not held against the table",
       {},
       {}});
  rows.push_back({{"`centreCode`(所有函数)→ 发送的 `centerNo`", "`centreCode` (every export) → `centerNo` sent"},
                  {"中心自己的编码,配置为 CenterNO(`getCenter`、`getAllCenter` 列出)",
                   "the centre's own code, configured as CenterNO (listed by `getCenter`, `getAllCenter`)"},
                  code(sandbox::kSeedCentre) + ";不发送 centerNo 视为本中心",
                  code(sandbox::kSeedCentre) + "; a request without centerNo is taken to mean it",
                  {},
                  {{"农合中心编码不存在"}}});
  rows.push_back({{"配置的 HOSP_CODE → 发送的 `hosNo`、`hosCode`、`hospitalSysno`",
                   "configured HOSP_CODE → `hosNo`, `hosCode`, `hospitalSysno` sent"},
                  {"中心给本院的编码:`getHospitalInfo` 的 `hospCode` 列",
                   "the centre's code for the hospital: column `hospCode` of `getHospitalInfo`"},
                  hospitals(),
                  hospitals(),
                  {},
                  {{"医疗机构不存在"}}});
  rows.push_back({{"`insureItemCode`(cliDetailInput、inpDetailInput)、`code`(matchUpdate、matchSeek)",
                   "`insureItemCode` (cliDetailInput, inpDetailInput), `code` (matchUpdate, matchSeek)"},
                  {"中心的药品和项目目录编码:`updateLeechdom` 的 `insureId` 列",
                   "the centre's catalogue codes: column `insureId` of `updateLeechdom`"},
                  "XY0001-XY0003、ZY0001、JC0001-JC0002、ZL0001-ZL0002、CL0001、ZF0001(见 `updateLeechdom`)",
                  "XY0001-XY0003, ZY0001, JC0001-JC0002, ZL0001-ZL0002, CL0001, ZF0001 (see `updateLeechdom`)",
                  {},
                  {{"农合编码不存在"}}});
  rows.push_back(
      {{"`feeClassCode`(cliDetailInput、inpDetailInput)", "`feeClassCode` (cliDetailInput, inpDetailInput)"},
       {"中心的费用分类;目录中每个项目的分类是 `updateLeechdom` 的 `classNo` 列",
        "the centre's fee classes; each catalogue item's class is column `classNo` of `updateLeechdom`"},
       "目录的 classNo:`01` 西药、`02` 中药、`03` 检查、`04` 治疗、`05` 材料;上传的值原样保存,费用按目录项目的 "
       "classNo 分类",
       "the catalogue's classNo: `01` Western medicine, `02` Chinese medicine, `03` examination, `04` "
       "treatment, `05` material; the value sent is kept, and a fee is classed by its catalogue item's classNo",
       {},
       {}});
  rows.push_back({{"`sexCode`(cliRegister、inpRegister)", "`sexCode` (cliRegister, inpRegister)"},
                  kNotListed,
                  "参合人员的 sexId 为 `1`(男)或 `2`(女);登记时" + std::string(kKeptZh),
                  "its members' sexId is `1` (male) or `2` (female); a registration takes " + std::string(kKeptEn),
                  {},
                  {}});
  rows.push_back(
      {{"`regType`、`cureCode`、`inHosId`、`turnLevel`(cliRegister);`opType`、`cureCode`、`inHosState`、"
        "`outHosState`、`turnType`(inpRegister);`type`、`opType`(cliDetailInput、inpDetailInput)",
        "`regType`, `cureCode`, `inHosId`, `turnLevel` (cliRegister); `opType`, `cureCode`, `inHosState`, "
        "`outHosState`, `turnType` (inpRegister); `type`, `opType` (cliDetailInput, inpDetailInput)"},
       kNotListed,
       std::string(kKeptZh) + ";空的就诊号或住院号表示新登记,给出号码表示修改该登记",
       std::string(kKeptEn) + "; an empty visit or stay number registers anew, a number amends that registration",
       {},
       {}});
  return rows;
}

std::vector<CodedValue> results() {
  std::vector<CodedValue> rows;
  rows.push_back(
      {{"`State`(cliAuditingSeek)", "`State` (cliAuditingSeek)"},
       {"中心对结算单的审核状态,中心自己的文字", "the centre's audit state of a settlement, in its own words"},
       "结算后即“审核通过”,作废后“已作废”",
       "\"审核通过\" (approved) as soon as settled, \"已作废\" (void) once cancelled",
       {{"审核通过", "已作废"}},
       {{"结算单不存在"}}});
  rows.push_back({{"`CheckState`(auditingSeek)", "`CheckState` (auditingSeek)"},
                  {"中心对住院的审核状态,中心自己的文字", "the centre's audit state of a stay, in its own words"},
                  "兑付前“待审核”,兑付后“审核通过”",
                  "\"待审核\" (awaiting audit) until paid, then \"审核通过\" (approved)",
                  {{"待审核", "审核通过"}},
                  {{"住院记录不存在"}}});
  rows.push_back({{"`sign`(isCashRedeem、cliStrikeBalance)", "`sign` (isCashRedeem, cliStrikeBalance)"},
                  {"中心的标志", "the centre's flag"},
                  "isCashRedeem:结账后 `1`,否则 `0`;cliStrikeBalance:冲账成功 `1`",
                  "isCashRedeem: `1` while balanced, else `0`; cliStrikeBalance: `1` when reversed",
                  {},
                  {{"结算单不存在", "该结算单已作废", "该结算单尚未结账"}}});
  rows.push_back({{"`CheckState`(matchSeek)", "`CheckState` (matchSeek)"},
                  {"中心的匹配状态,中心自己的文字", "the centre's match state, in its own words"},
                  "“已匹配”“未匹配”或“已匹配其他农合编码”",
                  "\"已匹配\" (matched), \"未匹配\" (not matched) or \"已匹配其他农合编码\" (matched to another code)",
                  {{"已匹配", "未匹配", "已匹配其他农合编码"}},
                  {}});
  rows.push_back({{"`return`(connectTesting)", "`return` (connectTesting)"},
                  {"中心的应答文字", "the centre's answer, in its own words"},
                  "“连接成功”",
                  "\"连接成功\" (connected)",
                  {{"连接成功"}},
                  {}});
  rows.push_back({{"`accountType`(redeemTypeDown)、`redeemAccounttype`(cliBalance)",
                   "`accountType` (redeemTypeDown), `redeemAccounttype` (cliBalance)"},
                  {"中心的帐户类型", "the centre's account types"},
                  "补偿类型见上;cliBalance 的 redeemAccounttype 总是 `1`",
                  "per reimbursement type, as above; cliBalance's redeemAccounttype is always `1`",
                  {},
                  {}});
  rows.push_back({{"`sexId`(getPersonInfo)、`hospLevel`(getHospitalInfo)",
                   "`sexId` (getPersonInfo), `hospLevel` (getHospitalInfo)"},
                  {"中心的代码", "the centre's codes"},
                  "sexId `1` 男、`2` 女;hospLevel `1`、`2`(见上面的医院)",
                  "sexId `1` male, `2` female; hospLevel `1`, `2` (the hospitals above)",
                  {},
                  {}});
  rows.push_back({{"`grade`、`adminLevel`、`isClinic`、`classNo`(updateLeechdom);`chronicFlag`、`sexLimited`、`state`("
                   "updateDisease)",
                   "`grade`, `adminLevel`, `isClinic`, `classNo` (updateLeechdom); `chronicFlag`, `sexLimited`, "
                   "`state` (updateDisease)"},
                  {"中心目录中的代码", "codes of the centre's catalogues"},
                  "grade 甲类、乙类、丙类;adminLevel `1`-`3`;isClinic `1`、`0`;classNo 见 feeClassCode;chronicFlag "
                  "`1` 慢性病、`0`;sexLimited `0`、`2`;state `1`",
                  "grade 甲类, 乙类, 丙类 (classes A, B, C); adminLevel `1`-`3`; isClinic `1`, `0`; classNo as for "
                  "feeClassCode; chronicFlag `1` chronic, `0`; sexLimited `0`, `2`; state `1`",
                  {},
                  {}});
  return rows;
}

std::string table(const std::vector<CodedValue>& rows, Language language) {
  std::string text = Say{"| 值 | 中心定义什么,从哪里取得 | 模拟中心的值 | 模拟中心的提示(模拟中心自己的) |\n",
                         "| value | what the centre defines, and where to get it | the sandbox's values | the "
                         "sandbox's messages (the sandbox's own) |\n"}
                         .in(language) +
                     "|---|---|---|---|\n";
  for (const CodedValue& row : rows) {
    std::vector<std::string> messages;
    for (const char* message : row.messages.texts) messages.push_back(message);
    text += "| " + row.value.in(language) + " | " + row.centre.in(language) + " | " +
            (language == Language::kChinese ? row.sandboxZh : row.sandboxEn) + " | " +
            (messages.empty() ? "" : Say{"模拟中心:", "sandbox: "}.in(language) + joined(messages, ", ")) + " |\n";
  }
  return text + "\n";
}

}  // namespace

std::string codeTables(Language language) {
  return Say{"## 代码表\n\n"
             "代码由中心定义,不由接口库定义。补偿类型和科室可以用 `redeemTypeDown` 和 `officeCodeDown` 从中心取得"
             "(`nvcall codes` 也会列出);其他代码请向中心索取。“模拟中心”一栏是 tools/sandbox 中模拟中心的值,"
             "只用于开发和测试;模拟中心的提示是它自己的文字,以 600 和 SOAP fault "
             "的文字返回,真实的中心有自己的说法。\n\n"
             "参数:\n\n",
             "## Code tables\n\n"
             "The codes are the centre's, not the library's. Get the reimbursement types and the departments from the "
             "centre with `redeemTypeDown` and `officeCodeDown` (`nvcall codes` lists them too); ask the centre for "
             "the "
             "others. The sandbox columns give the values of the sandbox centre in tools/sandbox, for development and "
             "tests only; the sandbox's messages are its own words, returned as a 600 with the SOAP fault's text, and "
             "a "
             "real centre words its own.\n\n"
             "Arguments:\n\n"}
             .in(language) +
         table(arguments(), language) + Say{"结果的值:\n\n", "Result values:\n\n"}.in(language) +
         table(results(), language);
}

std::vector<std::string> sandboxTextsQuoted() {
  std::vector<std::string> texts;
  for (const std::vector<CodedValue>& rows : {arguments(), results()})
    for (const CodedValue& row : rows) {
      for (const char* text : row.sandboxTexts.texts) texts.push_back(text);
      for (const char* text : row.messages.texts) texts.push_back(text);
    }
  return texts;
}

}  // namespace nvref
