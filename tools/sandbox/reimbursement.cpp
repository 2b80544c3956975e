// SPDX-License-Identifier: MIT
#include "tools/sandbox/reimbursement.h"

#include <algorithm>

namespace sandbox {

const ReimbursementRule& outpatientRule() {
  static const ReimbursementRule kRule{
      1000,
      {{1000, 20000, 50}, {20000, std::nullopt, 40}},
      10000,
  };
  return kRule;
}

const ReimbursementRule& inpatientRule() {
  static const ReimbursementRule kRule{
      30000,
      {{30000, 500000, 60}, {500000, 2000000, 70}, {2000000, std::nullopt, 80}},
      8000000,
  };
  return kRule;
}

Cents Reimbursement::totalOf(const std::string& classNo) const {
  auto found = totalByClass.find(classNo);
  return found == totalByClass.end() ? 0 : found->second;
}

Cents Reimbursement::eligibleOf(const std::string& classNo) const {
  auto found = eligibleByClass.find(classNo);
  return found == eligibleByClass.end() ? 0 : found->second;
}

Cents eligibleMoney(const FeeLine& line) { return percentOf(line.factMoney, line.percent); }

Reimbursement reimburse(const ReimbursementRule& rule, const std::vector<FeeLine>& lines) {
  Reimbursement result;
  result.deductible = rule.deductible;
  for (const FeeLine& line : lines) {
    Cents eligible = eligibleMoney(line);
    result.total = addCents(result.total, line.factMoney);
    result.eligible = addCents(result.eligible, eligible);
    result.totalByClass[line.classNo] = addCents(result.totalByClass[line.classNo], line.factMoney);
    result.eligibleByClass[line.classNo] = addCents(result.eligibleByClass[line.classNo], eligible);
  }

  // The part of the reimbursable sum that falls into [from, to).
  auto within = [&](Cents from, std::optional<Cents> to) {
    Cents top = to ? std::min(result.eligible, *to) : result.eligible;
    return std::max<Cents>(0, top - from);
  };
  result.grades.push_back({{0, rule.deductible, 0}, 0});
  Cents sum = 0;
  for (const Grade& grade : rule.grades) {
    Cents redeem = percentOf(within(grade.from, grade.to), grade.percent);
    result.grades.push_back({grade, redeem});
    sum = addCents(sum, redeem);
  }
  result.redeem = std::min(sum, rule.cap);
  return result;
}

}  // namespace sandbox
