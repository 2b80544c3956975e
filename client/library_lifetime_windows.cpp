// SPDX-License-Identifier: MIT
// The DLL's entry point: what the process's threads and the unloading of
// the DLL leave behind.
#include <winsock2.h>
#include <windows.h>

#include <openssl/crypto.h>

#include "client/connection_pool.h"
#include "client/service_session.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  switch (reason) {
    case DLL_THREAD_DETACH:
      // A HIS thread that made calls leaves the TLS library's state of it behind.
      OPENSSL_thread_stop();
      break;
    case DLL_PROCESS_DETACH:
      // Unloaded while the process goes on: the kept connections close. At
      // the process's exit (reserved set) its other threads are gone, maybe
      // holding a lock, so nothing is touched.
      if (reserved == nullptr) {
        nv::releaseClientCaches();
        nv::releaseSessionContexts();
      }
      break;
    default: break;
  }
  return TRUE;
}
