// SPDX-License-Identifier: MIT
#include "client/tls_trust.h"

#include <atomic>
#include <chrono>

#include "client/lock.h"

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
  static SharedRoots* roots = [] {
    auto* created = new SharedRoots;
    made.store(created);
    return created;
  }();
  return *roots;
}

}  // namespace

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
    store = readTrustedRoots();
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
