// SPDX-License-Identifier: MIT
// Any arguments for any export: the first byte picks the export, the rest is
// its arguments separated by zero bytes (a field of the single byte 01 is a
// null pointer; missing fields keep the valid argument). The centre answers
// success from memory. Every outcome is a well-formed document with the
// export's codes, null is the empty text, and the caller's texts are left
// as they were.
#include <optional>
#include <vector>

#include "tests/support/session_seams.h"
#include "tests/support/document_check.h"
#include "tests/support/export_catalogue.h"
#include "fuzz/fuzz_support.h"
#include "tests/support/soap_message.h"

namespace {

using namespace nvfuzz;

struct Outcome {
  std::string document;
  std::string sent;
};

Outcome run(const nvcheck::ExportEntry& e, const std::vector<std::optional<std::string>>& args) {
  // Each argument in a block of its own, so AddressSanitizer sees any read
  // past its end and any write into it shows below.
  std::vector<std::string> blocks;
  for (const auto& a : args) blocks.push_back(a.value_or(""));
  const std::vector<std::string> before = blocks;
  nvcheck::CArguments cArgs;
  for (size_t i = 0; i < args.size(); ++i) cArgs.push_back(args[i] ? blocks[i].c_str() : nullptr);

  const std::string answer = nvcheck::plainSuccessAnswer(e);
  nvtest::ScopedSessionTransport transport(answer);
  Outcome outcome{take(e.call(cArgs), e.name), transport.sent()};
  require(blocks == before, std::string(e.name) + " leaves the caller's texts untouched");
  return outcome;
}

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The reasons a check appends to its label, in GBK.
const char* const kReasons[] = {
    "\xB2\xBB\xC4\xDC\xCE\xAA\xBF\xD5",                              // 不能为空
    "\xB3\xA4\xB6\xC8\xB3\xAC\xB9\xFD",                              // 长度超过
    "\xB7\xC7\xCA\xFD\xD7\xD6\xB8\xF1\xCA\xBD",                      // 非数字格式
    "\xB7\xC7\xC8\xD5\xC6\xDA\xB8\xF1\xCA\xBD:yyyy-MM-dd",           // 非日期格式:yyyy-MM-dd
    "\xB7\xC7\xCA\xB1\xBC\xE4\xB8\xF1\xCA\xBD:yyyy-MM-dd HH:mm:ss",  // 非时间格式:yyyy-MM-dd HH:mm:ss
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  enterConfiguredScratchDirectory();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const auto& exports = nvcheck::documentExports();
  const nvcheck::ExportEntry& e = exports[data[0] % exports.size()];

  std::vector<std::optional<std::string>> args(e.validArguments.begin(), e.validArguments.end());
  std::string_view rest = asText(data + 1, size - 1);
  for (size_t i = 0; i < args.size() && !rest.empty(); ++i) {
    size_t end = rest.find('\0');
    std::string field(rest.substr(0, end));
    args[i] = field == "\x01" ? std::nullopt : std::optional<std::string>(field);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  }

  const Outcome outcome = run(e, args);
  nvcheck::ResultDocumentView view;
  std::string problem =
      nvcheck::readResultDocument(outcome.document, e.functionId, view, nullptr, e.shape == nvcheck::Shape::Listing);
  require(problem.empty(), std::string(e.name) + " writes a well-formed document", problem + "\n" + outcome.document);

  bool checkFailed = false;
  for (const char* reason : kReasons) checkFailed |= view.outCode != "000" && endsWith(view.outText, reason);
  if (checkFailed)
    require(view.outCode == e.checkFailureCode, std::string(e.name) + " reports a failed check with its code",
            outcome.document);
  if (view.outCode == "000" && e.contactsCentre())
    require(nvtest::wrapperName(nvtest::requestBody(outcome.sent)) == e.operation,
            std::string(e.name) + " sends its operation");
  if (view.outCode == "300") require(outcome.sent.empty(), "a 300 outcome sends nothing", outcome.sent);

  // A null pointer is the empty text: the same document, the same request.
  bool anyNull = false;
  for (auto& a : args) {
    anyNull |= !a.has_value();
    if (!a) a = std::string();
  }
  if (anyNull) {
    const Outcome withEmpty = run(e, args);
    require(withEmpty.document == outcome.document && withEmpty.sent == outcome.sent,
            std::string(e.name) + ": null is the empty text", outcome.document + "\n" + withEmpty.document);
  }
  return 0;
}
