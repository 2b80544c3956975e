// SPDX-License-Identifier: MIT
// Reading the files an administrator puts in the HIS's working directory
// (NvConfiguration.ini, NvTrace.ini, NvNetwork.ini): only a regular file,
// opened without waiting, so that a FIFO or a device named there is refused
// at once instead of holding every call. A network share that hangs holds
// the call in the kernel; nothing here can help that. Each platform has its
// own (regular_file_posix.cpp, regular_file_windows.cpp).
#ifndef NV_FRAME_REGULAR_FILE_H
#define NV_FRAME_REGULAR_FILE_H

#include <string>

namespace nv {

enum class FileRead {
  kRead,        // bytes holds the whole file
  kMissing,     // there is no such file
  kNotRegular,  // a FIFO, a device, a folder: not read
  kFailed,      // it could not be opened or read
};

// Throws std::bad_alloc when memory runs out.
FileRead readRegularFile(const char* name, std::string& bytes);

}  // namespace nv

#endif
