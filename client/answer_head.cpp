// SPDX-License-Identifier: MIT
#include "client/answer_head.h"

#include "text/ascii_case.h"

namespace nv {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The status of "HTTP/1.1 200 OK"; 0 when the line holds none.
int statusOf(std::string_view line) {
  size_t space = line.find(' ');
  if (space == std::string_view::npos) return 0;
  int status = 0;
  size_t at = space + 1, digits = 0;
  for (; at < line.size() && line[at] >= '0' && line[at] <= '9' && digits < 4; ++at, ++digits)
    status = status * 10 + (line[at] - '0');
  return digits == 0 ? 0 : status;
}

}  // namespace

// The detail holds what every refusal of a head may need: the status and the limit.
AnswerHead::Verdict AnswerHead::refuse(Verdict verdict, Cause cause) {
  refusal_ = CallStatus::failed(cause, CauseDetail().withStatus(status_).withBytes(static_cast<int64_t>(limit_)));
  return verdict_ = verdict;
}

AnswerHead::Verdict AnswerHead::take(std::string_view line) {
  if (verdict_ != Verdict::kPending) return verdict_;
  taken_ += line.size();
  if (taken_ > limit_) return refuse(Verdict::kHttpError, Cause::kHeadTooLarge);
  std::string_view text = trimmed(line);
  if (!inHead_) {
    // A status line opens a head: the final answer's, or an interim one's.
    inHead_ = true;
    status_ = statusOf(text);
    length_ = 0;
    badLength_ = encoded_ = false;
    return verdict_;
  }
  // Only an empty line ends a head: a line of blanks folds the one before.
  if (line == "\r\n" || line == "\n") {
    inHead_ = false;
    // An interim answer (100 Continue and the like) is followed by the real one.
    if (status_ >= 100 && status_ <= 199) return verdict_;
    return complete();
  }
  size_t colon = text.find(':');
  if (colon != std::string_view::npos) header(trimmed(text.substr(0, colon)), trimmed(text.substr(colon + 1)));
  return verdict_;
}

void AnswerHead::header(std::string_view name, std::string_view value) {
  if (equalsIgnoringCase(name, "Content-Length")) {
    // A plain decimal number, or the runtime would take a wrapped size.
    uint64_t length = 0;
    bool plain = !value.empty() && value.size() <= 18;
    for (char c : value) {
      plain = plain && c >= '0' && c <= '9';
      length = length * 10 + static_cast<uint64_t>(c - '0');
    }
    if (!plain) badLength_ = true;
    length_ = plain ? length : 0;
  } else if (equalsIgnoringCase(name, "Content-Encoding")) {
    // No coding is decoded: a compressed body could not be read.
    if (!value.empty() && !equalsIgnoringCase(value, "identity")) encoded_ = true;
  }
}

AnswerHead::Verdict AnswerHead::complete() {
  // Statuses the runtime reads as SOAP: a fault normally comes with 400 or 500.
  if ((status_ >= 200 && status_ <= 299) || status_ == 400 || status_ == 500) {
    if (badLength_) return refuse(Verdict::kHttpError, Cause::kContentLengthNotNumber);
    if (encoded_) return refuse(Verdict::kHttpError, Cause::kEncodedBody);
    return verdict_ = Verdict::kReadBody;
  }
  if (status_ >= 100 && status_ <= 599) return refuse(Verdict::kHttpError, Cause::kHttpStatus);
  return refuse(Verdict::kBroken, status_ == 0 ? Cause::kNoStatus : Cause::kStatusOutOfRange);
}

}  // namespace nv
