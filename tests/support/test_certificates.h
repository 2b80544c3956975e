// SPDX-License-Identifier: MIT
// Certificates for the HTTPS tests, made afresh in a scratch directory by
// each test: a root that the test trusts, and servers' PEM files (the
// certificate, then its private key) that pass or fail the client's checks.
#ifndef NVTEST_TEST_CERTIFICATES_H
#define NVTEST_TEST_CERTIFICATES_H

#include <string>

namespace nvtest {

struct TestCertificates {
  explicit TestCertificates(const std::string& directory);

  std::string trustedRoot;  // the root's certificate (PEM), for SSL_CERT_FILE
  // Server PEM files:
  std::string localhost;  // signed by the root for "localhost" and 127.0.0.1
  std::string wrongName;  // signed by the root for another host
  std::string expired;    // signed by the root for "localhost", expired a day ago
  std::string stranger;   // for "localhost", signed by a root nobody trusts
};

}  // namespace nvtest

#endif
