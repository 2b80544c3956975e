// SPDX-License-Identifier: MIT
#include "tools/sandbox/exchange_log.h"

#include <cstdio>
#include <ctime>

#include "tools/common/gbk_text.h"
#include "tools/sandbox/platform.h"

namespace sandbox {

using nvtools::gbkToUtf8ForDisplay;

std::string quoteForLog(std::string_view gbkBytes) {
  std::string quoted = "\"";
  for (char c : gbkToUtf8ForDisplay(gbkBytes, /*escapeBackslash*/ true)) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (c == '"') {
      quoted += "\\\"";
    } else if (byte < 0x20 || byte == 0x7F) {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      quoted += escaped;
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

std::string formatExchange(std::string_view operation, const Record& members, std::string_view outcome) {
  std::string line(operation);
  for (const auto& [name, value] : members.fields()) line += " " + name + "=" + quoteForLog(value);
  line += " -> ";
  line += outcome;
  return line;
}

void writeLogLine(const std::string& line) {
  char stamp[32] = "";
  int milliseconds = 0;
  std::tm local = localNow(milliseconds);
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
  std::string whole = std::string(stamp) + " " + line + "\n";
  std::fwrite(whole.data(), 1, whole.size(), stderr);
  std::fflush(stderr);
}

}  // namespace sandbox
