// SPDX-License-Identifier: MIT
// What nvcall learns from the system it runs on: its arguments, the code
// page of its output and the language of its messages.
#ifndef NV_NVCALL_CONSOLE_H
#define NV_NVCALL_CONSOLE_H

#include <string>
#include <vector>

namespace nvcall {

struct Console {
  std::vector<std::string> args;  // without the program's name
  bool utf8Arguments = false;     // the arguments are UTF-8 (Windows: always)
  bool utf8Output = false;        // the output is UTF-8, else GBK
  bool chinese = false;           // nvcall speaks Chinese
};

// Windows: the arguments as UTF-8 whatever the code pages; output in the
// console's code page (UTF-8 on 65001, else GBK); Chinese on a console of
// code page 936. Elsewhere: the arguments as given; Chinese when the locale
// (LC_ALL, LC_MESSAGES or LANG) is a Chinese one.
Console openConsole(int argc, char** argv);

}  // namespace nvcall

#endif
