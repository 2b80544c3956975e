// SPDX-License-Identifier: MIT
// What `config list` and `check` say of NvConfiguration.ini: every line that
// cannot do what its author meant, with its number and what the library
// does with it. The file is read as the library reads it
// (frame/centre_store.cpp): groups of six lines, whatever each line holds.
#ifndef NV_NVCALL_CONFIG_WARNINGS_H
#define NV_NVCALL_CONFIG_WARNINGS_H

#include <string>
#include <string_view>
#include <vector>

#include "tools/nvcall/words.h"

namespace nvcall {

enum class ConfigFault {
  kByteOrderMark,     // the file opens with one; older versions miss line 1's key
  kShiftsLaterLines,  // a blank line, or one of no key, the group did not need: every later line moves down
  kSpacedSeparator,   // "key = value": the blank is the separator, "= value" the value
  kNotBase64,         // the value is kept as written
  kNotAKey,           // sets nothing: another letter case, leading blanks, a mistyped key, or no key at all
  kFieldSetAgain,     // a later line of the group sets the same field and wins
  kCentreAgain,       // a later group has the same CenterNO: calls for it use that one
  kNoCentreCode,      // a group without CenterNO: no call can use it
  kAddressNotHttp,    // a ServiceURL the library cannot call
  kPartialGroup,      // the last lines, not a whole group, are discarded
};

struct ConfigWarning {
  size_t line;  // from 1
  ConfigFault fault;
  std::string text;  // what is wrong and what the library does, in the speaker's language (UTF-8)
};

// The warnings on the file's bytes, in line order.
std::vector<ConfigWarning> configWarnings(std::string_view fileBytes, const Speaker& speak);

// "nvcall: NvConfiguration.ini line 3: ..." with its line end, UTF-8.
std::string warningLine(const std::string& path, const ConfigWarning& warning, const Speaker& speak);

}  // namespace nvcall

#endif
