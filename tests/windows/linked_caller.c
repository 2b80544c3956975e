// SPDX-License-Identifier: MIT
/* A HIS written in C that links against the import library instead of
 * calling LoadLibrary: built once with clang and lld-link against
 * NvInterFace.lib (an MSVC caller's names, no C runtime) and once with mingw
 * against NvInterFace.dll.a. It runs only if every name resolved to an
 * export of the DLL. Exit status 0 when the calls returned what they must,
 * 1 otherwise. */
#include "NvInterFace.h"

static int same(const char* a, const char* b) {
  if (!a) return 0;
  while (*a && *a == *b) ++a, ++b;
  return *a == *b;
}

static int contains(const char* text, const char* part) {
  for (; text && *text; ++text) {
    const char *a = text, *b = part;
    while (*b && *a == *b) ++a, ++b;
    if (!*b) return 1;
  }
  return 0;
}

static int run(void) {
  char* encoded = Encypt("abc");
  char* decoded = DeEncypt("YWJj");
  /* Three arguments: a __stdcall callee pops 12 bytes, so a wrong count
   * would wreck the stack. An empty amount fails its check (or the centre
   * is not configured here) before anything is sent: "300" either way. */
  char* balance = cliBalance("10000001", "", "341122");
  int ok = same(encoded, "YWJj") && same(decoded, "abc") && contains(balance, "<out_code>300</out_code>");
  freeResult(encoded);
  freeResult(decoded);
  freeResult(balance);
  return ok ? 0 : 1;
}

#ifdef NV_NO_C_RUNTIME
/* The entry point itself: its return value is the exit status. */
int entry(void) { return run(); }
#else
int main(void) { return run(); }
#endif
