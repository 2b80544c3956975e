// SPDX-License-Identifier: MIT
#include "client/answer_envelope.h"

#include "text/ascii_case.h"
#include "service_constants.h"

namespace nv {
namespace {

// The runtime's input patterns, "http://www.w3.org/*/<tail>", in any letter case.
bool matchesW3Pattern(std::string_view uri, std::string_view tail) {
  constexpr std::string_view head = "http://www.w3.org/";
  return uri.size() >= head.size() + 1 + tail.size() && equalsIgnoringCase(uri.substr(0, head.size()), head) &&
         uri[uri.size() - tail.size() - 1] == '/' && equalsIgnoringCase(uri.substr(uri.size() - tail.size()), tail);
}

constexpr std::string_view kSoap12Envelope = "http://www.w3.org/2003/05/soap-envelope";

bool isTrue(std::string_view value) { return value == "1" || value == "true"; }

}  // namespace

void TableNamespace::declared(std::string_view uri) {
  if (!bound_ && uri != uri_ && matchesW3Pattern(uri, patternTail_)) {
    bound_ = true;
    boundUri_ = uri;
  }
}

void AnswerEnvelope::declared(std::string_view uri) {
  envelopeNs_.declared(uri);
  instanceNs_.declared(uri);
  encodingNs_.declared(uri);
}

Marks AnswerEnvelope::marksOf(const char** attributes) const {
  Marks marks;
  for (const char** a = attributes; *a != nullptr; a += 2) {
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

Step AnswerEnvelope::start(int depth, const Name& name, const Marks& marks) {
  switch (depth) {
    case 1:
      if (name.local != "Envelope" || !envelopeNs_.holds(name.ns)) return Step::broken(Cause::kNotSoapEnvelope);
      // The version is the envelope namespace's: SOAP 1.1 unless a SOAP 1.2
      // pattern was met, and then only the SOAP 1.2 namespace itself; in any
      // other the runtime does not enter the Body.
      if (!envelopeNs_.bound())
        version_ = 1;
      else if (envelopeNs_.boundUri() == kSoap12Envelope)
        version_ = 2;
      else
        return Step::broken(Cause::kUnknownSoapVersion);
      return Step::goOn();
    case 2:
      if (part_ == Part::kAfterBody) return Step::skip();
      if (envelopeNs_.holds(name.ns) && name.local == "Header" && !headerSeen_) {
        headerSeen_ = true;
        part_ = Part::kHeader;
        return Step::goOn();
      }
      if (envelopeNs_.holds(name.ns) && name.local == "Body") {
        part_ = Part::kBody;
        return Step::goOn();
      }
      return Step::broken(Cause::kNoSoapBody);
    default:
      if (part_ == Part::kHeader) return Step::skipUnknown();
      if (part_ == Part::kAfterBody) return Step::skip();
      // The first element of the Body is the answer, a fault, or neither.
      if (!marks.otherActor && name.local == wrapper_ && name.ns == NV_SERVICE_NAMESPACE) {
        part_ = Part::kWrapper;
        return Step::goOn();
      }
      if (!marks.otherActor && name.local == "Fault" && envelopeNs_.holds(name.ns)) {
        part_ = Part::kFault;
        return Step::goOn();
      }
      return Step::of(Step::Kind::kNoResponse);
  }
}

Step AnswerEnvelope::emptyBody() const {
  if (status_ >= 200 && status_ <= 299) return Step::broken(Cause::kNoResponseInBody);
  return Step::of(Step::Kind::kNoResponse);
}

Step AnswerEnvelope::end(int closing) {
  switch (closing) {
    case 1:
      if (part_ != Part::kAfterBody) return Step::broken(Cause::kNoSoapBody);
      return Step::of(Step::Kind::kAnswered);
    case 2:
      if (part_ == Part::kHeader) part_ = Part::kEnvelope;
      if (part_ != Part::kBody) return Step::goOn();
      return emptyBody();  // a Body with no answer in it
    default:
      if (part_ == Part::kFault) return Step::of(Step::Kind::kFault);
      part_ = Part::kAfterBody;  // the wrapper is read
      return Step::goOn();
  }
}

// The runtime reads the children of an element until something that is not
// an element: text there ends the reading of that element.
Step AnswerEnvelope::text(int depth) const {
  switch (part_) {
    case Part::kEnvelope:  // before the Body: the Body is not found
      return depth <= 1 ? Step::broken(Cause::kNoSoapBody) : Step::goOn();
    case Part::kBody:  // a Body without an answer in it
      return depth == 2 ? emptyBody() : Step::goOn();
    case Part::kAfterBody: return Step::goOn();
    default: return Step::of(Step::Kind::kIgnoreRest);
  }
}

}  // namespace nv
