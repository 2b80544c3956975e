// SPDX-License-Identifier: MIT
// Idle objects that are slow to set up (SOAP contexts, XML parsers), kept
// for the next calls: at most kMostIdle, one call at a time each. The room
// is set aside when the pool is made, so keeping one never allocates.
#ifndef NV_CLIENT_IDLE_POOL_H
#define NV_CLIENT_IDLE_POOL_H

#include <cstddef>
#include <vector>

#include "text/platform.h"

namespace nv {

template <typename T, void (*Free)(T)>
class IdlePool {
 public:
  IdlePool() { idle_.reserve(kMostIdle); }
  ~IdlePool() { freeAll(); }
  IdlePool(const IdlePool&) = delete;
  IdlePool& operator=(const IdlePool&) = delete;

  // An idle one, or null when none is idle.
  T take() {
    Locked held(lock_);
    if (idle_.empty()) return nullptr;
    T item = idle_.back();
    idle_.pop_back();
    return item;
  }
  // Kept when there is room, freed otherwise.
  void give(T item) {
    {
      Locked held(lock_);
      if (idle_.size() < kMostIdle) {
        idle_.push_back(item);
        return;
      }
    }
    Free(item);
  }
  void freeAll() {
    Locked held(lock_);
    for (T item : idle_) Free(item);
    idle_.clear();  // keeps its room
  }

 private:
  static constexpr size_t kMostIdle = 8;
  Lock lock_;
  std::vector<T> idle_;
};

}  // namespace nv

#endif
