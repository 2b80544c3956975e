// SPDX-License-Identifier: MIT
#include "tests/support/argument_rules.h"

#include <iterator>

namespace nvtest {

const std::string kNullArgument = std::string("\0null", 5);

const char* cText(const std::string& value) { return value == kNullArgument ? nullptr : value.c_str(); }

std::function<char*()> calling(const ArgsCall& fn, Args args) {
  return [fn, args = std::move(args)] { return fn(args); };
}

Args with(Args args, int number, std::string value) {
  args.at(static_cast<size_t>(number - 1)) = std::move(value);
  return args;
}

Args with(Args args, const std::vector<std::pair<int, std::string>>& changes) {
  for (const auto& [number, value] : changes) args = with(std::move(args), number, value);
  return args;
}

std::vector<ExportCase> brokenArgumentCases(const std::string& functionId, const std::string& checkFailureCode,
                                            const std::vector<ArgumentRule>& rules, const Args& valid,
                                            const ArgsCall& call) {
  std::vector<ExportCase> cases;
  auto add = [&](const ArgumentRule& rule, const std::string& what, std::string value, const char* reason) {
    cases.push_back({"argument " + std::to_string(rule.argument) + " " + what,
                     calling(call, with(valid, rule.argument, std::move(value))), std::nullopt,
                     failureDoc(functionId, checkFailureCode, rule.label + reason)});
  };
  for (const ArgumentRule& rule : rules) {
    if (!rule.mayBeEmpty) add(rule, "empty", "", "不能为空");
    if (rule.kind == "string") add(rule, "one byte too long", std::string(rule.maxLength + 1, 'x'), "长度超过");
    if (rule.kind == "number") {
      add(rule, "one digit too long", std::string(rule.maxLength + 1, '1'), "长度超过");
      add(rule, "with a letter", "1a", "非数字格式");
    }
    if (rule.kind == "date") add(rule, "without leading zeros", "2024-3-5", "非日期格式:yyyy-MM-dd");
  }
  return cases;
}

Args atTheirLimits(Args args, const std::vector<ArgumentRule>& rules) {
  for (const ArgumentRule& rule : rules) {
    if (rule.kind == "string") args = with(args, rule.argument, std::string(rule.maxLength, 's'));
    if (rule.kind == "number") args = with(args, rule.argument, std::string(rule.maxLength, '9'));
  }
  return args;
}

std::vector<ArgumentRule> withFeeItemRules(std::vector<ArgumentRule> leading) {
  static const ArgumentRule kFeeItemRules[] = {
      {5, "农合明细序号", "number", 18, true},      {6, "HIS药品编码", "string", 40, false},
      {7, "农合药品编码", "string", 40, false},     {8, "农合费用分类代码", "string", 4, false},
      {9, "HIS药品名称", "string", 100, true},      {10, "HIS药品规格", "string", 200, true},
      {11, "HIS药品单位", "string", 100, true},     {12, "HIS药品剂型", "string", 100, true},
      {13, "HIS药品单价", "number", 18, false},     {14, "HIS药品数量", "number", 18, false},
      {15, "金额(=数量*单价)", "number", 18, true}, {16, "实收金额(折扣后的金额)", "number", 18, false},
      {17, "使用日期", "date", 0, false},           {18, "可报比例", "number", 18, true},
      {19, "可报金额", "number", 18, true},
  };
  leading.insert(leading.end(), std::begin(kFeeItemRules), std::end(kFeeItemRules));
  return leading;
}

}  // namespace nvtest
