// SPDX-License-Identifier: MIT
// What unloading the shared object leaves behind: nothing. A HIS that loads
// and unloads the library (dlopen, dlclose) gets back its connections and
// memory. At the process's exit the same runs after main, unless a call is
// still running on another thread: then what it uses is left as it is.
#include <dlfcn.h>

#include "client/library_lifetime.h"

namespace nv {

void keepLibraryLoaded() {
  Dl_info self{};
  if (dladdr(reinterpret_cast<void*>(&keepLibraryLoaded), &self) == 0 || self.dli_fname == nullptr) return;
  // A reference never given back, on an object that is never unloaded.
  dlopen(self.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}

}  // namespace nv

namespace {

__attribute__((destructor)) void unloadClient() { nv::releaseOnUnload(); }

}  // namespace
