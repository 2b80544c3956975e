// SPDX-License-Identifier: MIT
#include <winsock2.h>
#include <windows.h>
#include <winhttp.h>

#include <vector>

#include "client/proxy_choice.h"
#include "text/ascii_case.h"

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

std::vector<std::string> split(const std::string& text, const char* separators) {
  std::vector<std::string> parts;
  for (size_t at = 0; at <= text.size();) {
    size_t end = text.find_first_of(separators, at);
    if (end == std::string::npos) end = text.size();
    if (end > at) parts.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return parts;
}

// A bypass pattern of Internet Options: '*' stands for any run of characters.
bool globMatches(const std::string& pattern, const std::string& text) {
  size_t p = 0, t = 0, star = std::string::npos, resume = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = t;
    } else if (p < pattern.size() && pattern[p] == text[t]) {
      ++p;
      ++t;
    } else if (star != std::string::npos) {
      p = star + 1;
      t = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

// The proxy Windows is set up with for this host: the user's Internet
// Options, else WinHTTP's own setting (netsh winhttp set proxy). "" when the
// host is reached directly. Automatic configuration scripts are not run.
std::string systemProxyFor(bool https, const std::string& host) {
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
  if (list.empty()) return "";
  std::string name = asciiLowered(host);
  for (const std::string& entry : split(asciiLowered(bypass), "; \t")) {
    if (entry == "<local>" ? name.find('.') == std::string::npos : globMatches(entry, name)) return "";
  }
  // "host:port" for every scheme, or "http=host:port;https=host:port".
  std::string forAll, forScheme;
  for (const std::string& entry : split(list, "; \t")) {
    size_t equals = entry.find('=');
    if (equals == std::string::npos)
      forAll = entry;
    else if (asciiLowered(entry.substr(0, equals)) == (https ? "https" : "http"))
      forScheme = entry.substr(equals + 1);
  }
  return forScheme.empty() ? forAll : forScheme;
}
}  // namespace

std::string systemProxy(bool https, const std::string& host) { return systemProxyFor(https, host); }

}  // namespace nv
