// SPDX-License-Identifier: MIT
// Tests against the sandbox centre: each test starts nv_sandbox with a fresh
// database and points NvConfiguration.ini at it, then calls the library's
// exports as a HIS does. The seed data and the documented reimbursement
// rule fix every number the sandbox answers, so results are exact.
#ifndef NV_TESTS_SANDBOX_SANDBOX_FIXTURE_H
#define NV_TESTS_SANDBOX_SANDBOX_FIXTURE_H

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/session_seams.h"
#include "tests/sandbox/sandbox_process.h"
#include "tests/support/gbk.h"
#include "tests/support/result_text.h"
#include "tests/support/scratch_dir.h"

namespace nvtest {

inline constexpr const char* kCentre = "341122";
inline constexpr const char* kHospital = "341122001";
inline constexpr const char* kDay = "2024-06-03";

// A fee item as the HIS uploads it (texts in UTF-8).
struct FeeItem {
  const char* hisCode;
  const char* insureCode;
  const char* feeClass;
  const char* name;
  const char* spec;
  const char* unit;
  const char* conf;
  const char* price;
  const char* quantity;
  const char* amount;  // money and factMoney
};

// Outpatient fees of the walkthrough: 25.00 + 20.00 + 15.00, reimbursable
// 25.00 + 18.00 + 15.00 = 58.00.
extern const FeeItem kAmoxicillin, kBloodTest, kBanlangen;
// Inpatient details: 1200.00 + 73.60 + 40.00 + 60.00 + 300.00 = 1673.60,
// reimbursable 1200.00 + 58.88 + 40.00 + 54.00 + 0.00 = 1352.88.
extern const FeeItem kAppendectomy, kCefixime, kInfusion, kChestXray, kImportedNutrition;

// One step of a walkthrough: the call and the exact result it must return.
struct Step {
  std::string name;
  std::function<char*()> call;
  std::string expected;
};

// Public, so the case tables of a test can reach it through a reference.
class SandboxTest : public ::testing::Test {
 public:
  SandboxTest();

  // A fresh sandbox (new database) in place of the running one.
  void restartFresh();
  void runSteps(const std::vector<Step>& steps);

  // The walkthrough's calls (each returns the library's result).
  static char* registerZhangSan(const char* memberNo = "34112200012301", const char* bookNo = "341122000123");
  static char* uploadClinicFee(const char* clinicNo, const FeeItem& item);
  static char* registerWangJianguo();
  static char* uploadStayDetail(const char* inpatientSn, const FeeItem& item);

  // States of the walkthrough, reached through the exports; each step must
  // succeed. Visit 10000001 (fees 40000001-3), settlement 20000001; stay
  // 30000001 (details 40000001-5).
  void visitWithFees();
  void settledVisit();
  void balancedVisit();
  void openStay();
  void paidStay();

  ScratchDir dir;
  std::unique_ptr<SandboxProcess> sandbox;
  int generation = 0;
  nvtest::ScopedSessionLimits timeouts{nvtest::scaledLimits(std::chrono::seconds(20), 10, 20)};
};

// Expected documents.
std::string textDoc(const std::string& functionId, const std::string& colname, const std::string& value);
std::string noRowsDoc(const std::string& functionId);

// Takes a result and checks its out_code is "000".
void expectSuccess(char* result);

}  // namespace nvtest

#endif
