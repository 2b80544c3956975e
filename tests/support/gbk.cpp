// SPDX-License-Identifier: MIT
#include "tests/support/gbk.h"

#include "NvInterFace.h"

namespace nvtest {

std::string utf8(std::string_view gbkBytes) { return nvtools::gbkToUtf8ForDisplay(gbkBytes); }

std::string take(char* result) {
  if (result == nullptr) return "<null>";
  std::string text(result);
  freeResult(result);
  return text;
}

}  // namespace nvtest
