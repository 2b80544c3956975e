// SPDX-License-Identifier: MIT
// The roots an HTTPS centre's certificate is checked against: the system's,
// read once per process, shared by every connection and read again every few
// minutes, so that a root an administrator adds is trusted without a
// restart.
//   Linux: OpenSSL's default verify paths (SSL_CERT_FILE and SSL_CERT_DIR
//          override them; read again when they change).
//   Windows: the certificates of the system's ROOT store (Trusted Root
//          Certification Authorities).
#ifndef NV_CLIENT_TLS_TRUST_H
#define NV_CLIENT_TLS_TRUST_H

#include <string>

#include <openssl/ssl.h>

namespace nv {

// Makes the shared roots the trust store of a new TLS context. False when
// no store could be had.
bool useTrustedRoots(SSL_CTX* ctx);

// Forgets the shared roots (when the library is unloaded); for good also
// frees what holds them, after which no call may come.
void releaseTrustedRoots(bool forGood = false);

// Each platform's part (tls_trust_posix.cpp, tls_trust_windows.cpp): what
// the roots are read from, so a change of it is noticed, and reading them.
std::string trustedRootsSource();
X509_STORE* readTrustedRoots();

}  // namespace nv

#endif
