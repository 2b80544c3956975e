// SPDX-License-Identifier: MIT
#include "tests/support/test_certificates.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <ctime>
#include <memory>
#include <stdexcept>

namespace nvtest {
namespace {

constexpr long kDay = 24 * 60 * 60;

struct Issued {
  std::shared_ptr<EVP_PKEY> key;
  std::shared_ptr<X509> certificate;
};

void require(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("test certificates: ") + what);
}

void addExtension(X509* certificate, X509* issuer, int nid, const char* value) {
  X509V3_CTX context;
  X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
  X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
  require(extension != nullptr && X509_add_ext(certificate, extension, -1) == 1, "extension");
  X509_EXTENSION_free(extension);
}

// A certificate for commonName valid from `from` to `until` seconds from now,
// signed by issuer (itself when null). A root when altNames is empty.
Issued issue(const char* commonName, const char* altNames, long from, long until, const Issued* issuer) {
  static std::atomic<long> serial{1};
  Issued made{std::shared_ptr<EVP_PKEY>(EVP_EC_gen("P-256"), EVP_PKEY_free),
              std::shared_ptr<X509>(X509_new(), X509_free)};
  require(made.key && made.certificate, "key");
  X509* cert = made.certificate.get();
  X509_set_version(cert, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(cert), ++serial);
  X509_gmtime_adj(X509_getm_notBefore(cert), from);
  X509_gmtime_adj(X509_getm_notAfter(cert), until);
  X509_NAME* name = X509_get_subject_name(cert);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(commonName), -1, -1, 0);
  X509* issuerCert = issuer ? issuer->certificate.get() : cert;
  X509_set_issuer_name(cert, X509_get_subject_name(issuerCert));
  X509_set_pubkey(cert, made.key.get());
  if (*altNames == '\0') {
    addExtension(cert, issuerCert, NID_basic_constraints, "critical,CA:TRUE");
    addExtension(cert, issuerCert, NID_key_usage, "critical,keyCertSign,cRLSign");
  } else {
    addExtension(cert, issuerCert, NID_subject_alt_name, altNames);
    addExtension(cert, issuerCert, NID_ext_key_usage, "serverAuth");
  }
  require(X509_sign(cert, (issuer ? issuer->key : made.key).get(), EVP_sha256()) > 0, "signing");
  return made;
}

void writePem(const std::string& path, const Issued& issued, bool withKey) {
  std::FILE* file = std::fopen(path.c_str(), "w");
  require(file != nullptr, "cannot write");
  bool ok = PEM_write_X509(file, issued.certificate.get()) == 1 &&
            (!withKey || PEM_write_PrivateKey(file, issued.key.get(), nullptr, nullptr, 0, nullptr, nullptr) == 1);
  std::fclose(file);
  require(ok, "PEM");
}

}  // namespace

TestCertificates::TestCertificates(const std::string& directory) {
  // A name of its own: roots of earlier runs may linger in a trust store
  // (a Wine prefix's), and a root is found by its name.
  std::string rootName = "NvInterFace test root " + std::to_string(std::time(nullptr)) + "-" + std::to_string(getpid());
  Issued root = issue(rootName.c_str(), "", -kDay, 30 * kDay, nullptr);
  Issued strangerRoot = issue("Unknown root", "", -kDay, 30 * kDay, nullptr);
  const char* localNames = "DNS:localhost,IP:127.0.0.1";
  const struct {
    std::string* path;
    const char* file;
    Issued issued;
  } servers[] = {
      {&localhost, "/localhost.pem", issue("localhost", localNames, -kDay, 30 * kDay, &root)},
      {&wrongName, "/wrong-name.pem", issue("elsewhere.invalid", "DNS:elsewhere.invalid", -kDay, 30 * kDay, &root)},
      {&expired, "/expired.pem", issue("localhost", localNames, -30 * kDay, -kDay, &root)},
      {&stranger, "/stranger.pem", issue("localhost", localNames, -kDay, 30 * kDay, &strangerRoot)},
  };
  trustedRoot = directory + "/trusted-root.pem";
  writePem(trustedRoot, root, false);
  for (const auto& server : servers) {
    *server.path = directory + server.file;
    writePem(*server.path, server.issued, true);
  }
}

}  // namespace nvtest
