#include "client/connection_pool.h"

#include <algorithm>
#include <atomic>
#include <new>

#include "client/tls_trust.h"

namespace nv {
namespace {
std::atomic<ConnectionPool*> made{nullptr};
}  // namespace

ConnectionPool& ConnectionPool::instance() {
  // Never destroyed: a HIS thread may still be calling while the process exits.
  static ConnectionPool* pool = [] {
    auto* created = new ConnectionPool;
    made.store(created);
    return created;
  }();
  return *pool;
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
  delete pool;
  curl_global_cleanup();
}

ConnectionPool::~ConnectionPool() {
  if (share_ != nullptr) curl_share_cleanup(share_);
}

ConnectionPool::ConnectionPool() {
  prepareTlsLibrary();
  if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) return;
  share_ = curl_share_init();
  if (share_ == nullptr) return;
  curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, lockData);
  curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, unlockData);
  curl_share_setopt(share_, CURLSHOPT_USERDATA, this);
  usable_ = curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS) == CURLSHE_OK &&
            curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION) == CURLSHE_OK;
  idle_.reserve(kMostIdle);
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
  if (!usable_) return {};
  const auto now = std::chrono::steady_clock::now();
  std::vector<TransferHandle> expired;
  TransferHandle found;
  {
    Locked held(lock_);
    expired.reserve(idle_.size());
    for (auto it = idle_.begin(); it != idle_.end();) {
      if (now - it->since >= idleLimit) {
        expired.push_back(it->handle);
        it = idle_.erase(it);
      } else {
        ++it;
      }
    }
    // The most recently used connection to the origin is the likeliest alive.
    for (auto it = idle_.rbegin(); it != idle_.rend(); ++it)
      if (it->origin == origin) {
        found = it->handle;
        idle_.erase(std::next(it).base());
        break;
      }
  }
  for (TransferHandle handle : expired) close(handle);
  return found ? found : fresh();
}

void ConnectionPool::give(TransferHandle handle, const std::string& origin, bool keep) {
  if (!handle) return close(handle);
  if (keep) {
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
