// SPDX-License-Identifier: MIT
// Base64 as the centre and NvConfiguration.ini use it: every value sent is
// encoded, every value received or configured is decoded when, and only
// when, it is well-formed base64 text.
#ifndef NV_TEXT_CODEC_H
#define NV_TEXT_CODEC_H

#include <string>
#include <string_view>

#include "text/document_text.h"

namespace nv {

// RFC 4648 base64 with "=" padding, no line breaks.
std::string base64Encode(std::string_view bytes);

// The form of every request member: base64 of the text, of any length.
inline std::string encodeField(std::string_view text) { return base64Encode(text); }

// True when, CR and LF aside, the text is a non-empty multiple of four
// alphabet characters with "=" only as padding in the last two places.
bool isWellFormedBase64(std::string_view text);

// Appends decodeField(value) to out without an intermediate copy. A value
// that is not well-formed base64 passes through (less its CR and LF bytes);
// a decoded value ends at its first zero byte, as the C text it becomes.
void appendDecodedField(std::string& out, std::string_view value);
void appendDecodedField(DocumentText& out, std::string_view value);

// decodeField of an absent value is the empty text.
inline std::string decodeField(std::string_view value) {
  std::string out;
  appendDecodedField(out, value);
  return out;
}
inline std::string decodeField(const std::string* value) {
  return value ? decodeField(std::string_view(*value)) : std::string();
}
inline std::string decodeField(const char* value) {
  return value ? decodeField(std::string_view(value)) : std::string();
}

// The decoding step of decodeField, for text that isWellFormedBase64 and holds
// no CR or LF: all decoded bytes, zero bytes included.
std::string decodeStrict(std::string_view text);

// The unchecked decoding of DeEncypt: every byte outside the alphabet counts
// as all bits set, "=" as zero bits; a trailing partial group is decoded as if
// padded with "=". The result holds every produced byte, zero bytes included.
std::string decodeLenient(std::string_view text);

}  // namespace nv

#endif
