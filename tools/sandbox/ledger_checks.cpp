// SPDX-License-Identifier: MIT
// The checks and lookups every family of operations shares.
#include "tools/sandbox/business_error.h"
#include "tools/sandbox/ledger.h"

namespace sandbox {

int64_t Ledger::issueNumber(const char* counter) {
  std::optional<Record> next = db_.row("SELECT next FROM counters WHERE name = ?", {counter});
  if (!next) throw DatabaseError(std::string("no counter ") + counter);
  db_.run("UPDATE counters SET next = next + 1 WHERE name = ?", {counter});
  return std::stoll((*next)["next"]);
}

void Ledger::requireCentre(const Record& rq, const char* member) {
  // A request that names no centre is taken to mean this one.
  const std::string& centre = rq[member];
  if (centre.empty()) return;
  if (!db_.row("SELECT 1 FROM centres WHERE centerNo = ?", {centre})) throw BusinessError("农合中心编码不存在");
}

void Ledger::requireHospital(const std::string& hospCode) {
  if (!db_.row("SELECT 1 FROM hospitals WHERE hospCode = ?", {hospCode})) throw BusinessError("医疗机构不存在");
}

Record Ledger::requireMember(const std::string& memberNo, const std::string& bookNo) {
  std::optional<Record> member = db_.row("SELECT * FROM members WHERE memberNO = ?", {memberNo});
  if (!member) throw BusinessError("参合人员不存在");
  if ((*member)["bookNo"] != bookNo) throw BusinessError("医疗证号与个人编号不符");
  return *member;
}

Record Ledger::requireCatalogueItem(const std::string& insureId) {
  std::optional<Record> item = db_.row("SELECT * FROM catalogue WHERE insureId = ?", {insureId});
  if (!item) throw BusinessError("农合编码不存在");
  return *item;
}

void Ledger::requireRedeemType(const std::string& code) {
  if (!db_.row("SELECT 1 FROM redeemTypes WHERE code = ?", {code})) throw BusinessError("补偿类型不存在");
}

int64_t Ledger::requireVisit(const std::string& clinicNo) {
  std::optional<int64_t> key = parseKey(clinicNo);
  if (!key || !db_.row("SELECT 1 FROM clinicVisits WHERE clinicNo = ?", {*key})) throw BusinessError("就诊记录不存在");
  return *key;
}

int64_t Ledger::requireStay(const std::string& inpatientSn) {
  std::optional<int64_t> key = parseKey(inpatientSn);
  if (!key || !db_.row("SELECT 1 FROM stays WHERE inpatientSn = ?", {*key})) throw BusinessError("住院记录不存在");
  return *key;
}

std::optional<Record> Ledger::activeSettlementOf(int64_t clinicNo) {
  return db_.row("SELECT * FROM settlements WHERE clinicNo = ? AND cancelled = 0", {clinicNo});
}

Record Ledger::requireSettlement(const std::string& settlementNo) {
  std::optional<int64_t> key = parseKey(settlementNo);
  std::optional<Record> settlement;
  if (key) settlement = db_.row("SELECT * FROM settlements WHERE settlementNo = ?", {*key});
  if (!settlement) throw BusinessError("结算单不存在");
  return *settlement;
}

bool Ledger::stayPaid(int64_t inpatientSn) {
  return db_.row("SELECT 1 FROM payments WHERE inpatientSn = ?", {inpatientSn}).has_value();
}

std::string Ledger::addFeeLine(const char* kind, int64_t visitNo, const Record& line) {
  Record item = requireCatalogueItem(line["insureId"]);
  if (!parseMoney(line["price"])) throw BusinessError("单价不是有效的金额");
  if (!parseMoney(line["quantity"])) throw BusinessError("数量不是有效的数字");
  if (!line["money"].empty() && !parseMoney(line["money"])) throw BusinessError("金额不是有效的金额");
  std::optional<Cents> fact = parseMoney(line["factMoney"]);
  if (!fact) throw BusinessError("实收金额不是有效的金额");

  Columns values;
  for (const char* name : {"rxNo", "hisCode", "insureId", "classId", "name", "spec", "unit", "conf", "price",
                           "quantity", "money", "factMoney", "useDate", "enableRatio", "enableMoney"})
    values.emplace_back(name, line[name]);
  values.emplace_back("factCents", *fact);

  // A detail number that is given names the line to replace.
  const std::string& given = line["detailId"];
  if (!given.empty()) {
    std::optional<int64_t> detailId = parseKey(given);
    if (!detailId || !db_.row("SELECT 1 FROM feeDetails WHERE detailId = ? AND kind = ? AND visitNo = ?",
                              {*detailId, kind, visitNo}))
      throw BusinessError("费用明细不存在");
    db_.update("feeDetails", values, "detailId", *detailId);
    return given;
  }
  int64_t detailId = issueNumber("detailId");
  values.emplace_back("detailId", detailId);
  values.emplace_back("kind", kind);
  values.emplace_back("visitNo", visitNo);
  db_.insert("feeDetails", values);
  return std::to_string(detailId);
}

std::vector<FeeLine> Ledger::feeLinesOf(const char* kind, int64_t visitNo) {
  std::vector<FeeLine> lines;
  for (const Record& row : db_.rows("SELECT d.factCents, c.percent, c.classNo FROM feeDetails d "
                                    "JOIN catalogue c ON c.insureId = d.insureId "
                                    "WHERE d.kind = ? AND d.visitNo = ? ORDER BY d.detailId",
                                    {kind, visitNo}))
    lines.push_back({std::stoll(row["factCents"]), std::stoi(row["percent"]), row["classNo"]});
  return lines;
}

}  // namespace sandbox
