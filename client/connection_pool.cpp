// SPDX-License-Identifier: MIT
#include "client/connection_pool.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <utility>

#include "text/platform.h"
#include "client/tls_trust.h"

namespace nv {

// Forgets the session contexts a forked child inherited (service_session.cpp).
void forgetSessionContextsInChild();

namespace {
std::atomic<ConnectionPool*> made{nullptr};
std::atomic<bool> watchingForks{false};
}  // namespace

// Around a fork: the pool's list is still while the process is copied, so
// that the child can close its parent's kept sockets by number (sending
// nothing: the parent's connections and TLS sessions stay as they are) and
// then starts with caches of its own. The parent's pool, its locks perhaps
// held by threads the child does not have, is never touched there again.
struct PoolForkWatch {
  static void prepare() {
    if (ConnectionPool* pool = made.load()) pool->lock_.acquire();
  }
  static void parent() {
    if (ConnectionPool* pool = made.load()) pool->lock_.release();
  }
  static void child() {
    if (ConnectionPool* pool = made.exchange(nullptr))
      for (const ConnectionPool::Idle& idle : pool->idle_)
        if (idle.handle.socket != CURL_SOCKET_BAD) closeSocketNumber(idle.handle.socket);
    forgetSessionContextsInChild();
    forgetTrustedRootsInChild();
  }
};

ConnectionPool& ConnectionPool::instance() {
  if (ConnectionPool* pool = made.load(std::memory_order_acquire)) return *pool;
  // Never destroyed while the process goes on: a HIS thread may still be
  // calling while the process exits.
  auto* created = new ConnectionPool;
  ConnectionPool* expected = nullptr;
  if (!made.compare_exchange_strong(expected, created)) {
    delete created;
    return *expected;
  }
  if (!watchingForks.exchange(true)) watchForks(PoolForkWatch::prepare, PoolForkWatch::parent, PoolForkWatch::child);
  return *created;
}

ConnectionPool* ConnectionPool::ifMade() { return made.load(); }

void releaseClientCaches() {
  if (ConnectionPool* pool = ConnectionPool::ifMade()) pool->closeAll();
  releaseTrustedRoots();
}

void releaseClient() {
  ConnectionPool* pool = made.exchange(nullptr);
  releaseTrustedRoots(true);
  if (pool == nullptr) return;
  pool->closeAll();
  const bool initialised = pool->initialised_;
  delete pool;
  if (initialised) curl_global_cleanup();
}

ConnectionPool::~ConnectionPool() {
  if (share_ != nullptr) curl_share_cleanup(share_);
}

ConnectionPool::ConnectionPool() { prepareTlsLibrary(); }

bool ConnectionPool::ready() {
  if (usable_.load(std::memory_order_acquire)) return true;
  // Memory may have run out the last time: each call tries again, so that a
  // moment without memory does not fail every call after it.
  Locked held(lock_);
  if (usable_.load(std::memory_order_relaxed)) return true;
  if (!initialised_) initialised_ = curl_global_init(httpLibraryInitFlags()) == CURLE_OK;
  if (!initialised_) return false;
  CURLSH* share = curl_share_init();
  if (share == nullptr) return false;
  curl_share_setopt(share, CURLSHOPT_LOCKFUNC, lockData);
  curl_share_setopt(share, CURLSHOPT_UNLOCKFUNC, unlockData);
  curl_share_setopt(share, CURLSHOPT_USERDATA, this);
  if (curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS) != CURLSHE_OK ||
      curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION) != CURLSHE_OK) {
    curl_share_cleanup(share);
    return false;
  }
  share_ = share;
  usable_.store(true, std::memory_order_release);
  return true;
}

void ConnectionPool::lockData(CURL*, curl_lock_data data, curl_lock_access, void* pool) {
  if (data >= 0 && data < CURL_LOCK_DATA_LAST) static_cast<ConnectionPool*>(pool)->shareLocks_[data].acquire();
}

void ConnectionPool::unlockData(CURL*, curl_lock_data data, void* pool) {
  if (data >= 0 && data < CURL_LOCK_DATA_LAST) static_cast<ConnectionPool*>(pool)->shareLocks_[data].release();
}

TransferHandle ConnectionPool::fresh() {
  TransferHandle handle{curl_easy_init(), curl_multi_init()};
  if (handle.multi != nullptr) curl_multi_setopt(handle.multi, CURLMOPT_MAXCONNECTS, 1L);
  if (!handle) {
    close(handle);
    return {};
  }
  return handle;
}

void ConnectionPool::close(TransferHandle handle) {
  if (handle.easy != nullptr) curl_easy_cleanup(handle.easy);
  if (handle.multi != nullptr) curl_multi_cleanup(handle.multi);
}

TransferHandle ConnectionPool::take(const std::string& origin, std::chrono::seconds idleLimit) {
  const auto now = std::chrono::steady_clock::now();
  std::vector<TransferHandle> closing;
  TransferHandle found;
  {
    Locked held(lock_);
    closing.reserve(idle_.size());
    for (auto it = idle_.begin(); it != idle_.end();) {
      if (now - it->since >= idleLimit) {
        closing.push_back(it->handle);
        it = idle_.erase(it);
      } else {
        ++it;
      }
    }
    // The most recently used connection to the origin is the likeliest
    // alive; one with anything waiting on it is given up.
    for (auto it = idle_.end(); it != idle_.begin();) {
      --it;
      if (it->origin != origin) continue;
      TransferHandle candidate = it->handle;
      it = idle_.erase(it);
      if (candidate.socket != CURL_SOCKET_BAD && connectionIsQuiet(candidate.socket)) {
        found = candidate;
        break;
      }
      closing.push_back(candidate);
    }
  }
  for (TransferHandle handle : closing) close(handle);
  if (found.multi == nullptr) return fresh();
  return found;
}

void ConnectionPool::give(TransferHandle handle, const std::string& origin, bool keep) {
  if (!handle) return close(handle);
  if (handle.socket == CURL_SOCKET_BAD) keep = false;  // the transfer left no connection
  if (keep) {
    // The transfer handle is kept with the connection, as its call left it:
    // the next call sets every option again (resetting it instead could run
    // out of memory half way, with no way to tell). What pointed into the
    // call that is over points nowhere while it waits.
    curl_easy_setopt(handle.easy, CURLOPT_ERRORBUFFER, nullptr);
    curl_easy_setopt(handle.easy, CURLOPT_CURLU, nullptr);
    TransferHandle evicted;
    try {
      Locked held(lock_);
      // A full pool gives up its oldest connection for the newest.
      if (idle_.size() >= kMostIdle) {
        evicted = idle_.front().handle;
        idle_.erase(idle_.begin());
      }
      idle_.push_back({handle, origin, std::chrono::steady_clock::now()});
      handle = {};
    } catch (...) {
      // No memory for the entry: the handle is closed instead.
    }
    close(evicted);
  }
  close(handle);
}

std::shared_ptr<const ParsedEndpoint> ConnectionPool::endpoint(const std::string& address) {
  {
    Locked held(lock_);
    for (const KnownEndpoint& known : endpoints_)
      if (known.address == address) return known.parsed;
  }
  // Parsed outside the lock: it is the HTTP library's work, and the slowest.
  std::shared_ptr<const ParsedEndpoint> parsed = parseEndpoint(address);
  if (!parsed) return parsed;
  KnownEndpoint entry{address, parsed};
  std::shared_ptr<const ParsedEndpoint> dropped;  // let go once the lock is
  try {
    Locked held(lock_);
    for (const KnownEndpoint& known : endpoints_)
      if (known.address == address) return known.parsed;  // another call was first
    endpoints_.reserve(kMostEndpoints);
    if (endpoints_.size() >= kMostEndpoints) {
      dropped = std::move(endpoints_.front().parsed);
      endpoints_.erase(endpoints_.begin());
    }
    endpoints_.push_back(std::move(entry));
  } catch (const std::bad_alloc&) {
    // No memory to keep it: this call uses it alone.
  }
  return parsed;
}

void ConnectionPool::closeAll() {
  std::vector<Idle> closing;
  {
    Locked held(lock_);
    closing.swap(idle_);
  }
  for (const Idle& idle : closing) close(idle.handle);
}

size_t ConnectionPool::idleCount() {
  Locked held(lock_);
  return idle_.size();
}

}  // namespace nv
