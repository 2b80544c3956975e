// SPDX-License-Identifier: MIT
// The library and the centre speak GBK; the tools' sources, logs and terminals
// speak UTF-8.
#ifndef NV_TOOLS_GBK_TEXT_H
#define NV_TOOLS_GBK_TEXT_H

#include <optional>
#include <string>
#include <string_view>

namespace nvtools {

// UTF-8 text as GBK bytes; nothing when it is not UTF-8 or has no GBK form.
std::optional<std::string> utf8ToGbk(std::string_view utf8);

// UTF-8 text written in this program's sources, as GBK bytes. Throws
// std::runtime_error when the text has no GBK form (a programming error).
std::string gbk(std::string_view utf8);

// GBK bytes for display: every byte sequence that is not GBK is shown as
// \xNN, so nothing received is ever hidden. With escapeBackslash, a
// backslash of the text shows as two, so a log line reads back unambiguously.
std::string gbkToUtf8ForDisplay(std::string_view gbkBytes, bool escapeBackslash = false);

}  // namespace nvtools

#endif
