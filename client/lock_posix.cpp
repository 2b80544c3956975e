// SPDX-License-Identifier: MIT
#include <pthread.h>

#include <new>

#include "text/platform.h"

namespace nv {

static_assert(sizeof(pthread_mutex_t) <= 64, "Lock's storage holds a pthread mutex");

Lock::Lock() { pthread_mutex_init(new (storage_) pthread_mutex_t, nullptr); }
Lock::~Lock() { pthread_mutex_destroy(reinterpret_cast<pthread_mutex_t*>(storage_)); }
void Lock::acquire() { pthread_mutex_lock(reinterpret_cast<pthread_mutex_t*>(storage_)); }
void Lock::release() { pthread_mutex_unlock(reinterpret_cast<pthread_mutex_t*>(storage_)); }

}  // namespace nv
