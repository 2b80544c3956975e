// SPDX-License-Identifier: MIT
// The proxy the operating system is set up with, as its setting names it,
// and which of it carries a call to a given host. Reading the setting is
// each platform's part (proxy_system_posix.cpp: Linux has none;
// proxy_system_windows.cpp: Internet Options, else WinHTTP's); weighing it
// is the same everywhere (proxy_system.cpp).
#ifndef NV_CLIENT_PROXY_SYSTEM_H
#define NV_CLIENT_PROXY_SYSTEM_H

#include <string>

namespace nv {

struct SystemProxySetting {
  // "host:port" for every scheme, or entries "scheme=host:port"; separated
  // by ';' or blanks. "" when the system names no proxy.
  std::string list;
  // Hosts reached directly, separated by ';' or blanks: patterns in which
  // '*' stands for any run of characters, in any letter case, and
  // "<local>" for every name without a dot.
  std::string bypass;
};

SystemProxySetting readSystemProxySetting();

// "host:port" of the proxy the setting gives a centre on this host, or ""
// when it gives none or bypasses the host.
std::string systemProxyFor(const SystemProxySetting& setting, bool https, const std::string& host);

}  // namespace nv

#endif
