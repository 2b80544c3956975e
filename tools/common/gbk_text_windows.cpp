// SPDX-License-Identifier: MIT
// The conversions of gbk_text.h for Windows, through the system's code page
// 936 (GBK) and UTF-8 tables: mingw has no iconv.
#include <windows.h>

#include <cstdio>
#include <stdexcept>

#include "tools/common/gbk_text.h"

namespace nvtools {
namespace {

constexpr UINT kGbk = 936;

// Text in `codePage` as UTF-16; nothing when a sequence is invalid.
std::optional<std::wstring> toWide(UINT codePage, std::string_view text) {
  if (text.empty()) return std::wstring();
  int length =
      MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (length <= 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

// UTF-16 in `codePage`; nothing when a character has no form there.
std::optional<std::string> fromWide(UINT codePage, const std::wstring& wide) {
  if (wide.empty()) return std::string();
  BOOL usedDefault = FALSE;
  BOOL* check = codePage == CP_UTF8 ? nullptr : &usedDefault;  // UTF-8 refuses the flag
  DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  int length =
      WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, check);
  if (length <= 0 || usedDefault) return std::nullopt;
  std::string out(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), out.data(), length, nullptr,
                      nullptr);
  return out;
}

}  // namespace

std::optional<std::string> utf8ToGbk(std::string_view utf8) {
  std::optional<std::wstring> wide = toWide(CP_UTF8, utf8);
  return wide ? fromWide(kGbk, *wide) : std::nullopt;
}

std::string gbk(std::string_view utf8) {
  std::optional<std::string> converted = utf8ToGbk(utf8);
  if (!converted) throw std::runtime_error("text without a GBK form");
  return *converted;
}

std::string gbkToUtf8ForDisplay(std::string_view gbkBytes, bool escapeBackslash) {
  std::string out;
  size_t i = 0;
  while (i < gbkBytes.size()) {
    unsigned char c = static_cast<unsigned char>(gbkBytes[i]);
    if (c < 0x80) {
      out += escapeBackslash && c == '\\' ? std::string("\\\\") : std::string(1, static_cast<char>(c));
      ++i;
      continue;
    }
    // A two-byte character: lead 81-FE, trail 40-FE but not 7F.
    std::optional<std::wstring> wide;
    if (i + 1 < gbkBytes.size() && c >= 0x81 && c <= 0xFE) wide = toWide(kGbk, gbkBytes.substr(i, 2));
    std::optional<std::string> utf8 = wide ? fromWide(CP_UTF8, *wide) : std::nullopt;
    if (utf8 && wide->size() == 1) {
      out += *utf8;
      i += 2;
    } else {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      out += escaped;
      ++i;
    }
  }
  return out;
}

}  // namespace nvtools
