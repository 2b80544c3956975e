// SPDX-License-Identifier: MIT
#include "tools/export_files/reference_text.h"

#include <algorithm>
#include <set>

#include "tools/common/gbk_text.h"

namespace nvref {
namespace {

using nv::ExportFacts;
using nv::ExportKind;

// The reference's own words: {Chinese, English}.
struct Say {
  const char* zh;
  const char* en;
  std::string in(Language language) const { return language == Language::kChinese ? zh : en; }
};

// A text of the sheets (GBK) for the document (UTF-8).
std::string utf8(const char* gbk) { return nvtools::gbkToUtf8ForDisplay(gbk); }
std::string said(const nv::Words& words, Language language) {
  return utf8(language == Language::kChinese ? words.zh : words.en);
}
std::string code(const std::string& text) { return "`" + text + "`"; }
// A text inside a table cell: its own "|" must not end the cell.
std::string cell(const std::string& text) {
  std::string escaped;
  for (char c : text) escaped += c == '|' ? std::string("\\|") : std::string(1, c);
  return escaped;
}

std::string kindName(nv::CheckKind kind, Language language) {
  switch (kind) {
    case nv::CheckKind::String: return Say{"文本", "string"}.in(language);
    case nv::CheckKind::Number: return Say{"数字", "number"}.in(language);
    case nv::CheckKind::Date: return Say{"日期 yyyy-MM-dd", "date yyyy-MM-dd"}.in(language);
    case nv::CheckKind::DateTime:
      return Say{"日期时间 yyyy-MM-dd HH:mm:ss", "date and time yyyy-MM-dd HH:mm:ss"}.in(language);
  }
  return "";
}

bool measuresLength(nv::CheckKind kind) { return kind == nv::CheckKind::String || kind == nv::CheckKind::Number; }

std::string joined(const std::vector<std::string>& parts, const std::string& between) {
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : between) + part;
  return text;
}

std::vector<std::string> parameterNames(const ExportFacts& facts) {
  return {facts.parameters.begin(), facts.parameters.end()};
}

std::string signature(const ExportFacts& facts) {
  return code(std::string(facts.name) + "(" + joined(parameterNames(facts), ", ") + ")");
}

const char* ordinalSuffix(size_t n) {
  if (n % 100 >= 11 && n % 100 <= 13) return "th";
  return n % 10 == 1 ? "st" : n % 10 == 2 ? "nd" : n % 10 == 3 ? "rd" : "th";
}

std::string effectText(const ExportFacts& facts, Language language) {
  return facts.effect == nv::kChangesState ? Say{"改变中心的数据", "changes data at the centre"}.in(language)
                                           : Say{"只读", "only reads"}.in(language);
}

// Position (from 1) of each argument's check in the order they run; 0 when
// the argument is not checked.
int checkPosition(const ExportFacts& facts, int argument) {
  for (size_t i = 0; i < facts.checks.size(); ++i)
    if (facts.checks[i].argument == argument) return static_cast<int>(i) + 1;
  return 0;
}

std::string argumentTable(const ExportFacts& facts, Language language) {
  std::vector<std::string> names = parameterNames(facts);
  if (names.empty()) return Say{"没有参数。\n\n", "No arguments.\n\n"}.in(language);
  std::string text =
      Say{"| # | 参数 | 含义 | 检查提示的名称 | 类型 | 最多字节 | 可为空 | 检查次序 |\n",
          "| # | argument | meaning | label in check messages | kind | bytes at most | may be empty | checked |\n"}
          .in(language) +
      "|---|---|---|---|---|---|---|---|\n";
  const std::string yes = Say{"是", "yes"}.in(language), no = Say{"否", "no"}.in(language);
  for (size_t i = 0; i < names.size(); ++i) {
    int argument = static_cast<int>(i) + 1;
    std::string meaning = i < facts.meanings.size() ? cell(said(facts.meanings[i], language)) : "";
    text += "| " + std::to_string(argument) + " | " + code(names[i]) + " | " + meaning + " | ";
    int position = checkPosition(facts, argument);
    if (position == 0) {
      text += "| " + Say{"不检查", "not checked"}.in(language) + " | | | |\n";
      continue;
    }
    const nv::Check& check = facts.checks[static_cast<size_t>(position) - 1];
    text += cell(utf8(check.label)) + " | " + kindName(check.kind, language) + " | " +
            (measuresLength(check.kind) ? std::to_string(check.maxLength) : "") + " | " +
            (check.mayBeEmpty ? yes : no) + " | " + std::to_string(position) + " |\n";
  }
  return text + "\n";
}

std::string requestText(const ExportFacts& facts, Language language) {
  std::vector<std::string> fromArguments, fromConfiguration;
  std::vector<std::string> names = parameterNames(facts);
  for (const nv::RequestFact& member : facts.request) {
    if (member.argument > 0)
      fromArguments.push_back(code(member.member) + " ← " + code(names.at(static_cast<size_t>(member.argument) - 1)));
    else
      fromConfiguration.push_back(code(member.member) + " ← " + code(member.centreField));
  }
  std::string text =
      Say{"发送给中心:", "Sent to the centre: "}.in(language) +
      (fromArguments.empty() ? Say{"不带参数", "no argument"}.in(language) : joined(fromArguments, ", "));
  if (!fromConfiguration.empty())
    text += Say{";取自 NvConfiguration.ini 中所选中心的配置:", "; from the chosen centre in NvConfiguration.ini: "}.in(
                language) +
            joined(fromConfiguration, ", ");
  return text + Say{"。\n\n", ".\n\n"}.in(language);
}

std::string shapeText(const ExportFacts& facts, Language language) {
  size_t columns = facts.answer.columns.size();
  switch (facts.answer.shape) {
    case nv::AnswerShape::kNone:
      return Say{"成功时没有数据行(rowcount 0, columns 0)。", "A success has no rows (rowcount 0, columns 0)."}.in(
          language);
    case nv::AnswerShape::kText: return Say{"成功时一行一列:", "A success has one row of one column:"}.in(language);
    case nv::AnswerShape::kRecord:
      return Say{"成功时一行,", "A success has one row of "}.in(language) + std::to_string(columns) +
             Say{" 列:", " columns:"}.in(language);
    case nv::AnswerShape::kList:
      if (facts.kind == ExportKind::kListing)
        return Say{"每个找到的中心一行,每行 ", "One row per centre found, each of "}.in(language) +
               std::to_string(columns) + Say{" 列:", " columns:"}.in(language);
      return Say{"每个条目一行(可能 0 行),每行 ", "One row per entry (there may be none), each of "}.in(language) +
             std::to_string(columns) + Say{" 列:", " columns:"}.in(language);
  }
  return "";
}

std::string columnTable(const ExportFacts& facts, Language language) {
  if (facts.answer.columns.empty()) return "\n\n";
  std::string from = facts.kind == ExportKind::kListing ? Say{"配置项", "configured field"}.in(language)
                                                        : Say{"中心返回的成员", "member the centre sends"}.in(language);
  std::string text = "\n\n| " + Say{"写出次序", "written"}.in(language) + " | colnum | colname | " + from + " |\n" +
                     "|---|---|---|---|\n";
  for (size_t i = 0; i < facts.answer.columns.size(); ++i) {
    const nv::ColumnPlan& column = facts.answer.columns[i];
    text += "| " + std::to_string(i + 1) + " | " + std::to_string(column.colnum) + " | " + code(column.colname) +
            " | " + code(column.wireName) + " |\n";
  }
  return text + "\n";
}

// What a caller would not expect, as far as the facts show it, then the
// sheet's own remarks.
std::vector<std::string> quirks(const ExportFacts& facts, Language language) {
  std::vector<std::string> found;
  std::vector<std::string> names = parameterNames(facts);
  if (*facts.functionId && std::string(facts.functionId) != facts.name)
    found.push_back(Say{"function_id 是 ", "The function_id is "}.in(language) + code(facts.functionId) +
                    Say{",与导出函数名不同。", ", not the export's name."}.in(language));
  if (*facts.operation && std::string(facts.operation) != facts.name &&
      !(facts.kind == ExportKind::kPacked && std::string(facts.operation) == "inpRegister"))
    found.push_back(Say{"向中心发送的操作是 ", "It sends the centre's operation "}.in(language) +
                    code(facts.operation) + Say{"。", "."}.in(language));
  std::vector<int> order;
  for (const nv::Check& check : facts.checks) order.push_back(check.argument);
  if (!std::is_sorted(order.begin(), order.end())) {
    std::vector<std::string> numbers;
    for (int argument : order) numbers.push_back(std::to_string(argument));
    found.push_back(
        Say{"检查不按参数顺序,而按:", "The arguments are checked in this order, not theirs: "}.in(language) +
        joined(numbers, ", ") +
        Say{"。只报告第一个失败的检查。", ". Only the first failure is reported."}.in(language));
  }
  if (facts.kind == ExportKind::kTemplate)
    for (size_t i = 0; i < names.size(); ++i) {
      int argument = static_cast<int>(i) + 1;
      if (checkPosition(facts, argument) != 0) continue;
      found.push_back(Say{"参数 ", "Argument "}.in(language) + std::to_string(argument) + " (" + code(names[i]) + ")" +
                      (argument == facts.centreArgument
                           ? Say{" 只用于选择中心,不检查。", " only selects the centre and is not checked."}
                           : Say{" 不检查,原样发送。", " is not checked: it is sent as it is."})
                          .in(language));
    }
  // A column written before one with a lower colnum is out of place.
  std::vector<std::string> early;
  const std::vector<nv::ColumnPlan>& columns = facts.answer.columns;
  for (size_t i = 0; i + 1 < columns.size(); ++i)
    if (columns[i].colnum > columns[i + 1].colnum)
      early.push_back(code(columns[i].colname) + " (colnum " + std::to_string(columns[i].colnum) + ")" +
                      Say{" 排在第 ", ", written "}.in(language) + std::to_string(i + 1) +
                      Say{" 位", language == Language::kChinese ? "" : ordinalSuffix(i + 1)}.in(language));
  if (!early.empty())
    found.push_back(
        Say{"列不按 colnum 的顺序写出:", "The columns are not written in colnum order: "}.in(language) +
        joined(early, ", ") +
        Say{"。请按 colnum 或列名读取,不要按位置。", "; read them by colnum or name, not by position."}.in(language));
  if (facts.effect == nv::kChangesState)
    found.push_back(
        Say{"改变中心的数据:超时后得到 600 时,中心可能已经执行,不要盲目重发(见 using-the-dll.md 的 \"Unknown "
            "outcomes\" 一节)。",
            "It changes data at the centre: after a 600 on a time-out the centre may have done it; do not "
            "resend blindly (using-the-dll.md, \"Unknown outcomes\")."}
            .in(language));
  for (const nv::Words& remark : facts.remarks) found.push_back(said(remark, language));
  return found;
}

std::string section(const ExportFacts& facts, Language language) {
  std::string text = "## " + std::string(facts.name) + "\n\n" + signature(facts) + "\n\n";
  std::vector<std::string> lines;
  if (*facts.functionId) lines.push_back("function_id: " + code(facts.functionId));
  if (*facts.operation)
    lines.push_back(Say{"中心的操作:", "The centre's operation: "}.in(language) + code(facts.operation) + " (" +
                    effectText(facts, language) + ")");
  if (*facts.checkFailureCode)
    lines.push_back(
        Say{"检查失败时的 out_code:", "out_code of a failed check: "}.in(language) + code(facts.checkFailureCode) +
        (facts.kind == ExportKind::kPacked
             ? Say{"(拆分出的值按 inpRegister 检查)", " (the unpacked values are checked as inpRegister's)"}.in(
                   language)
             : ""));
  if (facts.centreArgument > 0)
    lines.push_back(Say{"中心编码:第 ", "Centre code: argument "}.in(language) + std::to_string(facts.centreArgument) +
                    Say{" 个参数,先在 NvConfiguration.ini 中查找,然后才检查参数",
                        ", looked up in NvConfiguration.ini before any argument is checked"}
                        .in(language));
  if (facts.kind == ExportKind::kCodec)
    lines.push_back(Say{"不联系中心,不写结果文档", "No call to the centre, no result document"}.in(language));
  for (const std::string& line : lines) text += "- " + line + "\n";
  text += "\n" + argumentTable(facts, language);
  if (facts.kind == ExportKind::kTemplate) text += requestText(facts, language);
  if (facts.kind != ExportKind::kCodec) text += shapeText(facts, language) + columnTable(facts, language);
  std::vector<std::string> remarks = quirks(facts, language);
  if (!remarks.empty()) {
    text += Say{"注意:\n\n", "Note:\n\n"}.in(language);
    for (const std::string& remark : remarks) text += "- " + remark + "\n";
    text += "\n";
  }
  return text;
}

// A heading's link target, as Markdown viewers make it.
std::string anchor(std::string name) {
  std::transform(name.begin(), name.end(), name.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  return name;
}

std::string overview(const std::vector<ExportFacts>& facts, Language language) {
  std::string text = Say{"| 导出函数 | function_id | 中心的操作 | 只读或改变 | 检查失败 |\n",
                         "| export | function_id | operation | reads or changes | failed check |\n"}
                         .in(language) +
                     "|---|---|---|---|---|\n";
  for (const ExportFacts& f : facts)
    text += "| [" + std::string(f.name) + "](#" + anchor(f.name) + ") | " + (*f.functionId ? code(f.functionId) : "") +
            " | " + (*f.operation ? code(f.operation) : "") + " | " + (*f.operation ? effectText(f, language) : "") +
            " | " + f.checkFailureCode + " |\n";
  return text + "\n";
}

}  // namespace

std::vector<std::string> factProblems(const std::vector<ExportFacts>& facts) {
  std::vector<std::string> problems;
  std::set<std::string> described;
  for (const ExportFacts& f : facts) {
    if (!described.insert(f.name).second) problems.push_back(std::string(f.name) + ": described twice");
    if (f.kind == ExportKind::kRelease) continue;
    const size_t arity = f.parameters.size();
    if (f.meanings.size() != arity)
      problems.push_back(std::string(f.name) + ": " + std::to_string(f.meanings.size()) + " meanings for " +
                         std::to_string(arity) + " arguments");
    for (const nv::Check& check : f.checks)
      if (check.argument < 1 || static_cast<size_t>(check.argument) > arity)
        problems.push_back(std::string(f.name) + ": a check of argument " + std::to_string(check.argument));
    for (const nv::RequestFact& member : f.request)
      if (static_cast<size_t>(member.argument) > arity || (member.argument == 0 && !*member.centreField))
        problems.push_back(std::string(f.name) + ": request member " + member.member + " has no source");
  }
  return problems;
}

std::string renderReference(const std::vector<ExportFacts>& all, Language language) {
  // freeResult has no section: the codecs' and the using guide's texts say it.
  std::vector<ExportFacts> facts;
  for (const ExportFacts& f : all)
    if (f.kind != ExportKind::kRelease) facts.push_back(f);

  std::string text =
      Say{"# NvInterFace 接口参考\n\n"
          "由导出函数的定义表生成(`tools/export_files`),请勿手工修改。每个导出函数:function_id、"
          "参数的含义和检查、检查失败时的 out_code、中心的操作、结果的列,以及容易出错之处。"
          "English: reference.en.md.\n\n"
          "所有参数和结果都是 GBK 文本;长度按字节计,一个汉字占 2 字节(40 字节即 20 个汉字)。"
          "检查失败时 out_text 是检查提示的名称后接原因(不能为空、长度超过、非数字格式、非日期格式、"
          "非时间格式)。检查只看形式,不看值:日期是 yyyy-MM-dd 形式的数字,时间是 yyyy-MM-dd HH:mm:ss "
          "形式的数字,所以 2026-02-31、2026-00-00 和 25:00:00 都能通过;数字是可带一个开头的负号和一个"
          "不在开头的小数点的数字串,所以 -、-. 和 1. 也能通过。这样的值由中心判断。"
          "未找到中心时,每个函数都先返回 300 和“无法找到配置文件”。结果中的值原样写出,不做转义:值本身可能含有 "
          "`<`、`>` 甚至 `</column>`,请按结果的格式读取(见 using-the-dll.md,包装类就是这样读的)。\n\n",
          "# NvInterFace reference\n\n"
          "Generated from the export sheets (`tools/export_files`); do not edit by hand. For every export: its "
          "function_id, what each argument means and how it is checked, the out_code of a failed check, the "
          "centre's operation, the result's columns, and what a caller would not expect. 中文:reference.zh.md.\n\n"
          "Every argument and result is GBK text; lengths are bytes, and a Chinese character takes two (40 bytes "
          "are 20 Chinese characters). A failed check's out_text is the label in check messages followed by the "
          "reason (不能为空 empty, 长度超过 too long, 非数字格式 not a number, 非日期格式 not a date, 非时间格式 "
          "not a date and time). The checks look at the shape only, not the value: a date is digits in the shape "
          "yyyy-MM-dd and a date and time digits in the shape yyyy-MM-dd HH:mm:ss, so 2026-02-31, 2026-00-00 and "
          "25:00:00 pass; a number is digits with an optional leading minus and at most one point not in front, "
          "so -, -. and 1. pass too. The centre judges such values. Before any check, an export whose centre is "
          "not configured returns 300 and 无法找到配置文件. Values in a result are written as they are, not "
          "escaped: a value may hold `<`, `>` or even `</column>`, so read a result by its framing "
          "(using-the-dll.md; the wrappers do).\n\n"}
          .in(language);
  text += overview(facts, language);
  text += Say{"代码型的参数和结果值见文末的[代码表](#代码表)。\n\n",
              "For the coded arguments and result values, see [Code tables](#code-tables) at the end.\n\n"}
              .in(language);
  for (const ExportFacts& f : facts) text += section(f, language);
  text += codeTables(language);
  return text;
}

}  // namespace nvref
