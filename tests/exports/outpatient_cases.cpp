#include "tests/exports/outpatient_cases.h"

namespace nvtest {

const std::string kNullArgument = std::string("\0null", 5);

const char* cText(const std::string& value) { return value == kNullArgument ? nullptr : value.c_str(); }

ArgsCall byArgs(TwoTextExport fn) {
  return [fn](const Args& a) { return fn(cText(a.at(0)), cText(a.at(1))); };
}

ArgsCall byArgs(ThreeTextExport fn) {
  return [fn](const Args& a) { return fn(cText(a.at(0)), cText(a.at(1)), cText(a.at(2))); };
}

std::function<char*()> calling(const ArgsCall& fn, Args args) {
  return [fn, args = std::move(args)] { return fn(args); };
}

Args with(Args args, int number, std::string value) {
  args.at(static_cast<size_t>(number - 1)) = std::move(value);
  return args;
}

std::string recordXml(const std::string& tag, const Fields& fields) {
  std::string xml = "<" + tag + ">";
  for (const auto& [member, value] : fields) xml += "<" + member + ">" + base64Encode(value) + "</" + member + ">";
  return xml + "</" + tag + ">";
}

std::string returnText(const std::string& plain) { return "<return>" + base64Encode(plain) + "</return>"; }

Row rowOf(const ColumnNames& columns, const std::vector<std::string>& values) {
  Row row;
  for (size_t i = 0; i < columns.size(); ++i)
    row.push_back({columns[i].first, columns[i].second, i < values.size() ? values[i] : std::string()});
  return row;
}

Row emptyRowOf(const ColumnNames& columns) { return rowOf(columns, {}); }

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
