// SPDX-License-Identifier: MIT
// Runs Windows programs of the cross build under Wine from a Linux test:
// headless, with a Wine prefix of its own in the cross build tree, and
// bounded in time.
#ifndef NV_TESTS_WINDOWS_WINE_PROCESS_H
#define NV_TESTS_WINDOWS_WINE_PROCESS_H

#include <string>
#include <vector>

namespace nvwine {

// The `wine` program on PATH, or "" when Wine is not installed.
std::string findWine();
// Wine's 64-bit loader, which runs x64 programs natively; "" when absent.
std::string findWine64();

struct RunOutcome {
  bool started = false;
  bool timedOut = false;
  int exitCode = -1;   // the program's exit status when it exited
  std::string output;  // what it wrote to stdout and stderr, for messages
};

// Runs `argv` (argv[0] the program) in `workDir` with Wine's environment
// for `prefix`; kills it after `timeoutSeconds`.
RunOutcome runWithWine(const std::vector<std::string>& argv, const std::string& workDir, const std::string& prefix,
                       int timeoutSeconds);

// Creates the prefix once (wineboot), serialised between test processes by
// a lock file beside it. Returns "" on success, else what went wrong.
std::string ensurePrefix(const std::string& wine, const std::string& prefix);

// How this machine runs 32-bit x86 programs: "" when natively, else what
// runs them, from the binfmt_misc entry that takes i386 ELF files (the
// kernel hands such files to it before its own loader). Under that
// emulator a 32-bit program that starts several threads can crash or hang
// by chance, so the x86 tests then keep to one thread. binfmtDir is the
// binfmt_misc folder, for tests.
std::string i386Emulator(const std::string& binfmtDir = "/proc/sys/fs/binfmt_misc");

// A Linux path as Wine's Windows programs name it: "Z:\\dir\\file".
std::string windowsPath(const std::string& linuxPath);

}  // namespace nvwine

#endif
