// SPDX-License-Identifier: MIT
#include <winsock2.h>
#include <windows.h>

#include <new>

#include "text/platform.h"

namespace nv {

static_assert(sizeof(SRWLOCK) <= 64, "Lock's storage holds a slim reader/writer lock");

Lock::Lock() { InitializeSRWLock(new (storage_) SRWLOCK); }
Lock::~Lock() {}
void Lock::acquire() { AcquireSRWLockExclusive(reinterpret_cast<SRWLOCK*>(storage_)); }
void Lock::release() { ReleaseSRWLockExclusive(reinterpret_cast<SRWLOCK*>(storage_)); }

}  // namespace nv
