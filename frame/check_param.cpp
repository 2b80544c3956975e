// SPDX-License-Identifier: MIT
#include "frame/check_param.h"

#include "text/texts.h"

namespace nv {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Month in bytes 6-7 and day in bytes 9-10 (counted from 1) of a yyyy-MM-dd
// prefix: the tens digit is bounded, no calendar rule applies.
bool hasDateShape(std::string_view t) {
  for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
    if (!isDigit(t[i])) return false;
  if (t[4] != '-' || t[7] != '-') return false;
  if (t[5] > '1' || (t[5] == '1' && t[6] > '2')) return false;
  if (t[8] > '3' || (t[8] == '3' && t[9] > '1')) return false;
  return true;
}

}  // namespace

bool isNumber(std::string_view text) {
  bool seenPoint = false;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (isDigit(c)) continue;
    if (c == '.' && i > 0 && !seenPoint) {
      seenPoint = true;
      continue;
    }
    if (c == '-' && i == 0) continue;
    return false;
  }
  return true;
}

bool isDate(std::string_view text) { return text.size() == 10 && hasDateShape(text); }

bool isDateTime(std::string_view text) {
  if (text.size() != 19 || !hasDateShape(text)) return false;
  // Byte 11, between date and time, may be anything.
  for (int i : {11, 12, 14, 15, 17, 18})
    if (!isDigit(text[i])) return false;
  return text[13] == ':' && text[16] == ':';
}

bool CheckParam(std::string_view value, CheckKind kind, int maxLength, bool mayBeEmpty, std::string& message,
                std::string_view label) {
  auto fail = [&](std::string_view reason) {
    message.append(label).append(reason);
    return false;
  };
  if (value.empty()) return mayBeEmpty ? true : fail(texts::kEmptyButRequired);
  bool tooLong = maxLength < 0 || value.size() > static_cast<size_t>(maxLength);
  switch (kind) {
    case CheckKind::String: return tooLong ? fail(texts::kTooLong) : true;
    case CheckKind::Number:
      if (tooLong) return fail(texts::kTooLong);
      return isNumber(value) ? true : fail(texts::kNotNumber);
    case CheckKind::Date: return isDate(value) ? true : fail(texts::kNotDate);
    case CheckKind::DateTime: return isDateTime(value) ? true : fail(texts::kNotDateTime);
  }
  return false;  // not reached: every kind is handled above
}

}  // namespace nv
