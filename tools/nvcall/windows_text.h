// SPDX-License-Identifier: MIT
// Windows text for nvcall: UTF-8 inside, UTF-16 at the system's interfaces.
#ifndef NV_NVCALL_WINDOWS_TEXT_H
#define NV_NVCALL_WINDOWS_TEXT_H

#include <windows.h>

#include <string>

namespace nvcall {

std::string utf8Of(const std::wstring& wide);
std::wstring wideOf(const std::string& utf8);
// The system's own words for an error code, with the code.
std::string systemMessage(DWORD code);

}  // namespace nvcall

#endif
