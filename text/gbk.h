// SPDX-License-Identifier: MIT
// Text between the centre's XML (Unicode) and the HIS (GBK). Both directions
// use one table generated at build time (tools/make_gbk_tables.py), so the
// Linux library and the Windows DLL convert every character alike.
#ifndef NV_TEXT_GBK_H
#define NV_TEXT_GBK_H

#include <cstddef>
#include <string>
#include <string_view>

namespace nv {

// Appends the GBK form of UTF-8 text. A character GBK lacks becomes one "?",
// and so does each byte that does not belong to a UTF-8 sequence.
void appendUtf8AsGbk(std::string& out, std::string_view utf8);

inline bool isAscii(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// Turns bytes in GB18030 (and so GBK and GB2312) into UTF-8 as they arrive,
// keeping a sequence cut between two pieces until the next one. A byte that
// starts no valid sequence, and any four-byte sequence (none of them has a
// GBK form), becomes U+FFFD, which the HIS receives as "?".
class Gb18030ToUtf8 {
 public:
  void append(std::string& out, std::string_view bytes);
  // The end of the input: an unfinished sequence becomes U+FFFD.
  void finish(std::string& out);

 private:
  unsigned char pending_[4] = {};
  size_t pendingCount_ = 0;
};

}  // namespace nv

#endif
