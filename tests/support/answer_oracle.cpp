// SPDX-License-Identifier: MIT
#include "tests/support/answer_oracle.h"

#include <limits>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "client/answer_plan.h"
#include "service_oracle.h"
#include "soapH.h"

namespace nvtest {
namespace {

const std::string* fieldOf(const nv::wire::Entry& entry, std::string_view wireName) {
  for (const auto& [name, value] : entry.fields)
    if (name == wireName) return value;
  return nullptr;
}

// The body as the runtime reads an answer: behind an HTTP head with the
// answer's status and the body's length (the head's own rules have been
// applied by then), from memory.
class GeneratedRecordsReader : public nv::BodyReader {
 public:
  GeneratedRecordsReader(const nv::AnswerPlan& plan, nv::AnswerSink& sink)
      : plan_(plan), sink_(sink), names_(nv::memberSlotsOf(plan).names) {}
  void begin(int status, uint64_t length) override {
    status_ = status;
    sink_.begin(length);
  }
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
  void row(const nv::wire::Entry& entry);
  void reportSuccess(const nv::wire::ReceivedAnswer& answer);

  const nv::AnswerPlan& plan_;
  nv::AnswerSink& sink_;
  std::vector<std::string_view> names_;  // the members, in the sink's numbering
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
    reportSuccess(answer);
    outcome.kind = nv::AnswerOutcome::Kind::kSuccess;
  } else if (const SOAP_ENV__Fault* fault = soap->fault) {
    // Whatever the runtime recorded: the centre's fault, or its own words.
    const char* text = fault->faultstring;
    if ((text == nullptr || *text == '\0') && fault->SOAP_ENV__Reason != nullptr)
      text = fault->SOAP_ENV__Reason->SOAP_ENV__Text;
    if (text != nullptr && *text != '\0') {
      outcome.kind = nv::AnswerOutcome::Kind::kFault;
      sink_.fault(text);
    }
  }
  soap_destroy(soap);
  soap_end(soap);
  soap_free(soap);
  sink_.outcome(outcome.kind == nv::AnswerOutcome::Kind::kSuccess);
  return outcome;
}

void GeneratedRecordsReader::row(const nv::wire::Entry& entry) {
  sink_.rowBegun();
  for (size_t slot = 0; slot < names_.size(); ++slot)
    if (const std::string* value = fieldOf(entry, names_[slot])) sink_.value(slot, *value);
  sink_.rowEnded();
}

void GeneratedRecordsReader::reportSuccess(const nv::wire::ReceivedAnswer& answer) {
  switch (plan_.shape) {
    case nv::AnswerShape::kNone: break;
    case nv::AnswerShape::kText:
      sink_.rowBegun();
      if (answer.text) sink_.value(0, *answer.text);
      sink_.rowEnded();
      break;
    case nv::AnswerShape::kRecord: row(answer.record); break;  // an absent record is a row of empty values
    case nv::AnswerShape::kList:                               // a nil entry is no row
      for (const nv::wire::Entry& entry : answer.entries)
        if (entry.present) row(entry);
      break;
  }
}

}  // namespace

std::unique_ptr<nv::BodyReader> generatedRecordsReader(const nv::AnswerPlan& plan, nv::AnswerSink& sink) {
  return std::make_unique<GeneratedRecordsReader>(plan, sink);
}

}  // namespace nvtest
