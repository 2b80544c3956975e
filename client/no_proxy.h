// SPDX-License-Identifier: MIT
// Whether no_proxy sends a centre past the proxy, decided here rather than
// by the HTTP library, which takes an IPv6 centre for a name (only the bare
// address matched) and cannot say afterwards whether its proxy was used.
//
// no_proxy lists entries separated by commas or blanks: "*" exempts every
// host; a name exempts itself and the names below it (a leading or trailing
// dot aside, "example.org" and ".example.org" both exempt "a.example.org"),
// in any letter case; an address exempts itself, or a range written with a
// prefix length ("192.168.0.0/16", "fd00::/8"). IPv6 addresses match bare or
// in brackets, in the list and in the service address alike.
#ifndef NV_CLIENT_NO_PROXY_H
#define NV_CLIENT_NO_PROXY_H

#include <string>
#include <string_view>

namespace nv {

bool noProxyExempts(std::string_view noProxy, std::string_view host);

}  // namespace nv

#endif
