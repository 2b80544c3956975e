// SPDX-License-Identifier: MIT
// no_proxy's exemptions, as the library weighs them before the HTTP library
// sees the proxy: names, IPv4 and IPv6 addresses bare or in brackets, and
// ranges of both.
#include <gtest/gtest.h>

#include "client/no_proxy.h"
#include "client/proxy_choice.h"
#include "tests/support/scoped_environment.h"

namespace {

TEST(NoProxy, ExemptsNamesAddressesAndRanges) {
  const struct {
    const char* noProxy;
    const char* host;  // as the service address names it
    bool exempt;
  } cases[] = {
      {"", "centre.example", false},
      {"*", "centre.example", true},
      {"*", "[::1]", true},
      {"example.org", "example.org", true},
      {"example.org", "a.example.org", true},
      {".example.org", "a.example.org", true},
      {"example.org.", "a.example.org", true},
      {"example.org", "a.example.org.", true},
      {"EXAMPLE.org", "a.Example.ORG", true},
      {"example.org", "notexample.org", false},
      {"a.example.org", "example.org", false},
      {"other.org, example.org", "a.example.org", true},
      {"other.org example.org", "a.example.org", true},
      {"other.org,,example.org", "a.example.org", true},
      {"127.0.0.1", "127.0.0.1", true},
      {"127.0.0.0/8", "127.1.2.3", true},
      {"192.168.0.0/16", "127.0.0.1", false},
      {"0.1,.0.1", "127.0.0.1", false},
      {"127.0.0.1/33", "127.0.0.1", false},
      {"127.0.0.1/", "127.0.0.1", false},
      {"::1", "[::1]", true},
      {"[::1]", "[::1]", true},
      {"::1/128", "[::1]", true},
      {"[::1]/128", "[::1]", true},
      {"::/0", "[::1]", true},
      {"0:0:0:0:0:0:0:1", "[::1]", true},
      {"::1", "::1", true},
      {"fd00::/8", "[fd12::1]", true},
      {"fd00::/8", "[fe80::1]", false},
      {"::1", "127.0.0.1", false},
      {"127.0.0.1", "[::1]", false},
      {"[::2]", "[::1]", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(nv::noProxyExempts(c.noProxy, c.host), c.exempt) << "no_proxy=\"" << c.noProxy << "\" host " << c.host;
}

TEST(NoProxy, AnExemptedCentreGetsNoProxyAtAll) {
  nvtest::ScopedEnvironment proxy("http_proxy", "http://proxy.example:3128");
  nvtest::ScopedEnvironment upper("HTTP_PROXY", nullptr);
  for (const char* exemption : {"[::1]", "::1/128", "::/0"}) {
    nvtest::ScopedEnvironment exempt("no_proxy", exemption);
    EXPECT_EQ(nv::chooseProxy(false, "[::1]").url, "") << exemption;
  }
  nvtest::ScopedEnvironment exempt("no_proxy", "[::2]");
  const nv::ProxyChoice choice = nv::chooseProxy(false, "[::1]");
  EXPECT_EQ(choice.url, "http://proxy.example:3128");
  EXPECT_EQ(choice.shown, "proxy.example:3128");
}

}  // namespace
