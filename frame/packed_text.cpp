// SPDX-License-Identifier: MIT
#include "frame/packed_text.h"

namespace nv {
namespace {

// A byte that opens a two-byte character in code page 936.
bool isLeadByte(char c) {
  unsigned char byte = static_cast<unsigned char>(c);
  return byte >= 0x81 && byte <= 0xFE;
}

}  // namespace

std::vector<std::string_view> splitPackedText(std::string_view packed, size_t slotCount) {
  std::vector<std::string_view> slots(slotCount);
  size_t filled = 0;
  size_t at = 0;
  while (filled < slotCount) {
    while (at < packed.size() && packed[at] == kPackedSeparator) ++at;
    if (at == packed.size()) break;
    size_t start = at;
    // Character by character: the byte after a lead byte is its second,
    // whatever its value, so a name holding 珅 (AB 7C) stays whole.
    while (at < packed.size() && packed[at] != kPackedSeparator)
      at += isLeadByte(packed[at]) && at + 1 < packed.size() ? 2 : 1;
    std::string_view field = packed.substr(start, at - start);
    // One space is how a caller writes an empty value: adjacent separators
    // would collapse and shift every later value.
    slots[filled++] = field == " " ? std::string_view() : field;
  }
  return slots;
}

}  // namespace nv
