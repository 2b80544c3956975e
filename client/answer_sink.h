// SPDX-License-Identifier: MIT
// Where the answer reader reports what it reads, as it reads it: the
// caller's functions, called in reading order. The reader knows the wire
// (names, SOAP versions, faults); what becomes of the texts is the sink's.
// Texts are UTF-8, as the XML parser gives them.
#ifndef NV_CLIENT_ANSWER_SINK_H
#define NV_CLIENT_ANSWER_SINK_H

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace nv {

class AnswerSink {
 public:
  virtual ~AnswerSink() = default;

  // The body is about to come; announcedLength is its Content-Length, 0
  // when it gave none.
  virtual void begin(uint64_t announcedLength) = 0;
  // A row: a list entry, or the one row of a text or record answer.
  virtual void rowBegun() = 0;
  // A member of the row that is present: member is the index of its wire
  // name in the plan's distinct names (memberNames). Absent members give
  // no call. Each member comes at most once a row.
  virtual void value(size_t member, std::string_view utf8) = 0;
  virtual void rowEnded() = 0;
  // The text of the centre's fault, or of a fault read before the answer
  // was refused; never called with an empty text.
  virtual void fault(std::string_view utf8) = 0;
  // Called once, last: true when the answer was read through and its rows
  // stand, false when the rows given are void.
  virtual void outcome(bool success) = 0;
};

}  // namespace nv

#endif
