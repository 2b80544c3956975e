// SPDX-License-Identifier: MIT
// nvcall speaks to the hospital's IT staff in Chinese on a Chinese console
// and in English otherwise: each of its texts in both (UTF-8).
#ifndef NV_NVCALL_WORDS_H
#define NV_NVCALL_WORDS_H

#include <string>

namespace nvcall {

struct Words {
  const char* en;
  const char* zh;
};

class Speaker {
 public:
  explicit Speaker(bool chinese) : chinese_(chinese) {}
  std::string operator()(const Words& words) const { return chinese_ ? words.zh : words.en; }
  bool chinese() const { return chinese_; }

 private:
  bool chinese_;
};

}  // namespace nvcall

#endif
