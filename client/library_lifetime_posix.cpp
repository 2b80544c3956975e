// SPDX-License-Identifier: MIT
// What unloading the shared object leaves behind: nothing. A HIS that loads
// and unloads the library (dlopen, dlclose) gets back its connections and
// memory; at the process's end the same runs after main.
#include "client/connection_pool.h"
#include "client/service_session.h"

namespace {

__attribute__((destructor)) void unloadClient() {
  nv::releaseClient();
  nv::releaseSessionContexts();
}

}  // namespace
