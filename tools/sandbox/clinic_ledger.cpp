// SPDX-License-Identifier: MIT
// Outpatient visits: registration, fee lines, calculation, settlement,
// audit state, cash flag, balance and its reversal.
#include <cstdint>

#include "tools/sandbox/business_error.h"
#include "tools/common/gbk_text.h"
#include "tools/sandbox/ledger.h"

namespace sandbox {

using nvtools::gbk;
namespace {

// The registration as stored: every member of the request but the number.
const char* const kVisitColumns[] = {
    "regType",    "centerNo",   "hisClinicNo",  "familyNo", "memberNo", "countryNo", "memberName", "sexCode",
    "idCard",     "age",        "bookNo",       "cardNo",   "hosNo",    "hosLevel",  "firstIcdNo", "secondIcdNo",
    "inOfficeNo", "clinicDate", "clinicDoctor", "cureCode", "inHosId",  "operator",  "turnLevel",  "turnHosNo"};

// part of amount in the proportion share/whole, to the cent. Exact while
// amount * share fits 64 bits (amounts to tens of millions of yuan); beyond,
// as near as a long double gets: no 128-bit integers on 32-bit Windows.
Cents proportion(Cents amount, Cents share, Cents whole) {
  if (whole <= 0) return 0;
  Cents scaled = 0;
  if (!__builtin_mul_overflow(amount, share, &scaled) && scaled <= INT64_MAX - whole / 2)
    return (scaled + whole / 2) / whole;
  return static_cast<Cents>(static_cast<long double>(amount) * share / whole + 0.5L);
}

}  // namespace

std::string Ledger::registerClinicVisit(const Record& rq) {
  requireCentre(rq, "centerNo");
  requireHospital(rq["hosNo"]);
  requireMember(rq["memberNo"], rq["bookNo"]);
  Columns values;
  for (const char* name : kVisitColumns) values.emplace_back(name, rq[name]);

  // A visit number that is given names the registration to amend.
  if (!rq["clinicNo"].empty()) {
    int64_t clinicNo = requireVisit(rq["clinicNo"]);
    if (activeSettlementOf(clinicNo)) throw BusinessError("该就诊已结算，不能修改登记");
    db_.update("clinicVisits", values, "clinicNo", clinicNo);
    return std::to_string(clinicNo);
  }
  int64_t clinicNo = issueNumber("clinicNo");
  values.emplace_back("clinicNo", clinicNo);
  db_.insert("clinicVisits", values);
  return std::to_string(clinicNo);
}

std::string Ledger::addClinicFee(const Record& rq) {
  int64_t clinicNo = requireVisit(rq["no"]);
  if (activeSettlementOf(clinicNo)) throw BusinessError("该就诊已结算，不能上传费用");
  Record line{{"rxNo", rq["clinicRxNo"]},
              {"detailId", rq["detailNo"]},
              {"hisCode", rq["hisLeechdomCode"]},
              {"insureId", rq["code"]}};
  for (const char* name : {"classId", "name", "spec", "unit", "conf", "price", "quantity", "money", "factMoney",
                           "useDate", "enableRatio", "enableMoney"})
    line.set(name, rq[name]);
  return addFeeLine(kClinic, clinicNo, line);
}

std::vector<Record> Ledger::clinicFees(const Record& rq) {
  int64_t clinicNo = requireVisit(rq["clinicNo"]);
  std::vector<Record> rows = db_.rows(
      "SELECT d.detailId, d.visitNo AS clinicNo, d.rxNo AS clinicRxno, d.insureId, d.name, d.spec, d.unit, "
      "d.conf, d.price, d.quantity, d.useDate, d.factMoney, c.ratio AS enableRation, c.classNo, d.money, "
      "d.factCents, c.percent FROM feeDetails d JOIN catalogue c ON c.insureId = d.insureId "
      "WHERE d.kind = ? AND d.visitNo = ? ORDER BY d.detailId",
      {kClinic, clinicNo});
  // The reimbursable amount is the centre's, from the catalogue ratio.
  for (Record& row : rows)
    row.set("enableMoney", formatMoney(eligibleMoney({std::stoll(row["factCents"]), std::stoi(row["percent"]), ""})));
  return rows;
}

void Ledger::cancelClinicFees(const Record& rq) {
  int64_t clinicNo = requireVisit(rq["clinicNo"]);
  if (activeSettlementOf(clinicNo)) throw BusinessError("该就诊已结算，不能取消费用");
  db_.run("DELETE FROM feeDetails WHERE kind = ? AND visitNo = ?", {kClinic, clinicNo});
}

void Ledger::cancelFeeLine(const Record& rq) {
  std::optional<int64_t> detailId = parseKey(rq["detailNo"]);
  std::optional<Record> line;
  if (detailId) line = db_.row("SELECT kind, visitNo FROM feeDetails WHERE detailId = ?", {*detailId});
  if (!line) throw BusinessError("费用明细不存在");
  int64_t visitNo = std::stoll((*line)["visitNo"]);
  if ((*line)["kind"] == kClinic && activeSettlementOf(visitNo)) throw BusinessError("该就诊已结算，不能取消费用");
  if ((*line)["kind"] == kInpatient && stayPaid(visitNo)) throw BusinessError("该住院已兑付，不能取消费用");
  db_.run("DELETE FROM feeDetails WHERE detailId = ?", {*detailId});
}

Record Ledger::calculateClinic(const Record& rq) {
  int64_t clinicNo = requireVisit(rq["clinicNo"]);
  std::vector<FeeLine> lines = feeLinesOf(kClinic, clinicNo);
  Reimbursement r = reimburse(outpatientRule(), lines);
  size_t reimbursable = 0;
  for (const FeeLine& line : lines) reimbursable += line.percent > 0;

  Record visit = *db_.row("SELECT memberNo FROM clinicVisits WHERE clinicNo = ?", {clinicNo});
  std::optional<Record> family = db_.row(
      "SELECT f.accountCents FROM members m JOIN families f ON f.familySysno = m.familySysno WHERE m.memberNO = ?",
      {visit["memberNo"]});
  // The member's earlier outpatient reimbursements, this visit not counted.
  Record earlier = *db_.row(
      "SELECT count(*) AS n, coalesce(sum(s.redeemCents), 0) AS cents FROM settlements s "
      "JOIN clinicVisits v ON v.clinicNo = s.clinicNo WHERE v.memberNo = ? AND s.cancelled = 0 AND s.clinicNo <> ?",
      {visit["memberNo"], clinicNo});
  return {
      {"totalMoney", formatMoney(r.total)},
      {"enableTotal", formatMoney(r.eligible)},
      {"checkMoney", formatMoney(r.totalOf(fee_class::kExamination))},
      {"familyAccountMoney", formatMoney(family ? std::stoll((*family)["accountCents"]) : 0)},
      {"doorRedeemNumber", std::to_string(reimbursable)},
      {"doorRedeemMoney", formatMoney(r.redeem)},
      {"memberRedeemNumber", earlier["n"]},
      {"memberRedeemMoney", formatMoney(std::stoll(earlier["cents"]))},
  };
}

std::string Ledger::latestClinicVisit(const Record& rq) {
  if (!db_.row("SELECT 1 FROM members WHERE memberNO = ?", {rq["memberNo"]})) throw BusinessError("参合人员不存在");
  Record latest = *db_.row("SELECT max(clinicNo) AS clinicNo FROM clinicVisits WHERE memberNo = ?", {rq["memberNo"]});
  if (latest["clinicNo"].empty()) throw BusinessError("该成员没有门诊就诊记录");
  return latest["clinicNo"];
}

std::string Ledger::settleClinic(const Record& rq) {
  int64_t clinicNo = requireVisit(rq["clinicNo"]);
  if (activeSettlementOf(clinicNo)) throw BusinessError("该就诊已结算，不能重复结算");
  std::vector<FeeLine> lines = feeLinesOf(kClinic, clinicNo);
  if (lines.empty()) throw BusinessError("该就诊没有费用明细，不能结算");
  Reimbursement r = reimburse(outpatientRule(), lines);
  int64_t settlementNo = issueNumber("settlementNo");
  db_.insert("settlements", {{"settlementNo", settlementNo},
                             {"clinicNo", clinicNo},
                             {"userNo", rq["userNo"]},
                             {"totalCents", r.total},
                             {"eligibleCents", r.eligible},
                             {"redeemCents", r.redeem}});
  return std::to_string(settlementNo);
}

void Ledger::cancelSettlement(const Record& rq) {
  Record settlement = requireSettlement(rq["settlementNo"]);
  if (settlement["cancelled"] == "1") throw BusinessError("该结算单已作废");
  if (settlement["balanced"] == "1") throw BusinessError("该结算单已结账，请先冲账");
  db_.run("UPDATE settlements SET cancelled = 1 WHERE settlementNo = ?", {std::stoll(settlement["settlementNo"])});
}

std::string Ledger::settlementAuditState(const Record& rq) {
  // The sandbox approves every settlement at once.
  Record settlement = requireSettlement(rq["settlementNo"]);
  return gbk(settlement["cancelled"] == "1" ? "已作废" : "审核通过");
}

std::string Ledger::cashFlag(const Record& rq) {
  // Paid out in cash at the hospital's counter once balanced.
  Record settlement = requireSettlement(rq["settlementNo"]);
  return settlement["cancelled"] == "0" && settlement["balanced"] == "1" ? "1" : "0";
}

Record Ledger::balanceClinic(const Record& rq) {
  // The key of a balance is the visit number, sent as settlementNo.
  int64_t clinicNo = requireVisit(rq["settlementNo"]);
  std::optional<Record> settlement = activeSettlementOf(clinicNo);
  if (!settlement) throw BusinessError("该就诊尚未结算");
  if ((*settlement)["balanced"] == "1") throw BusinessError("该就诊已结账");
  std::optional<Cents> fromAccount = parseMoney(rq["familyAccountGeld"]);
  if (!fromAccount || *fromAccount < 0) throw BusinessError("家庭帐户支付金额无效");

  Cents total = std::stoll((*settlement)["totalCents"]);
  Cents redeem = std::stoll((*settlement)["redeemCents"]);
  if (*fromAccount > total - redeem) throw BusinessError("家庭帐户支付金额超过个人自付金额");
  Record visit = *db_.row("SELECT memberNo, hosNo FROM clinicVisits WHERE clinicNo = ?", {clinicNo});
  std::optional<Record> family = db_.row(
      "SELECT f.familySysno, f.accountCents FROM members m JOIN families f ON f.familySysno = m.familySysno "
      "WHERE m.memberNO = ?",
      {visit["memberNo"]});
  if (*fromAccount > 0 && (!family || std::stoll((*family)["accountCents"]) < *fromAccount))
    throw BusinessError("家庭帐户余额不足");
  if (family)
    db_.run("UPDATE families SET accountCents = accountCents - ? WHERE familySysno = ?",
            {*fromAccount, (*family)["familySysno"]});
  int64_t settlementNo = std::stoll((*settlement)["settlementNo"]);
  db_.run("UPDATE settlements SET balanced = 1, familyAccountCents = ?, balanceUserNo = ? WHERE settlementNo = ?",
          {*fromAccount, rq["userNo"], settlementNo});

  // The figures by fee class come from the lines, frozen since settlement.
  Reimbursement r = reimburse(outpatientRule(), feeLinesOf(kClinic, clinicNo));
  Cents medicineEligible = r.eligibleOf(fee_class::kWesternMedicine) + r.eligibleOf(fee_class::kChineseMedicine);
  return {
      {"totalCosts", formatMoney(total)},
      {"medicineChineseCosts", formatMoney(r.totalOf(fee_class::kChineseMedicine))},
      {"medicineWesternCosts", formatMoney(r.totalOf(fee_class::kWesternMedicine))},
      {"checkCosts", formatMoney(r.totalOf(fee_class::kExamination))},
      {"cureCosts", formatMoney(r.totalOf(fee_class::kTreatment))},
      {"enableMedicineSum", formatMoney(medicineEligible)},
      {"enableSum", formatMoney(r.eligible)},
      {"checkRedeem", formatMoney(proportion(redeem, r.eligibleOf(fee_class::kExamination), r.eligible))},
      {"redeemAccounttype", "1"},
      {"redeemId", std::to_string(settlementNo)},
      {"redeemOrgno", visit["hosNo"]},
      {"redeemMoney", formatMoney(redeem)},
  };
}

std::string Ledger::strikeBalance(const Record& rq) {
  Record settlement = requireSettlement(rq["settlementNo"]);
  if (settlement["cancelled"] == "1") throw BusinessError("该结算单已作废");
  if (settlement["balanced"] != "1") throw BusinessError("该结算单尚未结账");
  int64_t settlementNo = std::stoll(settlement["settlementNo"]);
  Record visit = *db_.row("SELECT memberNo FROM clinicVisits WHERE clinicNo = ?", {std::stoll(settlement["clinicNo"])});
  // What the family account paid goes back to it.
  db_.run(
      "UPDATE families SET accountCents = accountCents + ? "
      "WHERE familySysno = (SELECT familySysno FROM members WHERE memberNO = ?)",
      {std::stoll(settlement["familyAccountCents"]), visit["memberNo"]});
  db_.run("UPDATE settlements SET balanced = 0, familyAccountCents = 0 WHERE settlementNo = ?", {settlementNo});
  return "1";
}

}  // namespace sandbox
