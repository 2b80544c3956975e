// SPDX-License-Identifier: MIT
#include "bench/library_handle.h"

#include <dlfcn.h>

#include <stdexcept>

namespace nvbench {

namespace {

template <class Function>
void resolve(void* handle, const char* name, Function& into, bool required) {
  into = reinterpret_cast<Function>(dlsym(handle, name));
  if (into == nullptr && required) throw std::runtime_error(std::string("the library lacks ") + name);
}

}  // namespace

LibraryHandle::LibraryHandle(const std::string& path) : handle_(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
  if (handle_ == nullptr) throw std::runtime_error("cannot load " + path + ": " + dlerror());
  resolve(handle_, "getPersonInfo", getPersonInfo, true);
  resolve(handle_, "freeResult", freeResult, true);
  resolve(handle_, "updateLeechdom", updateLeechdom, false);
  resolve(handle_, "inpDetailInput", inpDetailInput, false);
}

LibraryHandle::~LibraryHandle() { dlclose(handle_); }

std::string LibraryHandle::take(char* result) const {
  std::string text = result ? result : "";
  freeResult(result);
  return text;
}

}  // namespace nvbench
