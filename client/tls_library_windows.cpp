// SPDX-License-Identifier: MIT
#include <openssl/crypto.h>
#include <openssl/ssl.h>

#include "client/connection_pool.h"

namespace nv {

// No configuration file: its default path lies in a folder a user may be
// able to create. No exit handler: the HIS may unload the DLL long before
// it exits, and a handler left behind would call into unmapped code.
void prepareTlsLibrary() {
  OPENSSL_init_crypto(OPENSSL_INIT_NO_LOAD_CONFIG | OPENSSL_INIT_NO_ATEXIT, nullptr);
  OPENSSL_init_ssl(OPENSSL_INIT_NO_LOAD_CONFIG, nullptr);
}

}  // namespace nv
