// Tests write expectations in UTF-8; the library speaks GBK.
#ifndef NV_TESTS_SUPPORT_GBK_H
#define NV_TESTS_SUPPORT_GBK_H

#include <string>
#include <string_view>

namespace nvtest {

std::string gbk(std::string_view utf8);
std::string utf8(std::string_view gbkBytes);

// Takes ownership of a text the library returned; null becomes "<null>".
std::string take(char* result);

}  // namespace nvtest

#endif
