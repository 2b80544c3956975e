// SPDX-License-Identifier: MIT
// Console control: Ctrl+C, Ctrl+Break, closing the window, logging off and
// shutting down ask the server to stop.
// First: the runtime's header brings winsock2.h, which must precede windows.h.
#include "tools/sandbox/platform.h"

#include <windows.h>

namespace sandbox {
namespace {

volatile LONG stopFlag = 0;

BOOL WINAPI onConsoleControl(DWORD) {
  InterlockedExchange(&stopFlag, 1);
  // For a closing window Windows waits a few seconds after this returns:
  // long enough for the accept loop to see the flag.
  return TRUE;
}

}  // namespace

void installStopRequestHandlers() {
  SetConsoleCtrlHandler(onConsoleControl, TRUE);
  // The log is UTF-8: a Chinese console (code page 936) shows it as such.
  SetConsoleOutputCP(CP_UTF8);
}

bool stopRequested() { return InterlockedCompareExchange(&stopFlag, 0, 0) != 0; }

}  // namespace sandbox
