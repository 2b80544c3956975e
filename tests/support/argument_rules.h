// SPDX-License-Identifier: MIT
// Calls of an export on positional text arguments, and the rows of cases
// that break one argument at a time, made from the export's check table as
// the HIS documentation states it.
#ifndef NV_TESTS_SUPPORT_ARGUMENT_RULES_H
#define NV_TESTS_SUPPORT_ARGUMENT_RULES_H

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/export_cases.h"

namespace nvtest {

// Positional text arguments of one export call, argument n at index n - 1.
using Args = std::vector<std::string>;
using ArgsCall = std::function<char*(const Args&)>;

// An argument value that stands for a null pointer.
extern const std::string kNullArgument;
// The pointer an export receives for one argument value.
const char* cText(const std::string& value);

// A call of fn on a copy of args, for a case table.
std::function<char*()> calling(const ArgsCall& fn, Args args);
// args with argument `number` (from 1) replaced.
Args with(Args args, int number, std::string value);
// args with each (number, value) replaced.
Args with(Args args, const std::vector<std::pair<int, std::string>>& changes);

// One line of an export's check table (labels in UTF-8).
struct ArgumentRule {
  int argument;
  std::string label;
  std::string kind;  // "string", "number" or "date"
  int maxLength;     // none for dates
  bool mayBeEmpty;
};

// These rules followed by those of the fee item's arguments 5 to 19, which
// the outpatient and the inpatient detail uploads check alike.
std::vector<ArgumentRule> withFeeItemRules(std::vector<ArgumentRule> leading);

// For each rule, with every other argument valid: an empty value when the
// argument is required, a value one byte over its limit (strings and
// numbers), a number with a letter, a date without leading zeros. Each must
// fail with the label and its reason under checkFailureCode, unsent.
std::vector<ExportCase> brokenArgumentCases(const std::string& functionId, const std::string& checkFailureCode,
                                            const std::vector<ArgumentRule>& rules, const Args& valid,
                                            const ArgsCall& call);

// args with every argument named by a rule at its limit: strings and
// numbers of exactly maxLength bytes, dates left as they are.
Args atTheirLimits(Args args, const std::vector<ArgumentRule>& rules);

}  // namespace nvtest

#endif
