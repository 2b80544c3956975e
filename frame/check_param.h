// SPDX-License-Identifier: MIT
// The shallow argument checks every export runs before it contacts the centre.
#ifndef NV_FRAME_CHECK_PARAM_H
#define NV_FRAME_CHECK_PARAM_H

#include <string>
#include <string_view>

namespace nv {

// What a check judges besides emptiness: a string's and a number's length,
// a number's shape, a date's or a date and time's shape (their length is
// part of the shape).
enum class CheckKind { String, Number, Date, DateTime };

// May-be-empty column of the check tables.
inline constexpr bool kMayBeEmpty = true;
inline constexpr bool kRequired = false;

bool isNumber(std::string_view text);
bool isDate(std::string_view text);
bool isDateTime(std::string_view text);

// Checks one value; on failure appends the label and the reason to message
// and returns false. Lengths count bytes; a date's maxLength is not used.
bool CheckParam(std::string_view value, CheckKind kind, int maxLength, bool mayBeEmpty, std::string& message,
                std::string_view label);

}  // namespace nv

#endif
