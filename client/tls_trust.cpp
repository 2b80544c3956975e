#include "client/tls_trust.h"

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

// Never destroyed: a HIS thread may still be connecting while the process exits.
SharedRoots& shared() {
  static SharedRoots* roots = new SharedRoots;
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

void releaseTrustedRoots() {
  SharedRoots& roots = shared();
  X509_STORE* store = nullptr;
  {
    Locked held(roots.lock);
    store = roots.store;
    roots.store = nullptr;
  }
  if (store != nullptr) X509_STORE_free(store);
}

}  // namespace nv
