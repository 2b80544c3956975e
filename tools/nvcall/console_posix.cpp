// SPDX-License-Identifier: MIT
#include <cstdlib>
#include <cstring>

#include "tools/nvcall/console.h"

namespace nvcall {

Console openConsole(int argc, char** argv) {
  Console console;
  console.args.assign(argv + 1, argv + argc);
  // The first of these that is set names the locale of messages.
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value && *value) {
      console.chinese = std::strncmp(value, "zh", 2) == 0;
      break;
    }
  }
  return console;
}

}  // namespace nvcall
