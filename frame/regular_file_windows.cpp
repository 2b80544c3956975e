// SPDX-License-Identifier: MIT
#include <winsock2.h>
#include <windows.h>

#include "text/platform.h"

namespace nv {

namespace {

// A file of the working directory opened for `access`, writers never kept
// out, closed when it goes; state says why there is none, or that it is not
// a file on a disk.
struct OpenFile {
  HANDLE handle = INVALID_HANDLE_VALUE;
  FileRead state = FileRead::kRead;
  OpenFile(const char* name, DWORD access) {
    handle = CreateFileA(name, access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      DWORD error = GetLastError();
      state = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileRead::kMissing : FileRead::kFailed;
    } else if (GetFileType(handle) != FILE_TYPE_DISK) {
      state = FileRead::kNotRegular;
    }
  }
  ~OpenFile() {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
};

// FILETIME counts 100 ns steps.
long long nanoseconds(const FILETIME& at) {
  return static_cast<long long>((static_cast<unsigned long long>(at.dwHighDateTime) << 32) | at.dwLowDateTime) * 100;
}

}  // namespace

FileRead readRegularFile(const char* name, std::string& bytes) {
  bytes.clear();
  OpenFile opened(name, GENERIC_READ);
  if (opened.state != FileRead::kRead) return opened.state;
  const HANDLE file = opened.handle;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size)) return FileRead::kFailed;
  bytes.resize(static_cast<size_t>(size.QuadPart) + 1);
  size_t got = 0;
  for (;;) {
    if (got == bytes.size()) bytes.resize(bytes.size() * 2);
    const size_t room = bytes.size() - got;
    DWORD read = 0;
    if (!ReadFile(file, &bytes[got], room > 0x40000000 ? 0x40000000 : static_cast<DWORD>(room), &read, nullptr)) {
      bytes.clear();
      return FileRead::kFailed;
    }
    if (read == 0) break;
    got += read;
  }
  bytes.resize(got);
  return FileRead::kRead;
}

FileRead stampRegularFile(const char* name, FileStamp& stamp) {
  // Opened for its attributes only: no data is read.
  OpenFile opened(name, FILE_READ_ATTRIBUTES);
  if (opened.state != FileRead::kRead) return opened.state;
  BY_HANDLE_FILE_INFORMATION about{};
  if (!GetFileInformationByHandle(opened.handle, &about)) return FileRead::kFailed;
  if (about.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return FileRead::kNotRegular;
  stamp.volume = about.dwVolumeSerialNumber;
  stamp.file = (static_cast<unsigned long long>(about.nFileIndexHigh) << 32) | about.nFileIndexLow;
  stamp.size = (static_cast<unsigned long long>(about.nFileSizeHigh) << 32) | about.nFileSizeLow;
  stamp.modifiedAt = nanoseconds(about.ftLastWriteTime);
  stamp.changedAt = 0;  // Windows keeps no change time that a program cannot set
  return FileRead::kRead;
}

long long fileClockNow() {
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  return nanoseconds(now);
}

}  // namespace nv
