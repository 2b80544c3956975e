// SPDX-License-Identifier: MIT
// What loading and unloading the library mean for what it keeps: the
// connection pool, the SOAP contexts, the trusted roots and the HTTP and TLS
// libraries' global state. Each platform has its own entry and exit
// (library_lifetime_posix.cpp, library_lifetime_windows.cpp); both release
// through releaseOnUnload.
#ifndef NV_CLIENT_LIBRARY_LIFETIME_H
#define NV_CLIENT_LIBRARY_LIFETIME_H

#include "text/platform.h"

namespace nv {

// Held by every exported call while it runs: what unloading frees is left
// alone while a call may still use it (at the process's exit, say, with a
// call still running on another thread).
class CallInFlight {
 public:
  CallInFlight();
  ~CallInFlight();
  CallInFlight(const CallInFlight&) = delete;
  CallInFlight& operator=(const CallInFlight&) = delete;
};
bool callsInFlight();

// Frees everything the library keeps between calls: the kept connections,
// the trusted roots, the HTTP library's share and global state, the idle
// SOAP contexts and XML parsers, the caches added below, then the TLS library's global
// state where it is the library's own (Windows). No call may run.
void releaseLibrary();

// What unloading the library does, on every platform (a shared object's
// last dlclose or the process's exit after main; FreeLibrary): releases
// all of the above unless a call may still be running. True when it did.
bool releaseOnUnload();

// Adds a cache of the layers above (the settings files' kept copies) to
// what releaseLibrary frees. Idempotent; up to four.
void releaseAlsoWithLibrary(void (*release)());

}  // namespace nv

#endif
