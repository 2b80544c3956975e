#include "tests/support/argument_rules.h"

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

}  // namespace nvtest
