// Helpers shared by the outpatient export tests: records as the centre
// writes them, rows as the HIS must read them, and the rows of cases that
// break one argument at a time.
#ifndef NV_TESTS_EXPORTS_OUTPATIENT_CASES_H
#define NV_TESTS_EXPORTS_OUTPATIENT_CASES_H

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "NvInterFace.h"
#include "tests/support/export_cases.h"

namespace nvtest {

// Positional text arguments of one export call.
using Args = std::vector<std::string>;
using ArgsCall = std::function<char*(const Args&)>;

// An argument value that stands for a null pointer.
extern const std::string kNullArgument;
// The pointer an export receives for one argument value.
const char* cText(const std::string& value);

// The exports of two and of three texts, called on Args.
using TwoTextExport = char*(NV_CALL*)(NvText, NvText);
using ThreeTextExport = char*(NV_CALL*)(NvText, NvText, NvText);
ArgsCall byArgs(TwoTextExport fn);
ArgsCall byArgs(ThreeTextExport fn);

// A call of fn on a copy of args, for a case table.
std::function<char*()> calling(const ArgsCall& fn, Args args);
// args with argument `number` (from 1) replaced.
Args with(Args args, int number, std::string value);

// (member, plain value): written base64, as the centre sends every text.
using Fields = std::vector<std::pair<std::string, std::string>>;
// <tag><member>base64</member>...</tag>
std::string recordXml(const std::string& tag, const Fields& fields);
// The response member `return` holding one text, base64.
std::string returnText(const std::string& plain);

// A row whose columns are (colnum, name) in writing order with these values.
using ColumnNames = std::vector<std::pair<int, std::string>>;
Row rowOf(const ColumnNames& columns, const std::vector<std::string>& values);
// The same columns, every value empty.
Row emptyRowOf(const ColumnNames& columns);

// One line of an export's check table, written as the HIS documentation
// states it (labels in UTF-8).
struct ArgumentRule {
  int argument;
  std::string label;
  std::string kind;  // "string", "number" or "date"
  int maxLength;
  bool mayBeEmpty;
};

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
