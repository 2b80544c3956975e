// SPDX-License-Identifier: MIT
// The sandbox centre's reimbursement rule (tools/sandbox/README.md):
// each fee line counts with the catalogue ratio of its item; of the
// reimbursable sum, the deductible is borne by the member, the rest is
// reimbursed grade by grade at the grade's ratio, and the total is capped.
#ifndef NV_SANDBOX_REIMBURSEMENT_H
#define NV_SANDBOX_REIMBURSEMENT_H

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tools/sandbox/money.h"

namespace sandbox {

// One band of the reimbursable sum: from `from` up to `to` (none: no upper
// bound), reimbursed at `percent`.
struct Grade {
  Cents from;
  std::optional<Cents> to;
  int percent;
};

struct ReimbursementRule {
  Cents deductible;
  std::vector<Grade> grades;  // consecutive, the first starting at the deductible
  Cents cap;                  // of one visit or one stay
};

const ReimbursementRule& outpatientRule();
const ReimbursementRule& inpatientRule();

// One uploaded fee line: what was charged, the catalogue ratio of its item,
// and the catalogue's fee class.
struct FeeLine {
  Cents factMoney;
  int percent;
  std::string classNo;
};

// A grade as applied to one visit or stay; the deductible shows as a grade
// of ratio 0.
struct AppliedGrade {
  Grade grade;
  Cents redeem;
};

struct Reimbursement {
  Cents total = 0;       // all fees charged
  Cents eligible = 0;    // the reimbursable part of them
  Cents deductible = 0;  // the rule's deductible
  std::vector<AppliedGrade> grades;
  Cents redeem = 0;  // the reimbursement: the grades' sum, capped
  std::map<std::string, Cents> totalByClass;
  std::map<std::string, Cents> eligibleByClass;

  Cents totalOf(const std::string& classNo) const;
  Cents eligibleOf(const std::string& classNo) const;
};

// The reimbursable part of one line: its amount at the catalogue ratio.
Cents eligibleMoney(const FeeLine& line);

Reimbursement reimburse(const ReimbursementRule& rule, const std::vector<FeeLine>& lines);

// The fee classes of the catalogue.
namespace fee_class {
inline const char* const kWesternMedicine = "01";
inline const char* const kChineseMedicine = "02";
inline const char* const kExamination = "03";
inline const char* const kTreatment = "04";
inline const char* const kMaterial = "05";
}  // namespace fee_class

}  // namespace sandbox

#endif
