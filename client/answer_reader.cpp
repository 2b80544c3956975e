// SPDX-License-Identifier: MIT
#include "client/answer_reader.h"

#include <new>
#include <optional>
#include <string_view>

#include "client/answer_envelope.h"
#include "client/answer_fault.h"
#include "client/answer_member.h"
#include "client/answer_prolog.h"
#include "client/xml_stream.h"

namespace nv {

// The parser's events, walked as the runtime walks the answer. The reader
// keeps the walk (depth, elements skipped, texts collected); what an element
// means is the business of the piece whose part of the answer it is in.
class AnswerParser final : public XmlEvents {
 public:
  AnswerParser(const AnswerPlan& plan, AnswerSink& sink) : sink_(sink), envelope_(plan.wrapper), member_(plan, sink) {}

  void begin(int status) {
    status_ = status;
    envelope_.begin(status);
  }
  void feed(std::string_view bytes, bool final);
  bool stopped() const { return stopped_ || (xml_ && xml_->interrupted()); }
  AnswerOutcome finish();

 private:
  void elementBegun(const char* rawName, const char** attributes) override;
  void elementEnded() override;
  void text(std::string_view text) override;
  // Comments, processing instructions and the tags of elements inside a
  // text member stay in the text as they were written, as the runtime keeps them.
  void markup(std::string_view text) override {
    if (collecting_ != nullptr) collecting_->append(text);
  }
  void namespaceDeclared(std::string_view uri) override { envelope_.declared(uri); }
  // A SOAP message carries no document type: nothing is declared, expanded or fetched.
  void doctype() override { malformed(); }

  void take(const Step& step);
  // An element nobody reads: skipped with all its content, as the runtime
  // skips it, which refuses one that must be understood or that lies in the
  // envelope's own namespace.
  void skipUnknown(const Name& name, const Marks& marks);
  void skip() { skipFrom_ = depth_; }
  void collect(std::string* into) {
    into->clear();
    collecting_ = into;
    collectDepth_ = depth_;
  }

  void stop() {
    stopped_ = true;
    xml_->stop();
  }
  // The answer cannot be read: no fault record, the major exception.
  void fail(Cause why) {
    outcome_.kind = AnswerOutcome::Kind::kBroken;
    if (outcome_.failure.isOk()) outcome_.failure = CallStatus::failed(why);
    stop();
  }
  void malformed() {
    // Where the parser stopped; before its first event, the bytes it was given.
    int64_t at = xml_->byteIndex();
    outcome_.malformedAt = prolog_.skipped() + (at >= 0 ? at : xml_->bytesGiven());
    outcome_.failure = CallStatus::failed(Cause::kMalformed, CauseDetail().withBytes(outcome_.malformedAt));
    fail(Cause::kMalformed);
  }
  // The Body holds no answer that can be read: the runtime records the
  // HTTP status as a client fault, keeping a fault text already read.
  void runtimeFault(const std::string& textSoFar) {
    outcome_.kind = AnswerOutcome::Kind::kNoResponse;
    if (!textSoFar.empty()) sink_.fault(textSoFar);
    outcome_.failure = CallStatus::failed(Cause::kNoResponse, CauseDetail().withStatus(status_));
    stop();
  }

  int status_ = 0;
  AnswerSink& sink_;
  AnswerProlog prolog_;
  AnswerEnvelope envelope_;
  AnswerFault fault_;
  AnswerMember member_;
  std::optional<XmlStream> xml_;

  bool stopped_ = false;
  AnswerOutcome outcome_;
  int depth_ = 0;
  int skipFrom_ = 0;         // non-zero: skipping the element opened at this depth
  int restIgnoredFrom_ = 0;  // non-zero: the rest of the element opened at this depth is skipped
  std::string* collecting_ = nullptr;
  int collectDepth_ = 0;
};

void AnswerParser::elementBegun(const char* rawName, const char** attributes) {
  ++depth_;
  if (skipFrom_ != 0) return;
  if (restIgnoredFrom_ != 0) return skip();
  if (collecting_ != nullptr) {
    xml_->passOnCurrent();  // the tag, into the text being read
    return;
  }
  const Name name = splitName(rawName);
  const Marks marks = envelope_.marksOf(attributes);
  Step step;
  if (depth_ <= 3) {
    step = envelope_.start(depth_, name, marks);
    if (depth_ == 3 && step.kind == Step::Kind::kGoOn && envelope_.part() == AnswerEnvelope::Part::kWrapper)
      member_.wrapperBegun();
  } else if (envelope_.part() == AnswerEnvelope::Part::kFault) {
    step = fault_.start(depth_, name, marks, envelope_);
  } else {
    // A literal answer names no other element: one that does (the SOAP
    // encoding's multi-reference) cannot be read in one pass and is refused.
    if (marks.reference) return malformed();
    step = member_.start(depth_, name, marks);
  }
  if (step.kind == Step::Kind::kSkipUnknown) return skipUnknown(name, marks);
  take(step);
}

void AnswerParser::skipUnknown(const Name& name, const Marks& marks) {
  if ((marks.mustUnderstand && !marks.otherActor) || envelope_.inEnvelopeNamespace(name.ns)) {
    if (envelope_.part() == AnswerEnvelope::Part::kFault) return runtimeFault(fault_.textSoFar(envelope_.version()));
    return fail(Cause::kMustUnderstand);
  }
  skip();
}

void AnswerParser::take(const Step& step) {
  switch (step.kind) {
    case Step::Kind::kGoOn:
    case Step::Kind::kSkipUnknown: return;
    case Step::Kind::kSkip: return skip();
    case Step::Kind::kCollect: return collect(step.into);
    case Step::Kind::kIgnoreRest: restIgnoredFrom_ = depth_; return;
    case Step::Kind::kBroken: return fail(step.why);
    case Step::Kind::kNoResponse: return runtimeFault({});
    case Step::Kind::kFault:
      outcome_.kind = AnswerOutcome::Kind::kFault;
      outcome_.faultCode = fault_.code();
      if (!fault_.text().empty()) sink_.fault(fault_.text());
      return stop();
    case Step::Kind::kAnswered:
      member_.finish();
      outcome_.kind = AnswerOutcome::Kind::kSuccess;
      return stop();
  }
}

void AnswerParser::text(std::string_view text) {
  if (collecting_ != nullptr) {
    collecting_->append(text);
    return;
  }
  // The runtime passes over blanks, and a byte order mark, before an element.
  bool blank = true;
  for (size_t i = 0; blank && i < text.size(); ++i) {
    if (text.compare(i, 3, "\xEF\xBB\xBF") == 0)
      i += 2;
    else
      blank = text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n';
  }
  if (blank || skipFrom_ != 0 || stopped() || restIgnoredFrom_ != 0 || fault_.inCode()) return;
  take(envelope_.text(depth_));
}

void AnswerParser::elementEnded() {
  const int closing = depth_--;
  if (skipFrom_ != 0) {
    if (closing == skipFrom_) skipFrom_ = 0;
    return;
  }
  if (closing == restIgnoredFrom_) restIgnoredFrom_ = 0;
  if (collecting_ != nullptr) {
    if (closing > collectDepth_) return xml_->passOnCurrent();
    collecting_ = nullptr;
    if (envelope_.part() == AnswerEnvelope::Part::kWrapper) member_.collected();
    return;
  }
  if (closing <= 3) return take(envelope_.end(closing));
  if (envelope_.part() == AnswerEnvelope::Part::kFault) {
    if (closing == 4) fault_.endChild();
  } else {
    member_.end(closing);
  }
}

void AnswerParser::feed(std::string_view bytes, bool final) {
  if (stopped()) return;
  std::string_view ready = prolog_.take(bytes, final);
  if (!prolog_.settled()) return;
  if (!xml_) xml_.emplace(prolog_.parserEncoding(), *this);
  if (!xml_->parse(ready, final)) {
    if (!stopped()) malformed();
    return;
  }
  // The input ended before the envelope did.
  if (final && !stopped()) fail(Cause::kEnvelopeUnfinished);
}

AnswerOutcome AnswerParser::finish() {
  if (!stopped()) feed({}, true);
  const bool outOfMemory = xml_ && xml_->interrupted();
  sink_.outcome(outcome_.kind == AnswerOutcome::Kind::kSuccess && !outOfMemory);
  if (outOfMemory) throw std::bad_alloc();
  return outcome_;
}

AnswerReader::AnswerReader(const AnswerPlan& plan, AnswerSink& sink)
    : sink_(sink), parser_(std::make_unique<AnswerParser>(plan, sink)) {}

void AnswerReader::begin(int status, uint64_t announcedLength) {
  sink_.begin(announcedLength);
  parser_->begin(status);
}

AnswerReader::~AnswerReader() = default;

void AnswerReader::feed(const char* bytes, size_t count) {
  if (!parser_->stopped()) parser_->feed(std::string_view(bytes, count), false);
}

bool AnswerReader::settled() const { return parser_->stopped(); }

AnswerOutcome AnswerReader::finish() { return parser_->finish(); }

}  // namespace nv
