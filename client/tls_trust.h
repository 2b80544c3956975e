// SPDX-License-Identifier: MIT
// The roots an HTTPS centre's certificate is checked against: the system's,
// read once per process, shared by every connection and read again every few
// minutes, so that a root an administrator adds is trusted without a
// restart.
//   Linux: OpenSSL's default verify paths (SSL_CERT_FILE and SSL_CERT_DIR
//          override them; read again when they change).
//   Windows: the certificates of the system's ROOT store (Trusted Root
//          Certification Authorities); a chain holding any certificate of
//          its Disallowed store (Untrusted Certificates) is refused, root,
//          intermediate or the centre's own.
#ifndef NV_CLIENT_TLS_TRUST_H
#define NV_CLIENT_TLS_TRUST_H

#include <string>
#include <vector>

#include <openssl/ssl.h>

#include "text/platform.h"

namespace nv {

// Makes the shared roots the trust store of a new TLS context. False when
// no store could be had.
bool useTrustedRoots(SSL_CTX* ctx);

// Forgets the shared roots (when the library is unloaded); for good also
// frees what holds them, after which no call may come.
void releaseTrustedRoots(bool forGood = false);
// In a forked child: the parent's roots, and their lock, are left as they
// are; the child reads its own.
void forgetTrustedRootsInChild();

// Makes every check against `store` refuse a chain that holds one of these
// certificates (DER bytes). False when memory ran out.
bool refuseCertificates(X509_STORE* store, const std::vector<std::string>& distrusted);

}  // namespace nv

#endif
