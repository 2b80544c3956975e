// SPDX-License-Identifier: MIT
// The head of the centre's answer, fed the lines the HTTP library hands
// over one by one (status lines of interim answers included), never a
// socket. It decides whether the body is read as SOAP.
#ifndef NV_CLIENT_ANSWER_HEAD_H
#define NV_CLIENT_ANSWER_HEAD_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "client/call_status.h"

namespace nv {

class AnswerHead {
 public:
  enum class Verdict {
    kPending,    // the head is not complete yet
    kReadBody,   // read the body as a SOAP message
    kHttpError,  // refused as the runtime refuses it: "HTTP Error"
    kBroken,     // not an answer the runtime reads at all: the major exception
  };

  explicit AnswerHead(size_t limit) : limit_(limit) {}

  // One line, with its line end. Returns the verdict so far; once it is
  // not kPending, later lines are not looked at.
  Verdict take(std::string_view line);

  Verdict verdict() const { return verdict_; }
  int status() const { return status_; }
  // The Content-Length the answer announced, 0 when none.
  uint64_t announcedLength() const { return length_; }
  // Why the head was refused; ok while it is not.
  const CallStatus& refusal() const { return refusal_; }

 private:
  Verdict refuse(Verdict verdict, Cause cause);
  void header(std::string_view name, std::string_view value);
  Verdict complete();

  size_t limit_;
  size_t taken_ = 0;
  Verdict verdict_ = Verdict::kPending;
  bool inHead_ = false;
  int status_ = 0;
  uint64_t length_ = 0;
  bool badLength_ = false, encoded_ = false;
  CallStatus refusal_ = CallStatus::ok();
};

}  // namespace nv

#endif
