// SPDX-License-Identifier: MIT
#include <netdb.h>

#include <cerrno>
#include <cstring>

#include "text/platform.h"

namespace nv {

std::string socketErrorText(long error) {
  char text[256] = "";
  // The GNU form returns the text, which need not be in the buffer.
  const char* message = strerror_r(static_cast<int>(error), text, sizeof text);
  return message != nullptr ? message : text;
}

std::string unresolvedNameText() { return gai_strerror(EAI_NONAME); }

bool isConnectionRefused(long error) { return error == ECONNREFUSED; }

}  // namespace nv
