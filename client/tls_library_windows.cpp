// SPDX-License-Identifier: MIT
#include <winsock2.h>
#include <windows.h>

#include <curl/curl.h>
#include <openssl/crypto.h>
#include <openssl/ssl.h>

#include "text/platform.h"

namespace nv {
namespace {

// The TLS library's memory lives in a heap of its own, made on the first
// call and destroyed when the DLL is unloaded, after the library's own
// clean-up: its blocks never mix with the C runtime's, which the runtime
// still uses while the DLL is taken down.
HANDLE tlsHeap = nullptr;

void* heapMalloc(size_t size, const char*, int) { return HeapAlloc(tlsHeap, 0, size == 0 ? 1 : size); }
void* heapRealloc(void* block, size_t size, const char*, int) {
  if (block == nullptr) return HeapAlloc(tlsHeap, 0, size == 0 ? 1 : size);
  return HeapReAlloc(tlsHeap, 0, block, size == 0 ? 1 : size);
}
void heapFree(void* block, const char*, int) {
  if (block != nullptr) HeapFree(tlsHeap, 0, block);
}

}  // namespace

// No configuration file: its default path lies in a folder a user may be
// able to create. No exit handler: the HIS may unload the DLL long before
// it exits, and a handler left behind would call into unmapped code.
// Winsock is started here, on a call, and never cleaned up by the library:
// cleaning it up belongs outside DllMain, where unloading runs.
void prepareTlsLibrary() {
  if (tlsHeap == nullptr) {
    tlsHeap = HeapCreate(0, 0, 0);
    if (tlsHeap != nullptr && CRYPTO_set_mem_functions(heapMalloc, heapRealloc, heapFree) != 1) {
      HeapDestroy(tlsHeap);  // the TLS library allocated already: it keeps the C runtime's heap
      tlsHeap = nullptr;
    }
  }
  OPENSSL_init_crypto(OPENSSL_INIT_NO_LOAD_CONFIG | OPENSSL_INIT_NO_ATEXIT, nullptr);
  OPENSSL_init_ssl(OPENSSL_INIT_NO_LOAD_CONFIG, nullptr);
  WSADATA started;
  WSAStartup(MAKEWORD(2, 2), &started);
}

void releaseTlsLibrary() {
  OPENSSL_cleanup();
  if (tlsHeap != nullptr) HeapDestroy(tlsHeap);
  tlsHeap = nullptr;
}

// Without CURL_GLOBAL_WIN32: the HTTP library's global state can then be
// freed when the DLL is unloaded, without a Winsock clean-up there.
long httpLibraryInitFlags() { return CURL_GLOBAL_SSL; }

}  // namespace nv
