// SPDX-License-Identifier: MIT
#include <openssl/ssl.h>

#include <cstdlib>

#include "text/platform.h"

namespace nv {

std::string trustedRootsSource() {
  const char* file = std::getenv("SSL_CERT_FILE");
  const char* dir = std::getenv("SSL_CERT_DIR");
  return std::string(file ? file : "") + '\n' + (dir ? dir : "");
}

X509_STORE* readTrustedRoots() {
  X509_STORE* store = X509_STORE_new();
  if (store == nullptr) return nullptr;
  // The default file and directory, or those the variables name; a
  // directory's certificates are read as the checks look them up.
  X509_STORE_set_default_paths(store);
  return store;
}

// Linux has no store of distrusted certificates: a root is distrusted by
// taking it out of the system's roots.
std::vector<std::string> readDistrustedCertificates() { return {}; }

}  // namespace nv
