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

}  // namespace nv
