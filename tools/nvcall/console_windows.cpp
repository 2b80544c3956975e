// SPDX-License-Identifier: MIT
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "tools/nvcall/console.h"
#include "tools/nvcall/windows_text.h"

namespace nvcall {

Console openConsole(int, char**) {
  Console console;
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 1; wide && i < count; ++i) console.args.push_back(utf8Of(wide[i]));
  LocalFree(wide);
  console.utf8Arguments = true;
  UINT codePage = GetConsoleOutputCP();
  console.utf8Output = codePage == CP_UTF8;
  console.chinese = codePage == 936;
  // The bytes as they are: --raw prints a document exactly as returned.
  _setmode(_fileno(stdout), _O_BINARY);
  return console;
}

}  // namespace nvcall
