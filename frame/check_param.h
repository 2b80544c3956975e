// The shallow argument checks every export runs before it contacts the centre.
#ifndef NV_FRAME_CHECK_PARAM_H
#define NV_FRAME_CHECK_PARAM_H

#include <string>
#include <string_view>

namespace nv {

// Kinds of check, by their names: "string", "number", "date", "datetime".
inline constexpr const char* kString = "string";
inline constexpr const char* kNumber = "number";
inline constexpr const char* kDate = "date";
inline constexpr const char* kDateTime = "datetime";

// May-be-empty column of the check tables.
inline constexpr bool kMayBeEmpty = true;
inline constexpr bool kRequired = false;

bool isNumber(std::string_view text);
bool isDate(std::string_view text);
bool isDateTime(std::string_view text);

// Appends text to the check message.
void appendMessage(std::string& message, std::string_view text);

// Checks one value; on failure appends the label and the reason to message
// (nothing for an unknown kind) and returns false. Lengths count bytes.
bool CheckParam(std::string_view value, std::string_view kind, int maxLength, bool mayBeEmpty,
                std::string& message, std::string_view label);

}  // namespace nv

#endif
