// SPDX-License-Identifier: MIT
// Linux: dlopen and dlsym. The shared library carries no version resource.
#include <dlfcn.h>
#include <unistd.h>

#include <climits>

#include "tools/nvcall/library.h"

namespace nvcall {

const char* libraryFileName() { return "libNvInterFace.so"; }

// Beside nvcall when it is there; else the library built with it; else the
// bare name, which the loader looks for along LD_LIBRARY_PATH.
std::string defaultLibraryPath() {
  std::string self(PATH_MAX, '\0');
  ssize_t length = readlink("/proc/self/exe", self.data(), self.size());
  if (length > 0) {
    self.resize(static_cast<size_t>(length));
    std::string beside = self.substr(0, self.rfind('/') + 1) + libraryFileName();
    if (access(beside.c_str(), R_OK) == 0) return beside;
  }
#ifdef NV_BUILT_LIBRARY
  if (access(NV_BUILT_LIBRARY, R_OK) == 0) return NV_BUILT_LIBRARY;
#endif
  return libraryFileName();
}

Library::Library(const std::string& path) {
  facts_.path = path.empty() ? defaultLibraryPath() : path;
  handle_ = dlopen(facts_.path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* why = dlerror();
    error_ = "cannot load " + facts_.path + ": " + (why ? why : "unknown error");
    return;
  }
  // The file the loader chose, for the report.
  if (void* any = dlsym(handle_, "getCenter")) {
    Dl_info info{};
    if (dladdr(any, &info) && info.dli_fname) facts_.path = info.dli_fname;
  }
  facts_.bits = bitsOfFile(facts_.path);
  std::string missing = missingExport(*this);
  if (!missing.empty()) error_ = facts_.path + " is not an NvInterFace library: it exports no " + missing;
}

Library::~Library() {
  if (handle_) dlclose(handle_);
}

void* Library::address(const char* name) const { return handle_ ? dlsym(handle_, name) : nullptr; }

}  // namespace nvcall
