// SPDX-License-Identifier: MIT
#include "tests/support/answer_oracle.h"

#include <limits>
#include <new>
#include <string>

#include "client/answer_plan.h"
#include "text/codec.h"
#include "text/result_document.h"
#include "text/texts.h"
#include "service_oracle.h"
#include "soapH.h"

namespace nvtest {
namespace {

const std::string* fieldOf(const nv::wire::Entry& entry, const char* wireName) {
  for (const auto& [name, value] : entry.fields)
    if (name == wireName) return value;
  return nullptr;
}

void appendRow(nv::ResultDocument& doc, int32_t row, const nv::AnswerPlan& plan, const nv::wire::Entry& entry) {
  doc.appendRowOpen(row);
  for (const nv::ColumnPlan& column : plan.columns) {
    doc.appendColumnOpen(column.colnum, column.colname);
    if (const std::string* value = fieldOf(entry, column.wireName)) nv::appendDecodedField(doc.text(), *value);
    doc.appendColumnClose();
  }
  doc.appendRowClose();
}

// The body as the runtime reads an answer: behind an HTTP head with the
// answer's status and the body's length (the head's own rules have been
// applied by then), from memory.
class GeneratedRecordsReader : public nv::BodyReader {
 public:
  GeneratedRecordsReader(const nv::AnswerPlan& plan, nv::ResultDocument& doc) : plan_(plan), doc_(doc) {}
  void begin(int status, uint64_t) override { status_ = status; }
  void feed(const char* bytes, size_t count) override { body_.append(bytes, count); }
  bool settled() const override { return false; }
  nv::AnswerOutcome finish() override;

 private:
  static size_t receive(struct soap* soap, char* buffer, size_t capacity) {
    auto& self = *static_cast<GeneratedRecordsReader*>(soap->user);
    size_t n = self.answer_.copy(buffer, capacity, self.offset_);
    self.offset_ += n;
    return n;
  }
  static int readToEnd(struct soap* soap) {
    static_cast<GeneratedRecordsReader*>(soap->user)->readToEnd_ = true;
    return SOAP_OK;
  }
  void writeSuccess(const nv::wire::ReceivedAnswer& answer);

  const nv::AnswerPlan& plan_;
  nv::ResultDocument& doc_;
  int status_ = 0;
  std::string body_, answer_;
  size_t offset_ = 0;
  bool readToEnd_ = false;
};

nv::AnswerOutcome GeneratedRecordsReader::finish() {
  answer_ = "HTTP/1.1 " + std::to_string(status_) + " Answer\r\nContent-Length: " + std::to_string(body_.size()) +
            "\r\nConnection: close\r\n\r\n" + body_;
  struct soap* soap = soap_new();
  if (soap == nullptr) throw std::bad_alloc();
  soap->user = this;
  soap->frecv = receive;
  soap->fpreparefinalrecv = readToEnd;
  soap->maxoccurs = std::numeric_limits<decltype(soap->maxoccurs)>::max();
  nv::AnswerOutcome outcome;
  nv::wire::ReceivedAnswer answer;
  // An answer the runtime did not read to its end carries no response, even
  // where the runtime reports success.
  if (nv::wire::receiveByWrapper(soap, plan_.wrapper, answer) == 0 && readToEnd_) {
    writeSuccess(answer);
    outcome.kind = nv::AnswerOutcome::Kind::kSuccess;
  } else if (const SOAP_ENV__Fault* fault = soap->fault) {
    // Whatever the runtime recorded: the centre's fault, or its own words.
    const char* text = fault->faultstring;
    if ((text == nullptr || *text == '\0') && fault->SOAP_ENV__Reason != nullptr)
      text = fault->SOAP_ENV__Reason->SOAP_ENV__Text;
    if (text != nullptr && *text != '\0') {
      outcome.kind = nv::AnswerOutcome::Kind::kFault;
      outcome.faultText = text;
    }
  }
  soap_destroy(soap);
  soap_end(soap);
  soap_free(soap);
  return outcome;
}

void GeneratedRecordsReader::writeSuccess(const nv::wire::ReceivedAnswer& answer) {
  nv::ResultDocument& doc = doc_;
  const nv::AnswerPlan& plan = plan_;
  doc.appendOutCode(nv::texts::kSuccessCode);
  doc.appendOutText(nv::texts::kSuccess);
  const auto columns = static_cast<int32_t>(plan.columns.size());
  switch (plan.shape) {
    case nv::AnswerShape::kNone: doc.appendDataOpen(0, 0); break;
    case nv::AnswerShape::kText:
      doc.appendDataOpen(1, 1);
      doc.appendRowOpen(0);
      doc.appendColumnOpen(plan.columns[0].colnum, plan.columns[0].colname);
      if (answer.text) nv::appendDecodedField(doc.text(), *answer.text);
      doc.appendColumnClose();
      doc.appendRowClose();
      break;
    case nv::AnswerShape::kRecord:  // an absent record is a row of empty values
      doc.appendDataOpen(1, columns);
      appendRow(doc, 0, plan, answer.record);
      break;
    case nv::AnswerShape::kList: {  // a nil entry is no row
      int32_t rows = 0;
      for (const nv::wire::Entry& entry : answer.entries) rows += entry.present;
      doc.appendDataOpen(rows, columns);
      int32_t row = 0;
      for (const nv::wire::Entry& entry : answer.entries)
        if (entry.present) appendRow(doc, row++, plan, entry);
      break;
    }
  }
}

}  // namespace

std::unique_ptr<nv::BodyReader> generatedRecordsReader(const nv::AnswerPlan& plan, nv::ResultDocument& doc) {
  return std::make_unique<GeneratedRecordsReader>(plan, doc);
}

}  // namespace nvtest
