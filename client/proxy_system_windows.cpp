// SPDX-License-Identifier: MIT
#include <winsock2.h>
#include <windows.h>
#include <winhttp.h>

#include "text/platform.h"

namespace nv {
namespace {

std::string narrow(const wchar_t* wide) {
  int size = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return "";
  std::string text(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, -1, &text[0], size, nullptr, nullptr);
  text.resize(static_cast<size_t>(size - 1));
  return text;
}

}  // namespace

// The proxy Windows is set up with: the user's Internet Options, else
// WinHTTP's own setting (netsh winhttp set proxy). Automatic configuration
// scripts are not run.
SystemProxySetting readSystemProxySetting() {
  std::string list, bypass;
  WINHTTP_CURRENT_USER_IE_PROXY_CONFIG user{};
  if (WinHttpGetIEProxyConfigForCurrentUser(&user)) {
    if (user.lpszProxy) list = narrow(user.lpszProxy);
    if (user.lpszProxyBypass) bypass = narrow(user.lpszProxyBypass);
    for (LPWSTR text : {user.lpszAutoConfigUrl, user.lpszProxy, user.lpszProxyBypass})
      if (text) GlobalFree(text);
  }
  if (list.empty()) {
    WINHTTP_PROXY_INFO machine{};
    if (WinHttpGetDefaultProxyConfiguration(&machine)) {
      if (machine.dwAccessType == WINHTTP_ACCESS_TYPE_NAMED_PROXY && machine.lpszProxy) {
        list = narrow(machine.lpszProxy);
        bypass = machine.lpszProxyBypass ? narrow(machine.lpszProxyBypass) : "";
      }
      for (LPWSTR text : {machine.lpszProxy, machine.lpszProxyBypass})
        if (text) GlobalFree(text);
    }
  }
  return {list, bypass};
}

}  // namespace nv
