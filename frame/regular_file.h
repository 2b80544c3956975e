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

// What tells one state of a file from another without reading it: which
// file the name leads to, its size and when it was last changed. Times are
// nanoseconds of the system clock; changedAt is the status change time
// where the system keeps one that no program can set (0 elsewhere), so that
// a write that puts the modification time back is seen too.
struct FileStamp {
  unsigned long long volume = 0, file = 0, size = 0;
  long long modifiedAt = 0, changedAt = 0;
  bool operator==(const FileStamp& other) const {
    return volume == other.volume && file == other.file && size == other.size && modifiedAt == other.modifiedAt &&
           changedAt == other.changedAt;
  }
};
// Looks at the file without opening it for reading: kRead with its stamp,
// or why it cannot be read, as readRegularFile would say.
FileRead stampRegularFile(const char* name, FileStamp& stamp);
// The system clock now, in the stamps' nanoseconds.
long long fileClockNow();

}  // namespace nv

#endif
