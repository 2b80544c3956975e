// The centre speaks GBK on the wire; this source and its log speak UTF-8.
#ifndef NV_SANDBOX_GBK_TEXT_H
#define NV_SANDBOX_GBK_TEXT_H

#include <string>
#include <string_view>

namespace sandbox {

// UTF-8 text written in this program's sources, as GBK bytes. Throws
// std::runtime_error when the text has no GBK form (a programming error).
std::string gbk(std::string_view utf8);

// GBK bytes for display: every byte sequence that is not GBK is shown as
// \xNN, so nothing received is ever hidden or lost from the log.
std::string gbkToUtf8ForDisplay(std::string_view gbkBytes);

}  // namespace sandbox

#endif
