// SPDX-License-Identifier: MIT
// The library as a HIS loads it: the shared object opened at run time and
// its exports looked up by name.
#ifndef NVBENCH_LIBRARY_HANDLE_H
#define NVBENCH_LIBRARY_HANDLE_H

#include <string>

#include "NvInterFace.h"

namespace nvbench {

class LibraryHandle {
 public:
  explicit LibraryHandle(const std::string& path);  // throws when it cannot load
  ~LibraryHandle();
  LibraryHandle(const LibraryHandle&) = delete;
  LibraryHandle& operator=(const LibraryHandle&) = delete;

  decltype(&::getPersonInfo) getPersonInfo = nullptr;
  decltype(&::updateLeechdom) updateLeechdom = nullptr;  // null while the export is missing
  decltype(&::inpDetailInput) inpDetailInput = nullptr;
  decltype(&::freeResult) freeResult = nullptr;

  // A result text as a std::string, released on the library's heap.
  std::string take(char* result) const;

 private:
  void* handle_;
};

}  // namespace nvbench

#endif
