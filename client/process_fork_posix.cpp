// SPDX-License-Identifier: MIT
#include <pthread.h>

#include "text/platform.h"

namespace nv {

// glibc forgets the handlers when the shared object is unloaded.
void watchForks(void (*prepare)(), void (*parent)(), void (*child)()) { pthread_atfork(prepare, parent, child); }

}  // namespace nv
