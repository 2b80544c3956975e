// SPDX-License-Identifier: MIT
#include "client/answer_reader.h"

#include <expat.h>

#include <cstdint>
#include <cstring>
#include <new>
#include <string_view>
#include <vector>

#include "text/allocation_gate.h"
#include "text/ascii_case.h"
#include "text/codec.h"
#include "text/gbk.h"
#include "text/result_document.h"
#include "text/texts.h"
#include "service_constants.h"

namespace nv {
namespace {

// expat joins a namespace URI and a local name with this byte, which no
// well-formed name or namespace URI holds.
constexpr char kNameSeparator = '\x01';

struct Name {
  std::string_view ns;  // empty: no namespace
  std::string_view local;
};

Name splitName(const XML_Char* name) {
  std::string_view whole(name);
  size_t separator = whole.find(kNameSeparator);
  if (separator == std::string_view::npos) return {{}, whole};
  return {whole.substr(0, separator), whole.substr(separator + 1)};
}

// The runtime's input patterns, "http://www.w3.org/*/<tail>", in any letter case.
bool matchesW3Pattern(std::string_view uri, std::string_view tail) {
  constexpr std::string_view head = "http://www.w3.org/";
  return uri.size() >= head.size() + 1 + tail.size() && equalsIgnoringCase(uri.substr(0, head.size()), head) &&
         uri[uri.size() - tail.size() - 1] == '/' && equalsIgnoringCase(uri.substr(uri.size() - tail.size()), tail);
}

constexpr std::string_view kSoap11Envelope = "http://schemas.xmlsoap.org/soap/envelope/";
constexpr std::string_view kSoap12Envelope = "http://www.w3.org/2003/05/soap-envelope";

}  // namespace

// A namespace of the runtime's table that also takes input patterns: the
// first declared URI that matches the pattern is the namespace's for the rest
// of the answer, beside the URI written.
class TableNamespace {
 public:
  TableNamespace(std::string_view uri, std::string_view patternTail) : uri_(uri), patternTail_(patternTail) {}
  void declared(std::string_view uri) {
    if (!bound_ && uri != uri_ && matchesW3Pattern(uri, patternTail_)) {
      bound_ = true;
      boundUri_ = uri;
    }
  }
  bool holds(std::string_view uri) const { return uri == uri_ || (bound_ && uri == boundUri_); }
  bool bound() const { return bound_; }
  const std::string& boundUri() const { return boundUri_; }

 private:
  std::string_view uri_, patternTail_;
  bool bound_ = false;
  std::string boundUri_;
};

namespace {

bool isTrue(std::string_view value) { return value == "1" || value == "true"; }

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The encoding an XML declaration names, or "" when there is none.
std::string_view declaredEncoding(std::string_view head) {
  if (head.substr(0, 5) != "<?xml") return {};
  size_t end = head.find("?>");
  std::string_view declaration = head.substr(0, end);
  size_t at = declaration.find("encoding");
  if (at == std::string_view::npos) return {};
  size_t quote = declaration.find_first_of("\"'", at);
  if (quote == std::string_view::npos) return {};
  size_t close = declaration.find(declaration[quote], quote + 1);
  if (close == std::string_view::npos) return {};
  return declaration.substr(quote + 1, close - quote - 1);
}

bool isChineseEncoding(std::string_view encoding) {
  return equalsIgnoringCase(encoding, "GBK") || equalsIgnoringCase(encoding, "GB2312") ||
         equalsIgnoringCase(encoding, "GB18030");
}

bool isEncodingExpatReads(std::string_view encoding) {
  return encoding.empty() || equalsIgnoringCase(encoding, "UTF-8") || equalsIgnoringCase(encoding, "UTF-16") ||
         equalsIgnoringCase(encoding, "ISO-8859-1") || equalsIgnoringCase(encoding, "US-ASCII");
}

}  // namespace

// The parser behind AnswerReader: expat's events, walked as the runtime
// walks the answer, straight into the document.
class AnswerParser {
 public:
  AnswerParser(const AnswerPlan& plan, ResultDocument& doc, int status)
      : status_(status), plan_(plan), doc_(doc), mark_(doc.text().size()) {
    for (const ColumnPlan& column : plan.columns) {
      size_t slot = 0;
      while (slot < slotNames_.size() && slotNames_[slot] != column.wireName) ++slot;
      if (slot == slotNames_.size()) slotNames_.emplace_back(column.wireName);
      slotOfColumn_.push_back(slot);
    }
    slots_.resize(slotNames_.size());
    taken_.resize(slotNames_.size());
    present_.resize(slotNames_.size());
  }
  ~AnswerParser() {
    if (parser_ != nullptr) XML_ParserFree(parser_);
  }
  AnswerParser(const AnswerParser&) = delete;
  AnswerParser& operator=(const AnswerParser&) = delete;

  void feed(const char* bytes, size_t count, bool final);
  bool stopped() const { return stopped_; }
  AnswerOutcome finish();

 private:
  enum class Part { kEnvelope, kHeader, kBody, kWrapper, kFault, kAfterBody };

  // ---- body bytes into the parser ----
  void startParser(bool final);
  void parse(const char* bytes, size_t count, bool final);

  // ---- parser events ----
  // Nothing may be thrown through the parser's C frames: memory running out
  // in a handler stops the parser, and read() throws once it has returned.
  template <class Handler>
  static void guarded(void* self, Handler&& handler) {
    auto* reader = static_cast<AnswerParser*>(self);
    try {
      handler(*reader);
    } catch (...) {
      reader->outOfMemory_ = true;
      reader->stop();
    }
  }
  static void XMLCALL onStart(void* self, const XML_Char* name, const XML_Char** attributes) {
    guarded(self, [&](AnswerParser& reader) { reader.start(name, attributes); });
  }
  static void XMLCALL onEnd(void* self, const XML_Char*) {
    guarded(self, [](AnswerParser& reader) { reader.end(); });
  }
  static void XMLCALL onText(void* self, const XML_Char* text, int length) {
    guarded(self, [&](AnswerParser& reader) {
      if (reader.collecting_ != nullptr) {
        reader.collecting_->append(text, static_cast<size_t>(length));
        return;
      }
      // The runtime passes over blanks, and a byte order mark, before an element.
      std::string_view rest(text, static_cast<size_t>(length));
      for (size_t i = 0; i < rest.size(); ++i) {
        if (rest.compare(i, 3, "\xEF\xBB\xBF") == 0)
          i += 2;
        else if (!isBlank(rest[i]))
          return reader.textBetweenElements();
      }
    });
  }
  // Comments, processing instructions and the tags of elements inside a
  // text member stay in the text as they were written, as the runtime keeps them.
  static void XMLCALL onOther(void* self, const XML_Char* text, int length) {
    guarded(self, [&](AnswerParser& reader) {
      if (reader.collecting_ != nullptr) reader.collecting_->append(text, static_cast<size_t>(length));
    });
  }
  static void XMLCALL onCdataEdge(void*) {}
  static void XMLCALL onNamespace(void* self, const XML_Char*, const XML_Char* uri) {
    guarded(self, [&](AnswerParser& reader) {
      std::string_view declared = uri != nullptr ? uri : "";
      reader.envelopeNs_.declared(declared);
      reader.instanceNs_.declared(declared);
      reader.encodingNs_.declared(declared);
    });
  }
  static void XMLCALL onDoctype(void* self, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    // A SOAP message carries no document type: nothing is declared, expanded or fetched.
    static_cast<AnswerParser*>(self)->malformed();
  }

  void start(const XML_Char* rawName, const XML_Char** attributes);
  // The runtime reads the children of an element until something that is
  // not an element: text there ends the reading of that element.
  void textBetweenElements();
  void end();

  // ---- what an element is ----
  struct Marks {
    bool nil = false;
    bool mustUnderstand = false;
    bool otherActor = false;
    bool reference = false;  // SOAP encoding's href or ref: an element stands for another
  };
  Marks marksOf(const XML_Char** attributes) const;
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
  size_t slotOf(std::string_view local) const {
    for (size_t slot = 0; slot < slotNames_.size(); ++slot)
      if (slotNames_[slot] == local) return slot;
    return slotNames_.size();
  }
  // A member of a record or list entry, at the depth of the entry's members.
  void startMember(const Name& name, const Marks& marks);

  // ---- outcomes ----
  void stop() {
    stopped_ = true;
    XML_StopParser(parser_, XML_FALSE);
  }
  // The answer cannot be read: no fault record, the major exception.
  void fail(const char* why) {
    outcome_.kind = AnswerOutcome::Kind::kBroken;
    if (outcome_.cause.empty()) outcome_.cause = why;
    stop();
  }
  void malformed() {
    // Where the parser stopped; before its first event, the bytes it was given.
    auto at = static_cast<int64_t>(XML_GetCurrentByteIndex(parser_));
    outcome_.malformedAt = skippedBlanks_ + (at >= 0 ? at : parsedBytes_);
    outcome_.cause = "malformed answer at byte " + std::to_string(outcome_.malformedAt);
    fail("");
  }
  // A 2xx answer whose Body holds no element is an answer without members
  // to the runtime, which the reader then refuses.
  bool statusIsSuccess() const { return status_ >= 200 && status_ <= 299; }
  // The Body holds no answer that can be read: the runtime records the
  // HTTP status as a client fault, keeping a fault text already read.
  void runtimeFault(const std::string& textSoFar);

  // ---- the result ----
  void beginRow();
  void writeRow();
  void appendValue(const std::string& utf8);
  void finishSuccess();

  const int status_;
  const AnswerPlan& plan_;
  ResultDocument& doc_;
  const size_t mark_;  // where this answer's part of the document starts

  XML_Parser parser_ = nullptr;
  bool started_ = false;
  bool transcode_ = false;
  Gb18030ToUtf8 transcoder_;
  std::string head_;           // the first bytes, held until the declaration is read
  std::string converted_;      // transcoded bytes on their way to the parser
  int64_t skippedBlanks_ = 0;  // blanks and a byte order mark before the XML
  bool bomSeen_ = false;
  int64_t parsedBytes_ = 0;  // given to the parser so far

  bool stopped_ = false;
  bool outOfMemory_ = false;
  AnswerOutcome outcome_;

  int depth_ = 0;
  int skipFrom_ = 0;         // non-zero: skipping the element opened at this depth
  int restIgnoredFrom_ = 0;  // non-zero: the rest of the element opened at this depth is skipped
  Part part_ = Part::kEnvelope;
  int version_ = 1;
  bool headerSeen_ = false;
  TableNamespace envelopeNs_{kSoap11Envelope, "soap-envelope"};
  TableNamespace instanceNs_{"http://www.w3.org/2001/XMLSchema-instance", "XMLSchema-instance"};
  TableNamespace encodingNs_{"http://schemas.xmlsoap.org/soap/encoding/", "soap-encoding"};
  std::string* collecting_ = nullptr;
  int collectDepth_ = 0;

  // The response member and the entry being read.
  bool memberTaken_ = false;
  bool memberOpen_ = false;                  // inside the record or list element
  bool inEntry_ = false;                     // inside a list entry
  std::vector<std::string_view> slotNames_;  // the distinct wire names the columns read
  std::vector<size_t> slotOfColumn_;
  std::vector<std::string> slots_;
  std::vector<char> taken_;
  std::vector<char> present_;
  std::string scratch_;
  int32_t rows_ = 0;

  // The fault being read.
  bool faultStringTaken_ = false, reasonTaken_ = false, reasonTextTaken_ = false, inReason_ = false;
  bool faultCodeTaken_ = false, codeTaken_ = false, inCode_ = false;
  std::string faultString_, reasonText_, faultCode_;
};

AnswerParser::Marks AnswerParser::marksOf(const XML_Char** attributes) const {
  Marks marks;
  for (const XML_Char** a = attributes; *a != nullptr; a += 2) {
    Name name = splitName(a[0]);
    std::string_view value(a[1]);
    if (name.ns.empty()) {
      if (name.local == "href") marks.reference = true;
      continue;
    }
    if (name.local == "ref" && encodingNs_.holds(name.ns)) marks.reference = true;
    if (instanceNs_.holds(name.ns)) {
      if ((name.local == "nil" || name.local == "null") && isTrue(value)) marks.nil = true;
    } else if (envelopeNs_.holds(name.ns)) {
      if (name.local == "mustUnderstand" && isTrue(value)) marks.mustUnderstand = true;
      if (version_ == 1 && name.local == "actor" && value != "http://schemas.xmlsoap.org/soap/actor/next")
        marks.otherActor = true;
      if (version_ == 2 && name.local == "role" && value != "http://www.w3.org/2003/05/soap-envelope/role/next")
        marks.otherActor = true;
    }
  }
  return marks;
}

void AnswerParser::skipUnknown(const Name& name, const Marks& marks) {
  if ((marks.mustUnderstand && !marks.otherActor) || envelopeNs_.holds(name.ns)) {
    if (part_ == Part::kFault) return runtimeFault(version_ == 2 ? reasonText_ : faultString_);
    return fail("an element that must be understood");
  }
  skip();
}

void AnswerParser::textBetweenElements() {
  if (skipFrom_ != 0 || stopped_ || restIgnoredFrom_ != 0 || inCode_) return;
  switch (part_) {
    case Part::kEnvelope:  // before the Body: the Body is not found
      if (depth_ <= 1) fail("no SOAP Body");
      return;
    case Part::kBody:  // a Body without an answer in it
      if (depth_ != 2) return;
      if (statusIsSuccess()) return fail("no response in the answer's Body");
      return runtimeFault({});
    case Part::kAfterBody: return;
    default: restIgnoredFrom_ = depth_;
  }
}

void AnswerParser::start(const XML_Char* rawName, const XML_Char** attributes) {
  ++depth_;
  if (skipFrom_ != 0) return;
  if (restIgnoredFrom_ != 0) return skip();
  if (collecting_ != nullptr) {
    XML_DefaultCurrent(parser_);  // the tag, into the text being read
    return;
  }
  const Name name = splitName(rawName);
  const Marks marks = marksOf(attributes);
  switch (depth_) {
    case 1:
      if (name.local != "Envelope" || !envelopeNs_.holds(name.ns)) return fail("not a SOAP envelope");
      // The version is the envelope namespace's: SOAP 1.1 unless a SOAP 1.2
      // pattern was met, and then only the SOAP 1.2 namespace itself; in any
      // other the runtime does not enter the Body.
      if (!envelopeNs_.bound())
        version_ = 1;
      else if (envelopeNs_.boundUri() == kSoap12Envelope)
        version_ = 2;
      else
        return fail("a SOAP envelope of an unknown version");
      return;
    case 2:
      if (part_ == Part::kAfterBody) return skip();
      if (envelopeNs_.holds(name.ns) && name.local == "Header" && !headerSeen_) {
        headerSeen_ = true;
        part_ = Part::kHeader;
        return;
      }
      if (envelopeNs_.holds(name.ns) && name.local == "Body") {
        part_ = Part::kBody;
        return;
      }
      return fail("no SOAP Body");
    case 3:
      if (part_ == Part::kHeader) return skipUnknown(name, marks);
      if (part_ == Part::kAfterBody) return skip();
      // The first element of the Body is the answer, a fault, or neither.
      if (!marks.otherActor && name.local == plan_.wrapper && name.ns == NV_SERVICE_NAMESPACE) {
        part_ = Part::kWrapper;
        return;
      }
      if (!marks.otherActor && name.local == "Fault" && envelopeNs_.holds(name.ns)) {
        part_ = Part::kFault;
        return;
      }
      return runtimeFault({});
    default: break;
  }

  // A literal answer names no other element: one that does (the SOAP
  // encoding's multi-reference) cannot be read in one pass and is refused.
  if (part_ == Part::kWrapper && marks.reference) return malformed();

  if (part_ == Part::kFault) {
    if (depth_ == 4) {
      if (name.local == "faultstring" && !faultStringTaken_ && !marks.otherActor) {
        faultStringTaken_ = true;
        return marks.nil ? skip() : collect(&faultString_);
      }
      if (name.local == "Reason" && envelopeNs_.holds(name.ns) && !reasonTaken_ && !marks.otherActor) {
        reasonTaken_ = true;
        if (marks.nil) return skip();
        inReason_ = true;
        return;
      }
      // The code only names the kind of fault, for the trace.
      if (name.local == "faultcode" && !faultCodeTaken_ && !marks.otherActor) {
        faultCodeTaken_ = true;
        return marks.nil ? skip() : collect(&faultCode_);
      }
      if (name.local == "Code" && envelopeNs_.holds(name.ns) && !codeTaken_ && !marks.otherActor) {
        codeTaken_ = true;
        if (marks.nil) return skip();
        inCode_ = true;
        return;
      }
      bool known =
          ((name.local == "faultcode" || name.local == "faultactor" || name.local == "detail") && !marks.otherActor) ||
          (envelopeNs_.holds(name.ns) &&
           (name.local == "Code" || name.local == "Node" || name.local == "Role" || name.local == "Detail"));
      return known ? skip() : skipUnknown(name, marks);
    }
    // Inside a SOAP 1.2 Code only its Value is read, for the trace; the rest
    // of it is passed over as the Code once was as a whole.
    if (inCode_) {
      if (depth_ == 5 && name.local == "Value" && envelopeNs_.holds(name.ns) && faultCode_.empty())
        return marks.nil ? skip() : collect(&faultCode_);
      return skip();
    }
    if (inReason_ && depth_ == 5 && name.local == "Text" && envelopeNs_.holds(name.ns) && !reasonTextTaken_) {
      reasonTextTaken_ = true;
      return marks.nil ? skip() : collect(&reasonText_);
    }
    return skipUnknown(name, marks);
  }

  // Inside the response wrapper.
  if (depth_ == 4) {
    if (plan_.shape == AnswerShape::kNone || memberTaken_ || marks.otherActor || name.local != plan_.member)
      return skipUnknown(name, marks);
    memberTaken_ = true;
    if (marks.nil) return skip();  // the member stays absent
    if (plan_.shape == AnswerShape::kText) {
      taken_[0] = present_[0] = true;
      return collect(&slots_[0]);
    }
    memberOpen_ = true;
    if (plan_.shape == AnswerShape::kRecord) beginRow();
    return;
  }
  if (!memberOpen_) return skip();
  if (plan_.shape == AnswerShape::kRecord) {
    if (depth_ == 5) return startMember(name, marks);
    return skip();
  }
  // A list: its entries, then each entry's members.
  if (depth_ == 5) {
    if (name.local != "list" || marks.otherActor) return skipUnknown(name, marks);
    if (marks.nil) return skip();  // a nil entry gives no row
    inEntry_ = true;
    return beginRow();
  }
  if (depth_ == 6 && inEntry_) return startMember(name, marks);
  skip();
}

void AnswerParser::startMember(const Name& name, const Marks& marks) {
  size_t slot = marks.otherActor ? slotNames_.size() : slotOf(name.local);
  if (slot == slotNames_.size() || taken_[slot]) return skipUnknown(name, marks);
  taken_[slot] = true;
  if (marks.nil) return skip();
  present_[slot] = true;
  collect(&slots_[slot]);
}

void AnswerParser::end() {
  const int closing = depth_--;
  if (skipFrom_ != 0) {
    if (closing == skipFrom_) skipFrom_ = 0;
    return;
  }
  if (closing == restIgnoredFrom_) restIgnoredFrom_ = 0;
  if (collecting_ != nullptr) {
    if (closing > collectDepth_) return XML_DefaultCurrent(parser_);
    collecting_ = nullptr;
    return;
  }
  switch (closing) {
    case 1:  // the envelope is read through
      if (part_ != Part::kAfterBody) return fail("no SOAP Body");
      finishSuccess();
      return stop();
    case 2:
      if (part_ == Part::kHeader) part_ = Part::kEnvelope;
      if (part_ != Part::kBody) return;
      // A Body with no answer in it.
      if (statusIsSuccess()) return fail("no response in the answer's Body");
      return runtimeFault({});
    case 3:
      if (part_ == Part::kFault) {
        outcome_.kind = AnswerOutcome::Kind::kFault;
        outcome_.faultCode = faultCode_.substr(faultCode_.find(':') + 1);  // npos + 1: all of it
        const std::string& text = !faultString_.empty() || reasonText_.empty() ? faultString_ : reasonText_;
        if (isAscii(text)) {
          outcome_.faultText = text;
        } else {
          appendUtf8AsGbk(outcome_.faultText, text);
        }
        return stop();
      }
      part_ = Part::kAfterBody;  // the wrapper is read
      return;
    case 4: memberOpen_ = inReason_ = inCode_ = false; return;
    case 5:
      if (inEntry_) {
        writeRow();
        inEntry_ = false;
      }
      return;
    default: return;
  }
}

void AnswerParser::runtimeFault(const std::string& textSoFar) {
  outcome_.kind = AnswerOutcome::Kind::kNoResponse;
  outcome_.faultText.clear();
  appendUtf8AsGbk(outcome_.faultText, textSoFar);
  outcome_.cause = "no response to the operation in the answer (HTTP " + std::to_string(status_) + ")";
  stop();
}

void AnswerParser::beginRow() {
  for (size_t slot = 0; slot < slots_.size(); ++slot) taken_[slot] = present_[slot] = false;
}

void AnswerParser::appendValue(const std::string& utf8) {
  if (isAscii(utf8)) return appendDecodedField(doc_.text(), utf8);
  scratch_.clear();
  appendUtf8AsGbk(scratch_, utf8);
  appendDecodedField(doc_.text(), scratch_);
}

void AnswerParser::writeRow() {
  doc_.appendRowOpen(rows_++);
  for (size_t i = 0; i < plan_.columns.size(); ++i) {
    doc_.appendColumnOpen(plan_.columns[i].colnum, plan_.columns[i].colname);
    size_t slot = slotOfColumn_[i];
    if (present_[slot]) appendValue(slots_[slot]);
    doc_.appendColumnClose();
  }
  doc_.appendRowClose();
}

void AnswerParser::finishSuccess() {
  // Text and record answers are one row, present or not; a list's rows are
  // written already.
  if (plan_.shape == AnswerShape::kText || plan_.shape == AnswerShape::kRecord) writeRow();
  ResultDocument head;
  head.appendOutCode(texts::kSuccessCode);
  head.appendOutText(texts::kSuccess);
  if (plan_.shape == AnswerShape::kNone) {
    head.appendDataOpen(0, 0);
  } else {
    head.appendDataOpen(rows_, static_cast<int32_t>(plan_.columns.size()));
  }
  // The row count leads the rows: one move of the rows makes room for it.
  doc_.text().insert(mark_, head.text());
  outcome_.kind = AnswerOutcome::Kind::kSuccess;
}

void AnswerParser::startParser(bool final) {
  std::string_view encoding = declaredEncoding(head_);
  transcode_ = isChineseEncoding(encoding);
  // A declared encoding expat does not know is read as UTF-8, as the
  // runtime reads every answer.
  const char* override = transcode_ || !isEncodingExpatReads(encoding) ? "UTF-8" : nullptr;
  // The parser's memory through the library's own gate.
  static const XML_Memory_Handling_Suite kMemory = {gatedMalloc, gatedRealloc, gatedFree};
  static const XML_Char kSeparator[] = {kNameSeparator, '\0'};
  parser_ = XML_ParserCreate_MM(override, &kMemory, kSeparator);
  if (parser_ == nullptr) throw std::bad_alloc();
  XML_SetUserData(parser_, this);
  XML_SetElementHandler(parser_, onStart, onEnd);
  XML_SetCharacterDataHandler(parser_, onText);
  XML_SetDefaultHandlerExpand(parser_, onOther);
  XML_SetCdataSectionHandler(parser_, onCdataEdge, onCdataEdge);
  XML_SetStartDoctypeDeclHandler(parser_, onDoctype);
  XML_SetStartNamespaceDeclHandler(parser_, onNamespace);
  started_ = true;
  std::string held;
  held.swap(head_);
  parse(held.data(), held.size(), final);
}

void AnswerParser::parse(const char* bytes, size_t count, bool final) {
  if (stopped_) return;
  if (transcode_) {
    converted_.clear();
    transcoder_.append(converted_, std::string_view(bytes, count));
    if (final) transcoder_.finish(converted_);
    bytes = converted_.data();
    count = converted_.size();
  }
  // expat takes an int count: very large pieces go in parts.
  constexpr size_t kMostAtOnce = 1 << 30;
  do {
    size_t part = count < kMostAtOnce ? count : kMostAtOnce;
    bool last = final && part == count;
    parsedBytes_ += static_cast<int64_t>(part);
    if (XML_Parse(parser_, bytes, static_cast<int>(part), last) == XML_STATUS_ERROR) {
      if (!stopped_) malformed();
      return;
    }
    bytes += part;
    count -= part;
  } while (count > 0);
  // The input ended before the envelope did.
  if (final && !stopped_) fail("the answer ended before its envelope did");
}

void AnswerParser::feed(const char* bytes, size_t count, bool final) {
  if (started_) return parse(bytes, count, final);
  // Blanks before the XML declaration, which the runtime passes over.
  while (head_.empty() && count > 0 && isBlank(*bytes)) {
    ++bytes;
    --count;
    ++skippedBlanks_;
  }
  head_.append(bytes, count);
  // A UTF-8 byte order mark: the declaration that may follow it names the encoding.
  if (!bomSeen_ && head_.size() >= 3 && head_.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    bomSeen_ = true;
    size_t blanks = 3;
    while (blanks < head_.size() && isBlank(head_[blanks])) ++blanks;
    head_.erase(0, blanks);
    skippedBlanks_ += static_cast<int64_t>(blanks);
  }
  // The declaration, if any, is read whole before the parser is chosen.
  bool declarationRead =
      head_.size() >= 5 && (head_.compare(0, 5, "<?xml") != 0 || head_.find("?>") != std::string::npos);
  if (declarationRead || head_.size() >= 4096 || final) startParser(final);
}

AnswerOutcome AnswerParser::finish() {
  if (!stopped_) feed(nullptr, 0, true);
  if (outcome_.kind != AnswerOutcome::Kind::kSuccess || outOfMemory_) doc_.text().resize(mark_);
  if (outOfMemory_) throw std::bad_alloc();
  return outcome_;
}

AnswerReader::AnswerReader(const AnswerPlan& plan, ResultDocument& doc, int status, uint64_t announcedLength) {
  // The whole document grows once when the answer says how long it is (it
  // comes to about twice the answer). The length is the centre's word, so
  // no more than 256 MB is set aside on it; beyond that the text doubles.
  constexpr uint64_t kMostSetAside = uint64_t{256} << 20;
  if (announcedLength > 0) {
    uint64_t room = announcedLength < kMostSetAside / 2 ? announcedLength * 2 + 256 : kMostSetAside;
    doc.makeRoom(static_cast<size_t>(room < SIZE_MAX ? room : SIZE_MAX));
  }
  parser_ = std::make_unique<AnswerParser>(plan, doc, status);
}

AnswerReader::~AnswerReader() = default;

void AnswerReader::feed(const char* bytes, size_t count) {
  if (!parser_->stopped()) parser_->feed(bytes, count, false);
}

bool AnswerReader::settled() const { return parser_->stopped(); }

AnswerOutcome AnswerReader::finish() { return parser_->finish(); }

}  // namespace nv
