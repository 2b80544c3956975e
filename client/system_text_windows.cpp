// SPDX-License-Identifier: MIT
#include <winsock2.h>
#include <windows.h>

#include "text/platform.h"

namespace nv {

std::string socketErrorText(long error) {
  char* text = nullptr;
  DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                    FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
                                nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length > 0 && text != nullptr ? std::string(text, length) : std::string();
  if (text != nullptr) LocalFree(text);
  while (!message.empty() && (message.back() == ' ' || message.back() == '\r' || message.back() == '\n'))
    message.pop_back();
  return message.empty() ? "socket error " + std::to_string(error) : message;
}

std::string unresolvedNameText() { return socketErrorText(WSAHOST_NOT_FOUND); }

bool isConnectionRefused(long error) { return error == WSAECONNREFUSED; }

}  // namespace nv
