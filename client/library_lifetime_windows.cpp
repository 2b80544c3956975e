// SPDX-License-Identifier: MIT
// The DLL's entry point: what the process's threads and the unloading of
// the DLL leave behind.
#include <winsock2.h>
#include <windows.h>

#include <openssl/crypto.h>

#include "client/library_lifetime.h"

namespace nv {

void keepLibraryLoaded() {
  HMODULE self = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                     reinterpret_cast<LPCWSTR>(&keepLibraryLoaded), &self);
}

}  // namespace nv

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  switch (reason) {
    case DLL_THREAD_DETACH:
      // A HIS thread that made calls leaves the TLS library's state of it behind.
      OPENSSL_thread_stop();
      break;
    case DLL_PROCESS_DETACH:
      // Unloaded while the process goes on (FreeLibrary): everything kept
      // between calls is freed, and the TLS library's global state too,
      // which is the DLL's own (linked in) and made afresh by the next
      // load. At the process's exit (reserved set) its other threads are
      // gone, maybe holding a lock, so nothing is touched.
      if (reserved == nullptr) nv::releaseOnUnload();
      break;
    default: break;
  }
  return TRUE;
}
