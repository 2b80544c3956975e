// SPDX-License-Identifier: MIT
// What comes before the answer's first element: blanks and a byte order mark
// the runtime passes over, and the XML declaration, whose encoding decides
// how the parser is told to read the rest. An answer in a Chinese encoding
// is turned into UTF-8 on its way to the parser, which knows none of them.
#ifndef NV_CLIENT_ANSWER_PROLOG_H
#define NV_CLIENT_ANSWER_PROLOG_H

#include <cstdint>
#include <string>
#include <string_view>

#include "text/gbk.h"

namespace nv {

class AnswerProlog {
 public:
  // The next bytes of the body; final: the body has ended. Until the
  // declaration has been read whole they are held; once it has, take()
  // returns them, and every later piece, ready for the parser. The view
  // lasts until the next call.
  std::string_view take(std::string_view bytes, bool final);

  // Whether the declaration is read and the parser can be made.
  bool settled() const { return settled_; }
  // The encoding the parser must assume instead of the declared one, or
  // null to let it read the declaration itself.
  const char* parserEncoding() const { return parserEncoding_; }
  // The bytes passed over before the XML: the parser counts from after them.
  int64_t skipped() const { return skipped_; }

 private:
  void settle();
  std::string_view pass(std::string_view bytes, bool final);

  bool settled_ = false;
  bool bomSeen_ = false;
  bool transcode_ = false;
  const char* parserEncoding_ = nullptr;
  int64_t skipped_ = 0;
  std::string head_;       // the first bytes, held until the declaration is read
  std::string held_;       // the head, once handed out
  std::string converted_;  // transcoded bytes on their way to the parser
  Gb18030ToUtf8 transcoder_;
};

}  // namespace nv

#endif
