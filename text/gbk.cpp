// SPDX-License-Identifier: MIT
#include "text/gbk.h"

#include <cstdint>

namespace nv {
namespace gbk_tables {
extern const uint16_t kFromUnicode[0x10000];
extern const uint16_t kToUnicode[126 * 191];
}  // namespace gbk_tables

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// The length of the UTF-8 sequence a lead byte starts, 0 for a byte that
// starts none.
size_t sequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

}  // namespace

void appendUtf8AsGbk(std::string& out, std::string_view utf8) {
  out.reserve(out.size() + utf8.size());
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const auto* end = p + utf8.size();
  while (p < end) {
    if (*p < 0x80) {
      out.push_back(static_cast<char>(*p++));
      continue;
    }
    size_t length = sequenceLength(*p);
    bool whole = length > 1 && static_cast<size_t>(end - p) >= length;
    for (size_t i = 1; whole && i < length; ++i) whole = (p[i] & 0xC0) == 0x80;
    if (!whole) {
      out.push_back('?');
      ++p;
      continue;
    }
    char32_t cp = length == 2 ? (p[0] & 0x1F) : length == 3 ? (p[0] & 0x0F) : (p[0] & 0x07);
    for (size_t i = 1; i < length; ++i) cp = (cp << 6) | (p[i] & 0x3F);
    p += length;
    uint16_t gbk = cp < 0x10000 ? gbk_tables::kFromUnicode[cp] : 0;
    if (gbk == 0) {
      out.push_back('?');
    } else {
      out.push_back(static_cast<char>(gbk >> 8));
      out.push_back(static_cast<char>(gbk & 0xFF));
    }
  }
}

void Gb18030ToUtf8::append(std::string& out, std::string_view bytes) {
  out.reserve(out.size() + bytes.size() * 3 / 2);
  for (char c : bytes) {
    auto byte = static_cast<unsigned char>(c);
    if (pendingCount_ == 0) {
      if (byte < 0x80) {
        out.push_back(c);
      } else if (byte == 0x80 || byte == 0xFF) {
        appendUtf8(out, kReplacement);
      } else {
        pending_[pendingCount_++] = byte;
      }
      continue;
    }
    if (pendingCount_ == 1) {
      if (byte >= 0x30 && byte <= 0x39) {  // the second byte of a four-byte sequence
        pending_[pendingCount_++] = byte;
        continue;
      }
      pendingCount_ = 0;
      char32_t cp = 0;
      if (byte >= 0x40 && byte <= 0xFE && byte != 0x7F)
        cp = gbk_tables::kToUnicode[(pending_[0] - 0x81) * 191 + (byte - 0x40)];
      if (cp != 0) {
        appendUtf8(out, cp);
      } else {
        // Not a pair: the lead byte alone is bad; the byte after it is read
        // afresh, so markup right after a stray byte stays markup.
        appendUtf8(out, kReplacement);
        append(out, std::string_view(&c, 1));
      }
      continue;
    }
    bool fits = pendingCount_ == 2 ? byte >= 0x81 && byte <= 0xFE : byte >= 0x30 && byte <= 0x39;
    if (!fits) {
      // As above: only the lead byte is lost; what followed it is read afresh.
      unsigned char rest[3];
      size_t restCount = 0;
      for (size_t i = 1; i < pendingCount_; ++i) rest[restCount++] = pending_[i];
      rest[restCount++] = byte;
      pendingCount_ = 0;
      appendUtf8(out, kReplacement);
      append(out, std::string_view(reinterpret_cast<const char*>(rest), restCount));
      continue;
    }
    pending_[pendingCount_++] = byte;
    if (pendingCount_ == 4) {
      pendingCount_ = 0;
      appendUtf8(out, kReplacement);
    }
  }
}

void Gb18030ToUtf8::finish(std::string& out) {
  if (pendingCount_ != 0) appendUtf8(out, kReplacement);
  pendingCount_ = 0;
}

}  // namespace nv
