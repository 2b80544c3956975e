// SPDX-License-Identifier: MIT
// How one exchange with the centre ended: the one value a session hands
// back. A failure carries the out_text the HIS gets (GBK) and the cause in
// words for the trace.
#ifndef NV_CLIENT_CALL_STATUS_H
#define NV_CLIENT_CALL_STATUS_H

#include <string>
#include <utility>

namespace nv {

class CallStatus {
 public:
  static CallStatus ok() { return CallStatus(); }
  static CallStatus failed(std::string outText, std::string cause) {
    CallStatus status;
    status.failed_ = true;
    status.outText_ = std::move(outText);
    status.cause_ = std::move(cause);
    return status;
  }

  bool isOk() const { return !failed_; }
  const std::string& outText() const { return outText_; }
  const std::string& cause() const { return cause_; }

  // A change may have reached the centre before the exchange broke: the
  // HIS must find out before it sends it again.
  CallStatus& withOutcomeUnknown() {
    outcomeUnknown_ = true;
    return *this;
  }
  bool outcomeUnknown() const { return outcomeUnknown_; }

 private:
  CallStatus() = default;
  bool failed_ = false;
  bool outcomeUnknown_ = false;
  std::string outText_, cause_;
};

}  // namespace nv

#endif
