// SPDX-License-Identifier: MIT
// The sandbox centre's business: what each operation does to the store and
// what it answers. Requests come in as records of their decoded members
// (GBK bytes, named as on the wire); answers go out as GBK texts and
// records named as the contract's response records. Refusals throw
// BusinessError. Each call runs inside the caller's transaction.
#ifndef NV_SANDBOX_LEDGER_H
#define NV_SANDBOX_LEDGER_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/sandbox/database.h"
#include "tools/sandbox/record.h"
#include "tools/sandbox/reimbursement.h"

namespace sandbox {

// The kinds of fee lines; one numbering serves both.
inline const char* const kClinic = "clinic";
inline const char* const kInpatient = "inpatient";

class Ledger {
 public:
  explicit Ledger(Database& db) : db_(db) {}

  // Members, hospitals and the centre's reference lists.
  std::vector<Record> membersOfBook(const Record& rq);   // getPersonInfo
  std::vector<Record> hospitalsNamed(const Record& rq);  // getHospitalInfo
  std::vector<Record> redeemTypes(const Record& rq);     // redeemTypeDown
  std::vector<Record> offices(const Record& rq);         // officeCodeDown
  std::string connectionTest();                          // connectTesting

  // Outpatient visits.
  std::string registerClinicVisit(const Record& rq);   // cliRegister -> clinicNo
  std::string addClinicFee(const Record& rq);          // cliDetailInput -> detailId
  std::vector<Record> clinicFees(const Record& rq);    // cliDetailSeek
  void cancelClinicFees(const Record& rq);             // cliCancelFee
  void cancelFeeLine(const Record& rq);                // cliSingleCancleFee (either kind)
  Record calculateClinic(const Record& rq);            // cliCalculate
  std::string latestClinicVisit(const Record& rq);     // cliSeek
  std::string settleClinic(const Record& rq);          // cliSettlement -> settlementNo
  void cancelSettlement(const Record& rq);             // cliCancelSettlement
  std::string settlementAuditState(const Record& rq);  // cliAuditingSeek
  std::string cashFlag(const Record& rq);              // isCashRedeem
  Record balanceClinic(const Record& rq);              // cliBalance
  std::string strikeBalance(const Record& rq);         // cliStrikeBalance

  // Inpatient stays.
  std::string registerStay(const Record& rq);        // inpRegister -> inpatientSn
  std::string addStayFee(const Record& rq);          // inpDetailInput -> detailId
  std::vector<Record> stayFees(const Record& rq);    // inpDetailSeek
  void cancelStayFeeLine(const Record& rq);          // inpSingleCancelFee
  void cancelStayFees(const Record& rq);             // inpCancelFee
  Record calculateStay(const Record& rq);            // calculate
  Record payStay(const Record& rq);                  // inpPay
  std::string stayAuditState(const Record& rq);      // auditingSeek
  void recordRedeemInfo(const Record& rq);           // createRedeemInfo
  std::vector<Record> stayGrades(const Record& rq);  // getInpatientGradeList

  // Catalogues and matching.
  std::vector<Record> diseasesSince(const Record& rq);  // updateDisease
  std::vector<Record> drugsSince(const Record& rq);     // updateLeechdom
  void storeMatch(const Record& rq);                    // matchUpdate
  std::string matchState(const Record& rq);             // matchSeek

 private:
  // Shared checks and lookups; each throws BusinessError when refused.
  int64_t issueNumber(const char* counter);
  void requireCentre(const Record& rq, const char* member);
  void requireHospital(const std::string& hospCode);
  Record requireMember(const std::string& memberNo, const std::string& bookNo);
  Record requireCatalogueItem(const std::string& insureId);
  void requireRedeemType(const std::string& code);
  int64_t requireVisit(const std::string& clinicNo);
  int64_t requireStay(const std::string& inpatientSn);
  std::optional<Record> activeSettlementOf(int64_t clinicNo);
  Record requireSettlement(const std::string& settlementNo);
  bool stayPaid(int64_t inpatientSn);
  // Stores one fee line of a visit or stay after checking its amounts.
  std::string addFeeLine(const char* kind, int64_t visitNo, const Record& line);
  std::vector<FeeLine> feeLinesOf(const char* kind, int64_t visitNo);
  Reimbursement reimburseStay(int64_t inpatientSn);
  // The figures calculate and inpPay share; earlier* are the member's
  // other paid stays.
  Record stayFigures(const Reimbursement& reimbursement, Cents earlierRedeem, int64_t earlierCount);

  Database& db_;
};

}  // namespace sandbox

#endif
