// SPDX-License-Identifier: MIT
// Any bytes as the proxy settings a HIS machine's environment holds
// (http_proxy or https_proxy, and no_proxy), for a centre's host: the choice
// must never repeat the proxy's password, in the name the trace shows or in
// the reason a setting is refused, a host no_proxy exempts goes direct, and
// a usable proxy is named "host:port".
//
// Input: one byte of choices (bit 0: an https:// centre; bits 1 and 2: the
// centre's host; bit 3: a setting with a password the target knows), then
// fields split at LF: the setting, then no_proxy. With a known password the
// setting is field 1 + ":" + the password + "@" + field 2, and no_proxy is
// field 3.
#include <cstdlib>
#include <vector>

#include "client/no_proxy.h"
#include "client/proxy_choice.h"
#include "fuzz/fuzz_support.h"

namespace {

using namespace nvfuzz;

constexpr const char* kPassword = "Pw9xQz7Secret";
const char* const kHosts[4] = {"localhost", "127.0.0.1", "[::1]", "centre.example.cn"};

std::vector<std::string> fields(std::string_view bytes, size_t count) {
  std::vector<std::string> out(count);
  for (size_t i = 0; i < count; ++i) {
    const size_t end = i + 1 == count ? std::string_view::npos : bytes.find('\n');
    out[i] = cText(bytes.substr(0, end));
    bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
  }
  return out;
}

void set(const char* name, const std::string& value) {
  if (value.empty())
    unsetenv(name);
  else
    setenv(name, value.c_str(), 1);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  for (const char* name : {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "no_proxy", "NO_PROXY"})
    unsetenv(name);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool https = data[0] & 1;
  const std::string host = kHosts[(data[0] >> 1) & 3];
  const bool withPassword = data[0] & 8;
  const std::string_view rest = asText(data + 1, size - 1);
  if (rest.find(kPassword) != std::string_view::npos) return 0;

  std::string setting, exempt;
  if (withPassword) {
    const std::vector<std::string> parts = fields(rest, 3);
    setting = parts[0] + ":" + kPassword + "@" + parts[1];
    exempt = parts[2];
  } else {
    const std::vector<std::string> parts = fields(rest, 2);
    setting = parts[0];
    exempt = parts[1];
  }
  set(https ? "https_proxy" : "http_proxy", setting);
  set("no_proxy", exempt);
  const nv::ProxyChoice choice = nv::chooseProxy(https, host);
  unsetenv(https ? "https_proxy" : "http_proxy");
  unsetenv("no_proxy");

  const std::string refusal = choice.unusable.outText();
  require(choice.shown.find(kPassword) == std::string::npos, "the proxy's name never shows its password", choice.shown);
  require(
      refusal.find(kPassword) == std::string::npos && choice.unusable.traceCause().find(kPassword) == std::string::npos,
      "a refusal never repeats the password", refusal);
  if (setting.empty()) {
    require(choice.url.empty() && choice.unusable.isOk(), "no setting, no proxy");
    return 0;
  }
  if (nv::noProxyExempts(exempt, host)) {
    require(choice.url.empty() && choice.shown.empty() && choice.unusable.isOk(),
            "a host no_proxy exempts is reached directly, whatever the setting", choice.url);
    return 0;
  }
  if (!choice.unusable.isOk()) {
    require(choice.url.empty(), "a refused setting is not used", choice.url);
    return 0;
  }
  require(choice.url == setting, "the setting goes to the HTTP library as written", choice.url);
  const size_t colon = choice.shown.rfind(':');
  require(colon != std::string::npos && colon + 1 < choice.shown.size() &&
              choice.shown.find_first_not_of("0123456789", colon + 1) == std::string::npos,
          "a usable proxy is named host:port", choice.shown);
  return 0;
}
