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
// be of any length. The split works on bytes: a "|" that is the second byte of
// a two-byte character separates too, as it always has for these callers.
std::vector<std::string_view> splitPackedText(std::string_view packed, size_t slotCount);

}  // namespace nv

#endif
