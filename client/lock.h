// SPDX-License-Identifier: MIT
// A mutual exclusion lock for the process-wide caches. Each platform has its
// own in lock_posix.cpp and lock_windows.cpp (the Windows toolchain's C++
// library has no std::mutex).
#ifndef NV_CLIENT_LOCK_H
#define NV_CLIENT_LOCK_H

namespace nv {

class Lock {
 public:
  Lock();
  ~Lock();
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

  void acquire();
  void release();

 private:
  alignas(16) unsigned char storage_[64];
};

class Locked {
 public:
  explicit Locked(Lock& lock) : lock_(lock) { lock_.acquire(); }
  ~Locked() { lock_.release(); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;

 private:
  Lock& lock_;
};

}  // namespace nv

#endif
