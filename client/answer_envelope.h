// SPDX-License-Identifier: MIT
// The frame of an answer: the Envelope and its SOAP version, a Header
// passed over, the Body and its first element, which is the response, a
// fault or neither. It also reads the marks of every element, since those
// depend on the namespaces and the version the envelope settles.
#ifndef NV_CLIENT_ANSWER_ENVELOPE_H
#define NV_CLIENT_ANSWER_ENVELOPE_H

#include <string>
#include <string_view>

#include "client/answer_step.h"

namespace nv {

// A namespace of the runtime's table that also takes input patterns: the
// first declared URI that matches the pattern is the namespace's for the rest
// of the answer, beside the URI written.
class TableNamespace {
 public:
  TableNamespace(std::string_view uri, std::string_view patternTail) : uri_(uri), patternTail_(patternTail) {}
  void declared(std::string_view uri);
  bool holds(std::string_view uri) const { return uri == uri_ || (bound_ && uri == boundUri_); }
  bool bound() const { return bound_; }
  const std::string& boundUri() const { return boundUri_; }

 private:
  std::string_view uri_, patternTail_;
  bool bound_ = false;
  std::string boundUri_;
};

class AnswerEnvelope {
 public:
  enum class Part { kEnvelope, kHeader, kBody, kWrapper, kFault, kAfterBody };

  // wrapper: the local name of the response element.
  explicit AnswerEnvelope(std::string_view wrapper) : wrapper_(wrapper) {}
  // The answer's HTTP status, before its body.
  void begin(int status) { status_ = status; }

  void declared(std::string_view uri);
  Marks marksOf(const char** attributes) const;
  bool inEnvelopeNamespace(std::string_view ns) const { return envelopeNs_.holds(ns); }
  int version() const { return version_; }
  Part part() const { return part_; }

  // An element at depth 1 to 3 (the Envelope, its children, the Body's).
  Step start(int depth, const Name& name, const Marks& marks);
  // The end of an element at depth 1 to 3.
  Step end(int closing);
  // Text other than blanks between elements, at this depth.
  Step text(int depth) const;

 private:
  // A 2xx answer whose Body holds no element is an answer without members
  // to the runtime, which the reader then refuses; any other status is
  // recorded as the runtime's client fault.
  Step emptyBody() const;

  std::string_view wrapper_;
  int status_ = 0;
  Part part_ = Part::kEnvelope;
  int version_ = 1;
  bool headerSeen_ = false;
  TableNamespace envelopeNs_{"http://schemas.xmlsoap.org/soap/envelope/", "soap-envelope"};
  TableNamespace instanceNs_{"http://www.w3.org/2001/XMLSchema-instance", "XMLSchema-instance"};
  TableNamespace encodingNs_{"http://schemas.xmlsoap.org/soap/encoding/", "soap-encoding"};
};

}  // namespace nv

#endif
