// SPDX-License-Identifier: MIT
// The sandbox centre's amounts and reimbursement rule, as its README states
// them.
#include <gtest/gtest.h>

#include "tools/sandbox/money.h"
#include "tools/sandbox/reimbursement.h"

namespace sandbox {
namespace {

TEST(SandboxMoney, ParsesAmountsToCents) {
  const std::pair<const char*, std::optional<Cents>> cases[] = {
      {"12", 1200},
      {"12.5", 1250},
      {"12.50", 1250},
      {"-0.35", -35},
      {".5", 50},
      {"7.", 700},
      {"0.005", 1},
      {"0.004", 0},
      {"-0.005", -1},
      {"1.999", 200},
      {"999999999999.99", 99999999999999},
      {"", std::nullopt},
      {"-", std::nullopt},
      {".", std::nullopt},
      {"1.2.3", std::nullopt},
      {"+1", std::nullopt},
      {"1e3", std::nullopt},
      {" 1", std::nullopt},
      {"1 ", std::nullopt},
      {"--1", std::nullopt},
      {"1-", std::nullopt},
      {"1000000000000", std::nullopt},
  };
  for (const auto& [text, cents] : cases) EXPECT_EQ(parseMoney(text), cents) << '"' << text << '"';
}

TEST(SandboxMoney, FormatsCentsAndRatios) {
  EXPECT_EQ(formatMoney(0), "0.00");
  EXPECT_EQ(formatMoney(5), "0.05");
  EXPECT_EQ(formatMoney(-35), "-0.35");
  EXPECT_EQ(formatMoney(123456), "1234.56");
  EXPECT_EQ(formatMoney(INT64_MIN), "-92233720368547758.08");
  EXPECT_EQ(formatRatio(80), "0.80");
  EXPECT_EQ(formatRatio(100), "1.00");
}

TEST(SandboxMoney, PercentagesRoundHalfAwayFromZeroAndSumsNeverOverflow) {
  EXPECT_EQ(percentOf(7360, 80), 5888);
  EXPECT_EQ(percentOf(105288, 60), 63173);  // 631.728
  EXPECT_EQ(percentOf(1, 50), 1);
  EXPECT_EQ(percentOf(-1, 50), -1);
  EXPECT_EQ(percentOf(kMaxCents, 100), kMaxCents);
  EXPECT_EQ(percentOf(-kMaxCents, 100), -kMaxCents);
  EXPECT_EQ(percentOf(12345, 33), 4074);  // 4073.85
  EXPECT_EQ(percentOf(-12345, 33), -4074);
  EXPECT_EQ(percentOf(150, 1), 2);  // 1.5
  EXPECT_EQ(addCents(kMaxCents, kMaxCents), kMaxCents);
  EXPECT_EQ(addCents(-kMaxCents, -1), -kMaxCents);
  EXPECT_EQ(addCents(-5, kMaxCents), kMaxCents - 5);
}

TEST(SandboxMoney, KeysAreDigitsOnly) {
  EXPECT_EQ(parseKey("10000001"), 10000001);
  EXPECT_EQ(parseKey("999999999999999999"), 999999999999999999);
  for (const char* bad : {"", "1x", "-1", " 1", "1000000000000000000"}) EXPECT_EQ(parseKey(bad), std::nullopt) << bad;
}

// (reimbursable sum) -> (reimbursement per grade after the deductible, total).
struct RuleCase {
  std::string name;
  std::vector<FeeLine> lines;
  Cents eligible;
  std::vector<Cents> perGrade;  // the deductible's grade first
  Cents redeem;
};

void expectRule(const ReimbursementRule& rule, const std::vector<RuleCase>& cases) {
  for (const RuleCase& c : cases) {
    SCOPED_TRACE(c.name);
    Reimbursement r = reimburse(rule, c.lines);
    EXPECT_EQ(r.eligible, c.eligible);
    std::vector<Cents> perGrade;
    for (const AppliedGrade& grade : r.grades) perGrade.push_back(grade.redeem);
    EXPECT_EQ(perGrade, c.perGrade);
    EXPECT_EQ(r.redeem, c.redeem);
    EXPECT_EQ(r.deductible, rule.deductible);
  }
}

TEST(SandboxReimbursement, OutpatientDeductibleGradesAndCap) {
  expectRule(outpatientRule(),
             {
                 {"no fees", {}, 0, {0, 0, 0}, 0},
                 {"below the deductible", {{900, 100, "01"}}, 900, {0, 0, 0}, 0},
                 {"the walkthrough's visit",
                  {{2500, 100, "01"}, {2000, 90, "03"}, {1500, 100, "02"}},
                  5800,
                  {0, 2400, 0},
                  2400},
                 {"into the second grade", {{30000, 100, "04"}}, 30000, {0, 9500, 4000}, 10000},
                 {"capped", {{100000, 100, "04"}}, 100000, {0, 9500, 32000}, 10000},
                 {"self-paid items count nothing", {{50000, 0, "01"}}, 0, {0, 0, 0}, 0},
                 {"a refund line lowers the sum", {{5000, 100, "01"}, {-2000, 100, "01"}}, 3000, {0, 1000, 0}, 1000},
                 {"more refunded than charged", {{-5000, 100, "01"}}, -5000, {0, 0, 0}, 0},
             });
}

TEST(SandboxReimbursement, InpatientDeductibleGradesAndCap) {
  expectRule(inpatientRule(),
             {
                 {"the walkthrough's stay",
                  {{120000, 100, "04"}, {7360, 80, "01"}, {4000, 100, "04"}, {6000, 90, "03"}, {30000, 0, "01"}},
                  135288,
                  {0, 63173, 0, 0},
                  63173},
                 {"through all grades", {{3000000, 100, "04"}}, 3000000, {0, 282000, 1050000, 800000}, 2132000},
                 {"capped", {{20000000, 100, "04"}}, 20000000, {0, 282000, 1050000, 14400000}, 8000000},
             });
}

TEST(SandboxReimbursement, SumsByFeeClass) {
  Reimbursement r =
      reimburse(outpatientRule(), {{2500, 100, "01"}, {2000, 90, "03"}, {1500, 100, "02"}, {500, 100, "01"}});
  EXPECT_EQ(r.total, 6500);
  EXPECT_EQ(r.totalOf(fee_class::kWesternMedicine), 3000);
  EXPECT_EQ(r.eligibleOf(fee_class::kExamination), 1800);
  EXPECT_EQ(r.totalOf(fee_class::kTreatment), 0);
}

}  // namespace
}  // namespace sandbox
