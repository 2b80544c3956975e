// SPDX-License-Identifier: MIT
// Any bytes as the centre's whole HTTP response, read twice through the full
// export path: once by the streaming reader, once by the SOAP toolkit's
// generated reader (tests/support/answer_oracle.h). The first byte picks the
// export. The two documents must be the same bytes, except where the
// streaming reader differs on purpose:
//  - an answer it finds malformed (not well-formed XML, or carrying a
//    document type) is the major exception, whatever the generated reader
//    made of it;
//  - a status line whose code is negative or above 2000 is a failed call
//    (the generated reader reports success without reading the answer: it
//    takes a code above 2000 for a request method);
//  - an answer holding bytes above 0x7F or character references has its
//    plain text converted to GBK, so only the values and out_text may
//    differ: out_code, the row count and the column heads must not;
//  - an answer with a processing instruction that holds a '?' before its
//    closing "?>": the runtime ends the instruction at that '?', the
//    streaming reader (as XML does) at "?>", so the two read different
//    documents; each must still be a well-formed result;
//  - an answer that defines one id twice is read by the streaming reader
//    alone: the runtime, reporting the duplicate, copies the id onto itself
//    (an overlapping strncpy). Only the generated readers, which the library
//    does not link, come there.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "client/answer_plan.h"
#include "client/answer_reader.h"
#include "tests/support/session_seams.h"
#include "tests/support/document_check.h"
#include "tests/support/export_catalogue.h"
#include "fuzz/fuzz_support.h"
#include "tests/support/answer_oracle.h"

namespace {

using namespace nvfuzz;

std::vector<const nvcheck::ExportEntry*> targets;
int64_t lastMalformedAt = -1;

// The streaming reader, noting where it found the answer malformed.
class NotingReader : public nv::BodyReader {
 public:
  NotingReader(const nv::AnswerPlan& plan, nv::AnswerSink& sink) : reader_(plan, sink) {}
  void begin(int status, uint64_t length) override { reader_.begin(status, length); }
  void feed(const char* bytes, size_t count) override { reader_.feed(bytes, count); }
  bool settled() const override { return reader_.settled(); }
  nv::AnswerOutcome finish() override {
    nv::AnswerOutcome outcome = reader_.finish();
    lastMalformedAt = outcome.malformedAt;
    return outcome;
  }

 private:
  nv::AnswerReader reader_;
};

std::unique_ptr<nv::BodyReader> notingReader(const nv::AnswerPlan& plan, nv::AnswerSink& sink) {
  return std::make_unique<NotingReader>(plan, sink);
}

std::string callWith(nvtest::ScopedAnswerReader::Factory reader, const nvcheck::ExportEntry& e,
                     const std::string& response) {
  nvtest::ScopedAnswerReader readBy(reader);
  nvtest::ScopedSessionTransport transport(response);
  return take(e.call(e.validCArguments()), e.name);
}

// Whether the status line ("HTTP/1.1 200 OK") has a code no HTTP status has.
bool statusOutOfRange(const std::string& response) {
  size_t space = response.find(' ');
  if (space == std::string::npos || space > response.find('\n')) return false;
  long code = std::strtol(response.c_str() + space + 1, nullptr, 10);
  return code < 0 || code > 2000;
}

bool holdsNonAscii(const std::string& bytes) {
  for (char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  return bytes.find("&#") != std::string::npos;
}

bool holdsInstructionWithInnerQuestionMark(const std::string& bytes) {
  for (size_t at = bytes.find("<?"); at != std::string::npos; at = bytes.find("<?", at + 2))
    if (bytes.find('?', at + 2) != bytes.find("?>", at + 2)) return true;
  return false;
}

// Whether two id attributes carry the same value.
bool definesAnIdTwice(const std::string& bytes) {
  std::vector<std::string> seen;
  for (size_t at = bytes.find("id="); at != std::string::npos; at = bytes.find("id=", at + 3)) {
    if (at == 0 || std::string_view(" \t\r\n").find(bytes[at - 1]) == std::string_view::npos) continue;
    if (at + 3 >= bytes.size() || (bytes[at + 3] != '"' && bytes[at + 3] != '\'')) continue;
    const size_t end = bytes.find(bytes[at + 3], at + 4);
    if (end == std::string::npos) break;
    std::string id = bytes.substr(at + 4, end - at - 4);
    for (const std::string& earlier : seen)
      if (earlier == id) return true;
    seen.push_back(std::move(id));
  }
  return false;
}

std::string majorException(const nvcheck::ExportEntry& e) {
  return std::string("<?xml version='1.0' encoding='gb2312'?><function><function_id>") + e.functionId +
         "</function_id><out_code>600</out_code><out_text>\xBA\xAF\xCA\xFD\xD6\xD8\xB4\xF3\xD2\xEC\xB3\xA3"
         "</out_text><data rowcount=\\\"0\\\" columns=\\\"0\\\"></data></function>";
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  enterConfiguredScratchDirectory();
  for (const nvcheck::ExportEntry& e : nvcheck::documentExports())
    if (e.contactsCentre()) targets.push_back(&e);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const nvcheck::ExportEntry& e = *targets[data[0] % targets.size()];
  const std::string response(asText(data + 1, size - 1));

  lastMalformedAt = -1;
  const std::string streamed = callWith(notingReader, e, response);
  if (definesAnIdTwice(response)) {
    nvcheck::ResultDocumentView view;
    const std::string problem = nvcheck::readResultDocument(streamed, e.functionId, view);
    require(problem.empty(), std::string(e.name) + ": the streamed document is well-formed", problem + "\n" + streamed);
    return 0;
  }
  const std::string generated = callWith(nvtest::generatedRecordsReader, e, response);

  if (lastMalformedAt >= 0 || statusOutOfRange(response)) {
    require(streamed == majorException(e),
            std::string(e.name) + ": a malformed answer or status is the major exception", streamed);
    return 0;
  }
  const bool readAlike = !holdsInstructionWithInnerQuestionMark(response);
  if (readAlike && !holdsNonAscii(response)) {
    require(streamed == generated, std::string(e.name) + ": both readers write the same document",
            "streamed:  " + streamed + "\ngenerated: " + generated);
    return 0;
  }
  nvcheck::ResultDocumentView a, b;
  std::string problem = nvcheck::readResultDocument(streamed, e.functionId, a);
  require(problem.empty(), std::string(e.name) + ": the streamed document is well-formed", problem + "\n" + streamed);
  problem = nvcheck::readResultDocument(generated, e.functionId, b);
  require(problem.empty(), std::string(e.name) + ": the generated document is well-formed", problem + "\n" + generated);
  if (!readAlike) return 0;
  bool sameHeads = a.columns.size() == b.columns.size();
  for (size_t i = 0; sameHeads && i < a.columns.size(); ++i)
    sameHeads = a.columns[i].colnum == b.columns[i].colnum && a.columns[i].colname == b.columns[i].colname;
  require(a.outCode == b.outCode && a.rowCount == b.rowCount && a.columnCount == b.columnCount && sameHeads,
          std::string(e.name) + ": converted text changes no more than values",
          "streamed:  " + streamed + "\ngenerated: " + generated);
  return 0;
}
