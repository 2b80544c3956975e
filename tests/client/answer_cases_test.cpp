// SPDX-License-Identifier: MIT
// The answer reader and the answer head driven alone, one case a file in
// answer_cases/ (its README gives the format): bytes in, the events the
// reader reports and its outcome out. Every answer is fed whole, then one
// byte at a time, and must read alike both ways.
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "client/answer_head.h"
#include "client/answer_reader.h"
#include "service_constants.h"

namespace {

const std::string kCases = NV_ANSWER_CASES;

// "\xHH" stands for the byte HH; "$NS" for the service namespace.
std::string unescaped(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "\\x") == 0 && i + 3 < text.size()) {
      out.push_back(static_cast<char>(std::strtol(text.substr(i + 2, 2).c_str(), nullptr, 16)));
      i += 3;
    } else if (text.compare(i, 3, "$NS") == 0) {
      out += NV_SERVICE_NAMESPACE;
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

// Bytes below 0x20 and the backslash as "\xHH"; the rest as they are.
std::string escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x20 && c != '\\') {
      out.push_back(c);
    } else {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
      out += hex;
    }
  }
  return out;
}

struct Case {
  std::vector<std::pair<std::string, std::string>> settings;  // "plan", "status", ...
  std::vector<std::string> input, expected;  // the lines of "--- answer" or "--- head", of "--- expect"
  std::string inputKind;
  std::string setting(const std::string& key, const std::string& otherwise = "") const {
    for (const auto& [k, v] : settings)
      if (k == key) return v;
    return otherwise;
  }
};

Case readCase(const std::string& name) {
  std::ifstream file(kCases + "/" + name);
  Case c;
  std::string line, section;
  while (std::getline(file, line)) {
    if (line.rfind("--- ", 0) == 0) {
      section = line.substr(4);
      if (section != "expect") c.inputKind = section;
    } else if (section.empty()) {
      if (line.empty() || line[0] == '#') continue;
      size_t space = line.find(' ');
      c.settings.emplace_back(line.substr(0, space), space == std::string::npos ? "" : line.substr(space + 1));
    } else {
      (section == "expect" ? c.expected : c.input).push_back(line);
    }
  }
  return c;
}

class RecordingSink : public nv::AnswerSink {
 public:
  std::vector<std::string> lines;
  void begin(uint64_t length) override { lines.push_back("begin " + std::to_string(length)); }
  void rowBegun() override { lines.push_back("row"); }
  void value(size_t member, std::string_view utf8) override {
    lines.push_back("value " + std::to_string(member) + " " + escaped(utf8));
  }
  void rowEnded() override { lines.push_back("end-row"); }
  void fault(std::string_view utf8) override { lines.push_back("fault " + escaped(utf8)); }
  void outcome(bool success) override { lines.push_back(success ? "outcome success" : "outcome void"); }
};

// plan <shape> <response element> [<member> [<wire name>...]]
nv::AnswerPlan planOf(const std::string& setting, std::vector<std::string>& names) {
  std::istringstream words(setting);
  std::string shape;
  words >> shape;
  for (std::string word; words >> word;) names.push_back(word);
  nv::AnswerPlan plan;
  plan.shape = shape == "text"     ? nv::AnswerShape::kText
               : shape == "record" ? nv::AnswerShape::kRecord
               : shape == "list"   ? nv::AnswerShape::kList
                                   : nv::AnswerShape::kNone;
  plan.wrapper = names.size() > 0 ? names[0].c_str() : "";
  plan.member = names.size() > 1 ? names[1].c_str() : "";
  // A text answer's one column is its member.
  for (size_t i = names.size() > 2 ? 2 : 1; i < names.size() && plan.shape != nv::AnswerShape::kNone; ++i)
    plan.columns.push_back({static_cast<int32_t>(i), names[i].c_str(), names[i].c_str()});
  return plan;
}

std::vector<std::string> readAnswer(const Case& c, size_t pieceSize) {
  std::vector<std::string> names;
  const nv::AnswerPlan plan = planOf(c.setting("plan"), names);
  std::string body;
  for (size_t i = 0; i < c.input.size(); ++i) body += (i > 0 ? "\n" : "") + unescaped(c.input[i]);
  RecordingSink sink;
  nv::AnswerReader reader(plan, sink);
  reader.begin(std::atoi(c.setting("status", "200").c_str()),
               std::strtoull(c.setting("length", "0").c_str(), nullptr, 10));
  // As the transport feeds it: nothing once the outcome is settled.
  for (size_t at = 0; at < body.size() && !reader.settled(); at += pieceSize)
    reader.feed(body.data() + at, std::min(pieceSize, body.size() - at));
  nv::AnswerOutcome outcome = reader.finish();
  const char* kinds[] = {"success", "fault", "no-response", "broken"};
  std::string result = std::string("=> ") + kinds[static_cast<int>(outcome.kind)];
  if (!outcome.faultCode.empty()) result += " code=" + outcome.faultCode;
  if (outcome.malformedAt >= 0) result += " at=" + std::to_string(outcome.malformedAt);
  sink.lines.push_back(result);
  if (!outcome.failure.isOk()) sink.lines.push_back("cause " + outcome.failure.traceCause());
  return sink.lines;
}

// Each line of the head ends in CRLF, or with "line-end lf" in LF.
std::vector<std::string> readHead(const Case& c) {
  nv::AnswerHead head(std::strtoul(c.setting("limit", "65536").c_str(), nullptr, 10));
  const std::string end = c.setting("line-end") == "lf" ? "\n" : "\r\n";
  for (const std::string& line : c.input) head.take(unescaped(line) + end);
  const char* verdicts[] = {"pending", "read-body", "http-error", "broken"};
  std::vector<std::string> lines = {std::string(verdicts[static_cast<int>(head.verdict())]) +
                                    " status=" + std::to_string(head.status()) +
                                    " length=" + std::to_string(head.announcedLength())};
  if (!head.refusal().isOk()) lines.push_back("cause " + head.refusal().traceCause());
  return lines;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

std::vector<std::string> caseNames() {
  std::vector<std::string> names;
  if (DIR* dir = opendir(kCases.c_str())) {
    while (dirent* entry = readdir(dir))
      if (entry->d_name[0] != '.' && std::string(entry->d_name) != "README") names.push_back(entry->d_name);
    closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

class AnswerCase : public testing::TestWithParam<std::string> {};

TEST_P(AnswerCase, ReadsAsExpected) {
  const Case c = readCase(GetParam());
  ASSERT_TRUE(c.inputKind == "head" || c.inputKind == "answer") << "no \"--- answer\" or \"--- head\" section";
  // What a new case reads, for its "--- expect" section.
  if (std::getenv("NV_PRINT_ANSWER_CASE") != nullptr)
    std::cout << joined(c.inputKind == "head" ? readHead(c) : readAnswer(c, SIZE_MAX));
  ASSERT_FALSE(c.expected.empty()) << "no \"--- expect\" section";
  if (c.inputKind == "head") {
    EXPECT_EQ(joined(readHead(c)), joined(c.expected));
    return;
  }
  EXPECT_EQ(joined(readAnswer(c, SIZE_MAX)), joined(c.expected)) << "fed whole";
  EXPECT_EQ(joined(readAnswer(c, 1)), joined(c.expected)) << "fed byte by byte";
}

INSTANTIATE_TEST_SUITE_P(Files, AnswerCase, testing::ValuesIn(caseNames()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

TEST(AnswerCases, AreThere) { EXPECT_GE(caseNames().size(), 20u); }

}  // namespace
