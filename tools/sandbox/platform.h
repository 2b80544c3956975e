// SPDX-License-Identifier: MIT
// What the sandbox needs of the operating system, each part implemented once
// per system (platform_*_posix.cpp, platform_*_windows.cpp): threads, a lock
// and the clock; the stop request (signals, console control); sockets.
#ifndef NV_SANDBOX_PLATFORM_H
#define NV_SANDBOX_PLATFORM_H

#include <ctime>
#include <functional>
#include <memory>

#include "stdsoap2.h"

namespace sandbox {

// ---- Threads and the clock (platform_threads_*.cpp) ----

// A lock for std::lock_guard.
class Mutex {
 public:
  Mutex();
  ~Mutex();
  Mutex(const Mutex&) = delete;
  Mutex& operator=(const Mutex&) = delete;
  void lock();
  void unlock();

 private:
  struct Native;
  std::unique_ptr<Native> native_;
};

// Runs work on a thread of its own that nobody joins; false when the system
// starts no thread.
bool startThread(std::function<void()> work);

void sleepMilliseconds(int milliseconds);

// The local time now; milliseconds receives the part of the second.
std::tm localNow(int& milliseconds);

// ---- The stop request (platform_stop_*.cpp) ----

// From now on SIGINT and SIGTERM (on Windows Ctrl+C, Ctrl+Break and closing
// the console window) ask the server to stop instead of ending it. Also
// readies the standard streams: the log is UTF-8.
void installStopRequestHandlers();
bool stopRequested();

// ---- Sockets (platform_sockets_*.cpp) ----

// Socket settings of the listening context that the system needs (a client
// that hangs up mid-answer must not end the server).
void prepareServerSockets(struct soap* soap);

// The port the listening socket of soap is bound to; -1 when unknown.
int boundPort(struct soap* soap);

// Ends every wait on a connected socket at once (another thread's receive
// or send returns); the socket stays open until its owner closes it.
void interruptSocket(SOAP_SOCKET socket);

}  // namespace sandbox

#endif
