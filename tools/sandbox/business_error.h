// SPDX-License-Identifier: MIT
// A request the centre refuses: answered as a SOAP fault whose faultstring
// is base64 of the GBK message.
#ifndef NV_SANDBOX_BUSINESS_ERROR_H
#define NV_SANDBOX_BUSINESS_ERROR_H

#include <stdexcept>
#include <string>

namespace sandbox {

struct BusinessError : std::runtime_error {
  // The message in UTF-8, as written in this program's sources.
  explicit BusinessError(const std::string& utf8Message) : std::runtime_error(utf8Message) {}
};

}  // namespace sandbox

#endif
