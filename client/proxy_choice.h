// SPDX-License-Identifier: MIT
// Which proxy, if any, carries a call to the centre: http_proxy for http://
// centres and https_proxy for https:// ones (the upper-case forms when the
// lower-case one is not set), with no_proxy's exemptions (client/no_proxy.h);
// on Windows, without them, the proxy the system is set up with. The HTTP
// library parses the proxy's address and its credentials itself.
#ifndef NV_CLIENT_PROXY_CHOICE_H
#define NV_CLIENT_PROXY_CHOICE_H

#include <string>

#include "client/call_status.h"

namespace nv {

struct ProxyChoice {
  std::string url;                         // for the HTTP library; "" to reach the centre directly
  std::string shown;                       // "host:port" of the proxy, without credentials, for the trace
  CallStatus unusable = CallStatus::ok();  // why the setting cannot be used; ok when it can
};

ProxyChoice chooseProxy(bool https, const std::string& host);

// The proxy the operating system is set up with for this host (Windows:
// Internet Options, else WinHTTP's setting), as "host:port", or "" for none
// or when the host is on the system's bypass list (client/proxy_system.h).
std::string systemProxy(bool https, const std::string& host);

}  // namespace nv

#endif
