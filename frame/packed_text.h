// SPDX-License-Identifier: MIT
// Unpacks the one text of a packed call into its positional values, for
// callers that can pass only a single text.
#ifndef NV_FRAME_PACKED_TEXT_H
#define NV_FRAME_PACKED_TEXT_H

#include <cstddef>
#include <string_view>
#include <vector>

namespace nv {

inline constexpr char kPackedSeparator = '|';

// Splits packed at every "|" byte into exactly slotCount values. A run of
// separators counts as one and separators at either end make no field, so no
// field is ever empty; a field of exactly one space stands for the empty
// value. Fields beyond slotCount are ignored and missing ones are empty.
// The values are views into packed, which is never modified, so the text may
// be of any length. The split goes character by character, as the C
// runtime's multibyte strtok does under code page 936: a byte 81 to FE opens a
// two-byte character and the byte after it belongs to that character, even a
// "|" (珅 is AB 7C); every other "|" separates.
std::vector<std::string_view> splitPackedText(std::string_view packed, size_t slotCount);

}  // namespace nv

#endif
