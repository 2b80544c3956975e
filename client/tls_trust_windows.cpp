// SPDX-License-Identifier: MIT
#include <winsock2.h>
#include <windows.h>
#include <wincrypt.h>

#include <openssl/ssl.h>

#include "text/platform.h"

namespace nv {

// Not OpenSSL's compiled-in paths, which on Windows name folders anyone may
// create: the ROOT store alone.
std::string trustedRootsSource() { return "ROOT"; }

X509_STORE* readTrustedRoots() {
  X509_STORE* trusted = X509_STORE_new();
  if (trusted == nullptr) return nullptr;
  HCERTSTORE store = CertOpenSystemStoreW(0, L"ROOT");
  if (store == nullptr) return trusted;  // nothing is trusted: every handshake fails its check
  for (PCCERT_CONTEXT c = CertEnumCertificatesInStore(store, nullptr); c != nullptr;
       c = CertEnumCertificatesInStore(store, c)) {
    const unsigned char* der = c->pbCertEncoded;
    X509* certificate = d2i_X509(nullptr, &der, static_cast<long>(c->cbCertEncoded));
    if (certificate == nullptr) continue;
    X509_STORE_add_cert(trusted, certificate);
    X509_free(certificate);
  }
  CertCloseStore(store, 0);
  return trusted;
}

// The Disallowed store (Untrusted Certificates), where Windows and its
// administrators put what no chain may hold.
std::vector<std::string> readDistrustedCertificates() {
  std::vector<std::string> distrusted;
  HCERTSTORE store = CertOpenSystemStoreW(0, L"Disallowed");
  if (store == nullptr) return distrusted;
  for (PCCERT_CONTEXT c = CertEnumCertificatesInStore(store, nullptr); c != nullptr;
       c = CertEnumCertificatesInStore(store, c)) {
    try {
      distrusted.emplace_back(reinterpret_cast<const char*>(c->pbCertEncoded), c->cbCertEncoded);
    } catch (...) {
      CertFreeCertificateContext(c);
      CertCloseStore(store, 0);
      throw;
    }
  }
  CertCloseStore(store, 0);
  return distrusted;
}

}  // namespace nv
