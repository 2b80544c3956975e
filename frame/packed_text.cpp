#include "frame/packed_text.h"

namespace nv {

std::vector<std::string_view> splitPackedText(std::string_view packed, size_t slotCount) {
  std::vector<std::string_view> slots(slotCount);
  size_t filled = 0;
  size_t at = 0;
  while (filled < slotCount) {
    size_t start = packed.find_first_not_of(kPackedSeparator, at);
    if (start == std::string_view::npos) break;
    size_t end = packed.find(kPackedSeparator, start);
    if (end == std::string_view::npos) end = packed.size();
    std::string_view field = packed.substr(start, end - start);
    // One space is how a caller writes an empty value: adjacent separators
    // would collapse and shift every later value.
    slots[filled++] = field == " " ? std::string_view() : field;
    at = end;
  }
  return slots;
}

}  // namespace nv
