// SPDX-License-Identifier: MIT
#include <winsock2.h>
#include <windows.h>

#include "frame/regular_file.h"

namespace nv {

FileRead readRegularFile(const char* name, std::string& bytes) {
  bytes.clear();
  HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileRead::kMissing : FileRead::kFailed;
  }
  struct Closer {
    HANDLE handle;
    ~Closer() { CloseHandle(handle); }
  } closer{file};
  if (GetFileType(file) != FILE_TYPE_DISK) return FileRead::kNotRegular;
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

namespace {

// FILETIME counts 100 ns steps.
long long nanoseconds(const FILETIME& at) {
  return static_cast<long long>((static_cast<unsigned long long>(at.dwHighDateTime) << 32) | at.dwLowDateTime) * 100;
}

}  // namespace

FileRead stampRegularFile(const char* name, FileStamp& stamp) {
  // Opened for its attributes only: no data is read, and no writer is kept out.
  HANDLE file = CreateFileA(name, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileRead::kMissing : FileRead::kFailed;
  }
  struct Closer {
    HANDLE handle;
    ~Closer() { CloseHandle(handle); }
  } closer{file};
  if (GetFileType(file) != FILE_TYPE_DISK) return FileRead::kNotRegular;
  BY_HANDLE_FILE_INFORMATION about{};
  if (!GetFileInformationByHandle(file, &about)) return FileRead::kFailed;
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
