// SPDX-License-Identifier: MIT
// One line on stderr per exchange: the operation, the decoded members shown
// as UTF-8, and the outcome.
#ifndef NV_SANDBOX_EXCHANGE_LOG_H
#define NV_SANDBOX_EXCHANGE_LOG_H

#include <string>
#include <string_view>

#include "tools/sandbox/record.h"

namespace sandbox {

// `operation name="value" ... -> outcome`. Member values are GBK bytes,
// shown in UTF-8 and quoted; quotes, backslashes and control bytes are
// escaped, so one exchange is always one line.
std::string formatExchange(std::string_view operation, const Record& members, std::string_view outcome);

// A text of UTF-8 (or GBK) bytes for the log: quoted and escaped.
std::string quoteForLog(std::string_view gbkBytes);

// Writes a time stamp, the line and a line feed to stderr at once.
void writeLogLine(const std::string& line);

}  // namespace sandbox

#endif
