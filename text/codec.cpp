// SPDX-License-Identifier: MIT
#include "text/codec.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace nv {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Alphabet value of each byte; -1 for "=" and every byte outside the alphabet.
constexpr std::array<int8_t, 256> makeValues() {
  std::array<int8_t, 256> values{};
  for (auto& v : values) v = -1;
  for (int i = 0; i < 64; ++i) values[static_cast<unsigned char>(kAlphabet[i])] = static_cast<int8_t>(i);
  return values;
}
constexpr std::array<int8_t, 256> kValues = makeValues();

int valueOf(char c) { return kValues[static_cast<unsigned char>(c)]; }

bool isLineBreak(char c) { return c == '\r' || c == '\n'; }

// Appends the bytes of well-formed base64 (no CR or LF) up to the first zero
// byte when stopAtZero, else all of them.
template <class Out>
void appendStrict(Out& out, std::string_view text, bool stopAtZero) {
  size_t padding = 0;
  if (!text.empty() && text.back() == '=') padding = (text.size() >= 2 && text[text.size() - 2] == '=') ? 2 : 1;
  size_t start = out.size();
  // Sized once and written in place: this runs for every value of a download.
  out.resize(start + text.size() / 4 * 3);
  char* to = &out[start];
  for (size_t i = 0; i + 4 <= text.size(); i += 4) {
    // "=" counts as zero bits; the bytes it stands for are dropped below.
    int a = valueOf(text[i]), b = valueOf(text[i + 1]);
    int c = text[i + 2] == '=' ? 0 : valueOf(text[i + 2]);
    int d = text[i + 3] == '=' ? 0 : valueOf(text[i + 3]);
    *to++ = static_cast<char>((a << 2) | (b >> 4));
    *to++ = static_cast<char>(((b << 4) & 0xFF) | (c >> 2));
    *to++ = static_cast<char>(((c << 6) & 0xFF) | d);
  }
  out.resize(out.size() - padding);
  if (stopAtZero) {
    size_t zero = out.find('\0', start);
    if (zero != Out::npos) out.resize(zero);
  }
}

}  // namespace

std::string base64Encode(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    uint32_t n = (uint32_t(uint8_t(bytes[i])) << 16) | (uint32_t(uint8_t(bytes[i + 1])) << 8) | uint8_t(bytes[i + 2]);
    out.push_back(kAlphabet[(n >> 18) & 63]);
    out.push_back(kAlphabet[(n >> 12) & 63]);
    out.push_back(kAlphabet[(n >> 6) & 63]);
    out.push_back(kAlphabet[n & 63]);
  }
  size_t rest = bytes.size() - i;
  if (rest > 0) {
    uint32_t n = uint32_t(uint8_t(bytes[i])) << 16;
    if (rest == 2) n |= uint32_t(uint8_t(bytes[i + 1])) << 8;
    out.push_back(kAlphabet[(n >> 18) & 63]);
    out.push_back(kAlphabet[(n >> 12) & 63]);
    out.push_back(rest == 2 ? kAlphabet[(n >> 6) & 63] : '=');
    out.push_back('=');
  }
  return out;
}

bool isWellFormedBase64(std::string_view text) {
  size_t length = 0;
  size_t firstPad = std::string_view::npos;
  for (char c : text) {
    if (isLineBreak(c)) continue;
    if (c == '=') {
      if (firstPad == std::string_view::npos) firstPad = length;
    } else if (valueOf(c) < 0 || firstPad != std::string_view::npos) {
      return false;  // not the alphabet, or a character after padding
    }
    ++length;
  }
  if (length == 0 || length % 4 != 0) return false;
  // Padding only in the last two places, and never a whole group of it.
  return firstPad == std::string_view::npos || firstPad >= length - 2;
}

namespace {

// Decodes value onto out in the same pass that checks it, for the common
// value: a whole number of groups with no CR or LF. Leaves out as it was and
// returns false at the first byte that does not fit that form.
template <class Out>
bool appendPlainGroups(Out& out, std::string_view value) {
  if (value.size() % 4 != 0) return false;
  const size_t start = out.size();
  out.resize(start + value.size() / 4 * 3);
  char* to = &out[start];
  const size_t lastGroup = value.size() - 4;
  size_t padding = 0;
  for (size_t i = 0; i <= lastGroup; i += 4) {
    int a = valueOf(value[i]), b = valueOf(value[i + 1]), c = valueOf(value[i + 2]), d = valueOf(value[i + 3]);
    if ((a | b | c | d) < 0) {
      // "=" only as padding at the end: "xy==" or "xyz=".
      const bool padded = i == lastGroup && a >= 0 && b >= 0 && value[i + 3] == '=' && (c >= 0 || value[i + 2] == '=');
      if (!padded) {
        out.resize(start);
        return false;
      }
      padding = c < 0 ? 2 : 1;
      c = c < 0 ? 0 : c;
      d = 0;
    }
    *to++ = static_cast<char>((a << 2) | (b >> 4));
    *to++ = static_cast<char>(((b << 4) & 0xFF) | (c >> 2));
    *to++ = static_cast<char>(((c << 6) & 0xFF) | d);
  }
  out.resize(out.size() - padding);
  size_t zero = out.find('\0', start);
  if (zero != Out::npos) out.resize(zero);
  return true;
}

template <class Out>
void appendDecoded(Out& out, std::string_view value) {
  if (value.empty()) return;
  if (appendPlainGroups(out, value)) return;
  // One test per byte (find_first_of would search the set for each byte).
  bool hasLineBreak = std::any_of(value.begin(), value.end(), isLineBreak);
  std::string stripped;
  if (hasLineBreak) {
    stripped.reserve(value.size());
    for (char c : value)
      if (!isLineBreak(c)) stripped.push_back(c);
    value = stripped;
  }
  if (isWellFormedBase64(value)) {
    appendStrict(out, value, true);
  } else {
    out.append(value);
  }
}

}  // namespace

void appendDecodedField(std::string& out, std::string_view value) { appendDecoded(out, value); }
void appendDecodedField(DocumentText& out, std::string_view value) { appendDecoded(out, value); }

std::string decodeStrict(std::string_view text) {
  std::string out;
  appendStrict(out, text, false);
  return out;
}

std::string decodeLenient(std::string_view text) {
  std::string out;
  out.reserve((text.size() + 3) / 4 * 3);
  auto lenientValue = [&](size_t i) -> int {
    if (i >= text.size() || text[i] == '=') return 0;  // absent bytes count as padding
    return valueOf(text[i]);
  };
  for (size_t i = 0; i < text.size(); i += 4) {
    int a = lenientValue(i), b = lenientValue(i + 1), c = lenientValue(i + 2), d = lenientValue(i + 3);
    // Multiplication rather than a left shift, and an arithmetic right shift,
    // so that the value -1 of a stray byte keeps all its bits set.
    out.push_back(static_cast<char>(((a * 4) | (b >> 4)) & 0xFF));
    out.push_back(static_cast<char>(((b * 16) | (c >> 2)) & 0xFF));
    out.push_back(static_cast<char>(((c * 64) | d) & 0xFF));
  }
  return out;
}

}  // namespace nv
