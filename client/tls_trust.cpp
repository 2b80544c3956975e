// SPDX-License-Identifier: MIT
#include "client/tls_trust.h"

#include <openssl/x509.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <new>

#include "text/platform.h"

namespace nv {
namespace {

constexpr std::chrono::minutes kRefresh{5};

struct SharedRoots {
  Lock lock;
  X509_STORE* store = nullptr;
  std::string source;
  std::chrono::steady_clock::time_point readAt;
};

std::atomic<SharedRoots*> made{nullptr};

// Made on first use and kept until the library is unloaded.
SharedRoots& shared() {
  if (SharedRoots* roots = made.load(std::memory_order_acquire)) return *roots;
  auto* created = new SharedRoots;
  SharedRoots* expected = nullptr;
  if (made.compare_exchange_strong(expected, created)) return *created;
  delete created;
  return *expected;
}

// The SHA-256 digests of the certificates a store refuses, in its extra data.
using Digests = std::vector<std::string>;

std::string digestOf(X509* certificate) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (X509_digest(certificate, EVP_sha256(), digest, &length) != 1) return "";
  return std::string(reinterpret_cast<char*>(digest), length);
}

void freeDigests(void*, void* digests, CRYPTO_EX_DATA*, int, long, void*) { delete static_cast<Digests*>(digests); }

int digestsIndex() {
  static const int index = X509_STORE_get_ex_new_index(0, nullptr, nullptr, nullptr, freeDigests);
  return index;
}

// Each certificate of the chain, as the check reaches it: one the system
// distrusts fails the check, whatever else holds.
int refuseDistrusted(int ok, X509_STORE_CTX* check) {
  X509* certificate = X509_STORE_CTX_get_current_cert(check);
  const auto* digests =
      static_cast<const Digests*>(X509_STORE_get_ex_data(X509_STORE_CTX_get0_store(check), digestsIndex()));
  if (certificate == nullptr || digests == nullptr) return ok;
  const std::string digest = digestOf(certificate);
  if (digest.empty() || std::find(digests->begin(), digests->end(), digest) != digests->end()) {
    X509_STORE_CTX_set_error(check, X509_V_ERR_CERT_REJECTED);
    return 0;
  }
  return ok;
}

// The system's roots, with its distrusted certificates refused.
X509_STORE* readSystemTrust() {
  X509_STORE* store = readTrustedRoots();
  if (store == nullptr) return nullptr;
  try {
    const std::vector<std::string> distrusted = readDistrustedCertificates();
    if (distrusted.empty() || refuseCertificates(store, distrusted)) return store;
  } catch (const std::bad_alloc&) {
  }
  // Without memory to refuse them, nothing is trusted.
  X509_STORE_free(store);
  return nullptr;
}

}  // namespace

bool refuseCertificates(X509_STORE* store, const std::vector<std::string>& distrusted) {
  auto digests = std::make_unique<Digests>();
  for (const std::string& der : distrusted) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(der.data());
    X509* certificate = d2i_X509(nullptr, &bytes, static_cast<long>(der.size()));
    if (certificate == nullptr) continue;
    std::string digest = digestOf(certificate);
    X509_free(certificate);
    if (!digest.empty()) digests->push_back(std::move(digest));
  }
  if (X509_STORE_set_ex_data(store, digestsIndex(), digests.get()) != 1) return false;
  digests.release();
  X509_STORE_set_verify_cb(store, refuseDistrusted);
  return true;
}

bool useTrustedRoots(SSL_CTX* ctx) {
  SharedRoots& roots = shared();
  const std::string source = trustedRootsSource();
  const auto now = std::chrono::steady_clock::now();
  X509_STORE* store = nullptr;
  {
    Locked held(roots.lock);
    if (roots.store != nullptr && roots.source == source && now - roots.readAt < kRefresh) {
      store = roots.store;
      X509_STORE_up_ref(store);
    }
  }
  if (store == nullptr) {
    // Read outside the lock: other calls go on with the roots they have.
    store = readSystemTrust();
    if (store == nullptr) return false;
    X509_STORE_up_ref(store);
    X509_STORE* replaced = nullptr;
    {
      Locked held(roots.lock);
      replaced = roots.store;
      roots.store = store;
      roots.source = source;
      roots.readAt = now;
    }
    if (replaced != nullptr) X509_STORE_free(replaced);
  }
  SSL_CTX_set_cert_store(ctx, store);  // takes the reference
  return true;
}

void forgetTrustedRootsInChild() { made.store(nullptr); }

void releaseTrustedRoots(bool forGood) {
  SharedRoots* roots = forGood ? made.exchange(nullptr) : made.load();
  if (roots == nullptr) return;
  X509_STORE* store = nullptr;
  {
    Locked held(roots->lock);
    store = roots->store;
    roots->store = nullptr;
  }
  if (store != nullptr) X509_STORE_free(store);
  if (forGood) delete roots;
}

}  // namespace nv
