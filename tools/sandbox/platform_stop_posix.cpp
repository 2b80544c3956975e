// SPDX-License-Identifier: MIT
#include <signal.h>

#include <csignal>

#include "tools/sandbox/platform.h"

namespace sandbox {
namespace {

// Set by SIGINT or SIGTERM; the accept loop and held answers look at it.
volatile std::sig_atomic_t stopFlag = 0;

void requestStop(int) { stopFlag = 1; }

}  // namespace

void installStopRequestHandlers() {
  struct sigaction action {};
  action.sa_handler = requestStop;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  // A client that hangs up mid-answer must not end the server.
  std::signal(SIGPIPE, SIG_IGN);
}

bool stopRequested() { return stopFlag != 0; }

}  // namespace sandbox
