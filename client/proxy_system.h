// SPDX-License-Identifier: MIT
// Which proxy of the operating system's setting (text/platform.h) carries
// a call to a given host: the same on every platform.
#ifndef NV_CLIENT_PROXY_SYSTEM_H
#define NV_CLIENT_PROXY_SYSTEM_H

#include <string>

#include "text/platform.h"

namespace nv {

// "host:port" of the proxy the setting gives a centre on this host, or ""
// when it gives none or bypasses the host.
std::string systemProxyFor(const SystemProxySetting& setting, bool https, const std::string& host);

}  // namespace nv

#endif
