// SPDX-License-Identifier: MIT
// The one cache of kept connections of the process, shared by every export
// on every thread. The HTTP library does not support sharing one connection
// cache between threads at once, so the cache is a pool of idle transfer
// handles, each keeping the connection of its last call: a call takes one
// for its centre (a connection serves one call at a time) and gives it back
// when its answer is read. Name resolutions and TLS sessions are shared
// through the library's share interface, under locks.
//
// A handle is a transfer and the multi handle that drives it: the call
// drives it itself, so that it looks at its connection attempts at least
// ten times a second (the library's own loop may sleep through a second
// address's connection until that address's time is up).
//
// A kept connection carries a request only when nothing waits on it (the
// pool looks at its socket before handing it out: the HTTP library itself
// takes unread bytes and a pending TLS close-notify for a live connection).
// A process forked from the HIS starts with an empty pool of its own and
// never touches its parent's connections.
#ifndef NV_CLIENT_CONNECTION_POOL_H
#define NV_CLIENT_CONNECTION_POOL_H

#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "client/parsed_endpoint.h"
#include "text/platform.h"

namespace nv {

struct TransferHandle {
  CURL* easy = nullptr;
  CURLM* multi = nullptr;                  // holds the kept connection
  curl_socket_t socket = CURL_SOCKET_BAD;  // the kept connection's, once a transfer left one
  bool prepared = false;                   // the options every call sets alike are set
  explicit operator bool() const { return easy != nullptr && multi != nullptr; }
};

class ConnectionPool {
 public:
  // The process's pool, made on first use. Throws std::bad_alloc.
  static ConnectionPool& instance();
  // Whether the HTTP library and the share are set up: on the first call,
  // and again after memory ran out while setting them up.
  bool ready();
  // The pool if a call has made it, else null.
  static ConnectionPool* ifMade();

  // A handle whose kept connection may serve origin ("https://host:port"
  // and the proxy) and is quiet, else a new one; null when none can be had.
  // Handles idle longer than idleLimit, and unquiet ones, are closed on the
  // way.
  TransferHandle take(const std::string& origin, std::chrono::seconds idleLimit);
  // A handle of the call's own, never kept.
  static TransferHandle fresh();
  // Gives a handle back after its call: kept with its connection and the
  // options its call set (the next call sets them all again), unless keep
  // is false or no connection was left.
  void give(TransferHandle handle, const std::string& origin, bool keep);
  static void close(TransferHandle handle);
  // The service address as parsed by its first call, kept for the calls
  // after it (the last kMostEndpoints addresses). Null when the HTTP library
  // cannot read the address. Throws std::bad_alloc.
  std::shared_ptr<const ParsedEndpoint> endpoint(const std::string& address);
  // Closes every idle handle and its connection.
  void closeAll();
  size_t idleCount();

  // Once ready().
  CURLSH* share() const { return share_; }

 private:
  ConnectionPool();
  ~ConnectionPool();
  friend void releaseClient();
  friend struct PoolForkWatch;

  static void lockData(CURL*, curl_lock_data data, curl_lock_access, void* pool);
  static void unlockData(CURL*, curl_lock_data data, void* pool);

  struct Idle {
    TransferHandle handle;
    std::string origin;
    std::chrono::steady_clock::time_point since;
  };
  static constexpr size_t kMostIdle = 16;
  struct KnownEndpoint {
    std::string address;
    std::shared_ptr<const ParsedEndpoint> parsed;
  };
  static constexpr size_t kMostEndpoints = 16;

  std::atomic<bool> usable_{false};
  bool initialised_ = false;  // the HTTP library's global state, under lock_
  CURLSH* share_ = nullptr;
  Lock shareLocks_[CURL_LOCK_DATA_LAST];
  Lock lock_;
  std::vector<Idle> idle_;
  std::vector<KnownEndpoint> endpoints_;
};

// Closes the kept connections and forgets the shared roots, when the
// library is unloaded while the process goes on. Touches nothing when no
// call was ever made.
void releaseClientCaches();
// All of that, and the HTTP library's share and global state, when the
// library is unloaded for good (a shared object's last dlclose).
void releaseClient();

}  // namespace nv

#endif
