// SPDX-License-Identifier: MIT
// The system's proxy setting as Windows hands it over (the proxy list and
// the bypass list of Internet Options or WinHTTP), weighed for a centre's
// host: which proxy, if any, the call takes.
#include <gtest/gtest.h>

#include "client/proxy_system.h"

namespace {

TEST(SystemProxy, ListAndBypassDecideTheProxy) {
  const struct {
    const char* list;
    const char* bypass;
    bool https;
    const char* host;
    const char* proxy;  // "" for a direct connection
  } cases[] = {
      {"", "", false, "centre.example", ""},
      {"", "*", true, "centre.example", ""},
      {"proxy:8080", "", false, "centre.example", "proxy:8080"},
      {"proxy:8080", "", true, "centre.example", "proxy:8080"},
      // Per scheme; an entry for every scheme is taken only without one.
      {"http=plain:80;https=secure:443", "", false, "centre.example", "plain:80"},
      {"http=plain:80;https=secure:443", "", true, "centre.example", "secure:443"},
      {"HTTPS=secure:443", "", true, "centre.example", "secure:443"},
      {"http=plain:80", "", true, "centre.example", ""},
      {"all:3128;https=secure:443", "", false, "centre.example", "all:3128"},
      {"https=secure:443 all:3128", "", true, "centre.example", "secure:443"},
      {"first:1;second:2", "", false, "centre.example", "second:2"},
      {";; first:1\t; ", "", false, "centre.example", "first:1"},
      {"ftp=files:21", "", false, "centre.example", ""},
      // <local>: a name without a dot, in any letter case.
      {"proxy:8080", "<local>", false, "centre", ""},
      {"proxy:8080", "<LOCAL>", false, "centre", ""},
      {"proxy:8080", "<local>", false, "centre.example", "proxy:8080"},
      {"proxy:8080", "<local>", false, "[::1]", ""},
      // Patterns: '*' for any run, the whole host matched, any letter case.
      {"proxy:8080", "*.example.cn", false, "his.example.cn", ""},
      {"proxy:8080", "*.example.cn", false, "example.cn", "proxy:8080"},
      {"proxy:8080", "10.*", true, "10.1.2.3", ""},
      {"proxy:8080", "10.*", true, "110.1.2.3", "proxy:8080"},
      {"proxy:8080", "*", false, "centre.example", ""},
      {"proxy:8080", "Centre.Example", false, "CENTRE.example", ""},
      {"proxy:8080", "centre", false, "centre.example", "proxy:8080"},
      {"proxy:8080", "c*e*e", false, "centre.example", ""},
      {"proxy:8080", "c*e*x", false, "centre.example", "proxy:8080"},
      {"proxy:8080", "*example**", false, "centre.example", ""},
      {"proxy:8080", "[::1]", false, "[::1]", ""},
      // Entries separated by ';', blanks or tabs, empty ones skipped.
      {"proxy:8080", "other.cn;; *.example\tlast", false, "centre.example", ""},
      {"proxy:8080", "other.cn; last", false, "centre.example", "proxy:8080"},
  };
  for (const auto& c : cases) {
    const nv::SystemProxySetting setting{c.list, c.bypass};
    EXPECT_EQ(nv::systemProxyFor(setting, c.https, c.host), c.proxy)
        << "list \"" << c.list << "\" bypass \"" << c.bypass << "\" " << (c.https ? "https" : "http") << " host "
        << c.host;
  }
}

}  // namespace
