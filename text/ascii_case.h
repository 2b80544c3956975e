// SPDX-License-Identifier: MIT
// Letter case in protocol text (header names, encodings, setting keys):
// ASCII letters only, whatever the locale, so a GBK byte is never touched.
#ifndef NV_TEXT_ASCII_CASE_H
#define NV_TEXT_ASCII_CASE_H

#include <string>
#include <string_view>

namespace nv {

inline char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string asciiLowered(std::string text) {
  for (char& c : text) c = asciiLower(c);
  return text;
}

inline bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (asciiLower(a[i]) != asciiLower(b[i])) return false;
  return true;
}

inline bool startsIgnoringCase(std::string_view text, std::string_view head) {
  return text.size() >= head.size() && equalsIgnoringCase(text.substr(0, head.size()), head);
}

}  // namespace nv

#endif
