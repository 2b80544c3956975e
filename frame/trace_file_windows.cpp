// SPDX-License-Identifier: MIT
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <ctime>

#include "text/platform.h"

namespace nv {

// One write with FILE_APPEND_DATA: concurrent calls, of this process or
// another, never interleave within an entry. Device and pipe names are
// never opened, and the log is written only when it is a disk file.
void appendToRegularFile(const std::string& path, const std::string& entry) {
  if (path.rfind("\\\\", 0) == 0 || path.rfind("//", 0) == 0) return;
  HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  if (GetFileType(file) == FILE_TYPE_DISK) {
    DWORD written = 0;
    WriteFile(file, entry.data(), static_cast<DWORD>(entry.size()), &written, nullptr);
  }
  CloseHandle(file);
}

std::tm localCalendar(std::time_t seconds) {
  std::tm parts{};
  localtime_s(&parts, &seconds);
  return parts;
}

}  // namespace nv
