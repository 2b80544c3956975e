// SPDX-License-Identifier: MIT
// The library nvcall calls, loaded as a HIS loads it: NvInterFace.dll from
// nvcall's own folder (libNvInterFace.so beside it or where the system's
// loader finds it), or the file --dll names. Every call, check and version
// nvcall reports is that file's.
#ifndef NV_NVCALL_LIBRARY_H
#define NV_NVCALL_LIBRARY_H

#include <string>

namespace nvcall {

// What the file says of itself.
struct LibraryFacts {
  std::string path;     // as loaded, UTF-8
  std::string version;  // its version resource's FileVersion; "" when it has none
  int bits = 0;         // 32 or 64 from its header; 0 when unreadable
};

class Library {
 public:
  // Loads the library at path, or at defaultLibraryPath() when path is "".
  explicit Library(const std::string& path);
  ~Library();
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  // Whether it loaded and exports every function of NvInterFace.h; if not,
  // why not in plain words (UTF-8).
  bool usable() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  const LibraryFacts& facts() const { return facts_; }

  // The address of an export; null when it has none.
  void* address(const char* name) const;
  // Releases a text the library returned, on the library's own heap.
  void release(char* text) const;

 private:
  void* handle_ = nullptr;
  LibraryFacts facts_;
  std::string error_;
};

// Where the library is looked for when --dll names none.
std::string defaultLibraryPath();
// The file name of the library on this system.
const char* libraryFileName();

// 32 or 64 from an executable file's header (PE or ELF); 0 when unreadable.
int bitsOfFile(const std::string& path);

// The first function of NvInterFace.h that a loaded library does not
// export; "" when it exports them all.
std::string missingExport(const Library& library);

}  // namespace nvcall

#endif
