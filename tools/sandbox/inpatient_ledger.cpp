// SPDX-License-Identifier: MIT
// Inpatient stays: registration, fee lines, calculation, payment, audit
// state and the grades of a stay.
#include "tools/sandbox/business_error.h"
#include "tools/common/gbk_text.h"
#include "tools/sandbox/ledger.h"

namespace sandbox {

using nvtools::gbk;
namespace {

// The registration as stored: every member of the request but the number.
const char* const kStayColumns[] = {
    "opType",         "hosOrgno",        "inpatientNo",     "centerNo",   "memberName", "familySysno",
    "memberSysno",    "countryTeamCode", "sexId",           "idcardNo",   "age",        "bookno",
    "cardNo",         "icdAllNo",        "opsId",           "inOfficeId", "officeDate", "cureId",
    "inHosId",        "cureDoctor",      "bedNo",           "sectionNo",  "leaveDate",  "days",
    "outOfficeId",    "outHosId",        "turnOp",          "turnOrgNo",  "turnDate",   "ticketNo",
    "ministerNotice", "procreateNotice", "operateEmpSysno", "hosLevelId"};

}  // namespace

std::string Ledger::registerStay(const Record& rq) {
  requireCentre(rq, "centerNo");
  requireHospital(rq["hosOrgno"]);
  requireMember(rq["memberSysno"], rq["bookno"]);
  Columns values;
  for (const char* name : kStayColumns) values.emplace_back(name, rq[name]);

  // An inpatient number that is given names the registration to amend
  // (a discharge, a transfer).
  if (!rq["inpatientSn"].empty()) {
    int64_t inpatientSn = requireStay(rq["inpatientSn"]);
    if (stayPaid(inpatientSn)) throw BusinessError("该住院已兑付，不能修改登记");
    db_.update("stays", values, "inpatientSn", inpatientSn);
    return std::to_string(inpatientSn);
  }
  if (db_.row("SELECT 1 FROM stays s WHERE s.memberSysno = ? "
              "AND NOT EXISTS (SELECT 1 FROM payments p WHERE p.inpatientSn = s.inpatientSn)",
              {rq["memberSysno"]}))
    throw BusinessError("该成员已有未结算的住院登记");
  int64_t inpatientSn = issueNumber("inpatientSn");
  values.emplace_back("inpatientSn", inpatientSn);
  db_.insert("stays", values);
  return std::to_string(inpatientSn);
}

std::string Ledger::addStayFee(const Record& rq) {
  requireCentre(rq, "centerNo");
  int64_t inpatientSn = requireStay(rq["inpatientSn"]);
  if (stayPaid(inpatientSn)) throw BusinessError("该住院已兑付，不能上传费用");
  Record line{{"rxNo", rq["inpatientRxno"]}, {"hisCode", rq["hiscode"]}};
  for (const char* name : {"detailId", "insureId", "classId", "name", "spec", "unit", "conf", "price", "quantity",
                           "money", "factMoney", "useDate", "enableRatio", "enableMoney"})
    line.set(name, rq[name]);
  return addFeeLine(kInpatient, inpatientSn, line);
}

std::vector<Record> Ledger::stayFees(const Record& rq) {
  requireCentre(rq, "centerNo");
  int64_t inpatientSn = requireStay(rq["inpatientSn"]);
  std::vector<Record> rows = db_.rows(
      "SELECT d.detailId, d.visitNo AS inpatientSn, d.rxNo AS inpatientRxno, d.insureId, d.name, d.spec, d.unit, "
      "d.conf, d.price, d.quantity, d.useDate, c.everyMoney, c.ratio, c.adminLevel, c.isClinic, c.remark, "
      "c.inputPyCode, c.inputWbCode, c.approveMinPrice, c.approveMaxPrice, c.grade, c.updateTime, d.factMoney, "
      "c.ratio AS enableRation, c.classNo, d.money, d.factCents, c.percent "
      "FROM feeDetails d JOIN catalogue c ON c.insureId = d.insureId "
      "WHERE d.kind = ? AND d.visitNo = ? ORDER BY d.detailId",
      {kInpatient, inpatientSn});
  for (Record& row : rows)
    row.set("enableMoney", formatMoney(eligibleMoney({std::stoll(row["factCents"]), std::stoi(row["percent"]), ""})));
  return rows;
}

void Ledger::cancelStayFeeLine(const Record& rq) {
  requireCentre(rq, "centerNo");
  std::optional<int64_t> detailId = parseKey(rq["detailId"]);
  std::optional<Record> line;
  if (detailId)
    line = db_.row("SELECT visitNo FROM feeDetails WHERE detailId = ? AND kind = ?", {*detailId, kInpatient});
  if (!line) throw BusinessError("费用明细不存在");
  if (stayPaid(std::stoll((*line)["visitNo"]))) throw BusinessError("该住院已兑付，不能取消费用");
  db_.run("DELETE FROM feeDetails WHERE detailId = ?", {*detailId});
}

void Ledger::cancelStayFees(const Record& rq) {
  requireCentre(rq, "centerNo");
  int64_t inpatientSn = requireStay(rq["no"]);
  if (stayPaid(inpatientSn)) throw BusinessError("该住院已兑付，不能取消费用");
  db_.run("DELETE FROM feeDetails WHERE kind = ? AND visitNo = ?", {kInpatient, inpatientSn});
}

Reimbursement Ledger::reimburseStay(int64_t inpatientSn) {
  return reimburse(inpatientRule(), feeLinesOf(kInpatient, inpatientSn));
}

Record Ledger::stayFigures(const Reimbursement& r, Cents earlierRedeem, int64_t earlierCount) {
  return {
      {"totalCosts", formatMoney(r.total)},
      {"enableMoney", formatMoney(r.eligible)},
      {"startMoney", formatMoney(r.deductible)},
      {"totalRedeemMoney", formatMoney(addCents(earlierRedeem, r.redeem))},
      {"totalRedeemCount", std::to_string(earlierCount + 1)},
      {"familyAccountPayMoney", formatMoney(0)},
  };
}

Record Ledger::calculateStay(const Record& rq) {
  requireCentre(rq, "centerNo");
  int64_t inpatientSn = requireStay(rq["inpatientSn"]);
  requireRedeemType(rq["redeemId"]);
  if (!stayPaid(inpatientSn))
    db_.run("UPDATE stays SET redeemId = ? WHERE inpatientSn = ?", {rq["redeemId"], inpatientSn});
  Reimbursement r = reimburseStay(inpatientSn);
  // The member's reimbursements of other, paid stays.
  Record earlier = *db_.row(
      "SELECT count(*) AS n, coalesce(sum(p.redeemCents), 0) AS cents FROM payments p "
      "JOIN stays s ON s.inpatientSn = p.inpatientSn "
      "WHERE s.memberSysno = (SELECT memberSysno FROM stays WHERE inpatientSn = ?) AND p.inpatientSn <> ?",
      {inpatientSn, inpatientSn});
  Record figures = stayFigures(r, std::stoll(earlier["cents"]), std::stoll(earlier["n"]));
  figures.set("factRedeemMoney", formatMoney(r.redeem));
  return figures;
}

Record Ledger::payStay(const Record& rq) {
  requireCentre(rq, "centerNo");
  int64_t inpatientSn = requireStay(rq["no"]);
  if (stayPaid(inpatientSn)) throw BusinessError("该住院已兑付，不能重复兑付");
  requireRedeemType(rq["redeemId"]);
  requireHospital(rq["redeemOrgno"]);
  std::vector<FeeLine> lines = feeLinesOf(kInpatient, inpatientSn);
  if (lines.empty()) throw BusinessError("该住院没有费用明细，不能兑付");
  Reimbursement r = reimburse(inpatientRule(), lines);
  Record earlier = *db_.row(
      "SELECT count(*) AS n, coalesce(sum(p.redeemCents), 0) AS cents FROM payments p "
      "JOIN stays s ON s.inpatientSn = p.inpatientSn "
      "WHERE s.memberSysno = (SELECT memberSysno FROM stays WHERE inpatientSn = ?)",
      {inpatientSn});

  int64_t redeemNo = issueNumber("inpatientRedeemno");
  Columns payment{{"inpatientRedeemno", redeemNo},
                  {"inpatientSn", inpatientSn},
                  {"totalCents", r.total},
                  {"eligibleCents", r.eligible},
                  {"redeemCents", r.redeem}};
  for (const char* name : {"redeemId", "redeemEmpsysno", "redeemDate", "acceptMan", "acceptDate", "redeemOrgno"})
    payment.emplace_back(name, rq[name]);
  db_.insert("payments", payment);
  db_.run("UPDATE stays SET redeemId = ? WHERE inpatientSn = ?", {rq["redeemId"], inpatientSn});

  Record figures = stayFigures(r, std::stoll(earlier["cents"]), std::stoll(earlier["n"]));
  figures.set("redeemMoney", formatMoney(r.redeem));
  figures.set("inpatientRedeemno", std::to_string(redeemNo));
  return figures;
}

std::string Ledger::stayAuditState(const Record& rq) {
  requireCentre(rq, "centerNo");
  // The sandbox approves a stay when it is paid.
  return gbk(stayPaid(requireStay(rq["no"])) ? "审核通过" : "待审核");
}

void Ledger::recordRedeemInfo(const Record& rq) {
  int64_t inpatientSn = requireStay(rq["inpatientSn"]);
  if (stayPaid(inpatientSn)) throw BusinessError("该住院已兑付，不能修改补偿类型");
  requireRedeemType(rq["redeemId"]);
  db_.run("UPDATE stays SET redeemId = ? WHERE inpatientSn = ?", {rq["redeemId"], inpatientSn});
}

std::vector<Record> Ledger::stayGrades(const Record& rq) {
  const std::string& inpatientSn = rq["inpatientSn"];
  Reimbursement r = reimburseStay(requireStay(inpatientSn));
  std::vector<Record> rows;
  for (const AppliedGrade& applied : r.grades)
    rows.push_back({
        {"inpatientSn", inpatientSn},
        {"startMoney", formatMoney(applied.grade.from)},
        // No upper bound: the last grade takes all above its start.
        {"endMoney", applied.grade.to ? formatMoney(*applied.grade.to) : ""},
        {"ratio", formatRatio(applied.grade.percent)},
        {"redeemMoney", formatMoney(applied.redeem)},
    });
  return rows;
}

}  // namespace sandbox
