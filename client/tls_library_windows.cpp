// SPDX-License-Identifier: MIT
#include <winsock2.h>
#include <windows.h>

#include <openssl/crypto.h>
#include <openssl/ssl.h>

#include "client/connection_pool.h"

namespace nv {

// No configuration file: its default path lies in a folder a user may be
// able to create. No exit handler: the HIS may unload the DLL long before
// it exits, and a handler left behind would call into unmapped code.
// Winsock is started here, on a call, and never cleaned up by the library:
// cleaning it up belongs outside DllMain, where unloading runs.
void prepareTlsLibrary() {
  OPENSSL_init_crypto(OPENSSL_INIT_NO_LOAD_CONFIG | OPENSSL_INIT_NO_ATEXIT, nullptr);
  OPENSSL_init_ssl(OPENSSL_INIT_NO_LOAD_CONFIG, nullptr);
  WSADATA started;
  WSAStartup(MAKEWORD(2, 2), &started);
}

// Without CURL_GLOBAL_WIN32: the HTTP library's global state can then be
// freed when the DLL is unloaded, without a Winsock clean-up there.
long httpLibraryInitFlags() { return CURL_GLOBAL_SSL; }

}  // namespace nv
