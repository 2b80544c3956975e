// SPDX-License-Identifier: MIT
#include <curl/curl.h>

#include "text/platform.h"

namespace nv {

// On Linux the TLS library keeps its defaults, the system's configuration
// file included.
void prepareTlsLibrary() {}

long httpLibraryInitFlags() { return CURL_GLOBAL_DEFAULT; }

void releaseTlsLibrary() {}

}  // namespace nv
