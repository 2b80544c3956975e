// SPDX-License-Identifier: MIT
// Tests write expectations in UTF-8; the library speaks GBK. The conversions
// are the tools' own (tools/common/gbk_text.h).
#ifndef NV_TESTS_SUPPORT_GBK_H
#define NV_TESTS_SUPPORT_GBK_H

#include <string>
#include <string_view>

#include "tools/common/gbk_text.h"

namespace nvtest {

// UTF-8 text of a test as GBK bytes; throws when it has no GBK form.
using nvtools::gbk;
// GBK bytes for a failure message, any byte that is not GBK as \xNN.
std::string utf8(std::string_view gbkBytes);

// Takes ownership of a text the library returned; null becomes "<null>".
std::string take(char* result);

}  // namespace nvtest

#endif
