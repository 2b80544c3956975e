// SPDX-License-Identifier: MIT
#include "client/proxy_choice.h"

#include <curl/curl.h>

#include <cstdlib>
#include <memory>
#include <new>

#include "client/no_proxy.h"

namespace nv {
namespace {

const char* environment(const char* lowerCase, const char* upperCase) {
  const char* value = std::getenv(lowerCase);
  if (value == nullptr || *value == '\0') value = std::getenv(upperCase);
  return value != nullptr && *value != '\0' ? value : nullptr;
}

struct UrlDeleter {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

std::string part(CURLU* url, CURLUPart which) {
  char* text = nullptr;
  const CURLUcode read = curl_url_get(url, which, &text, 0);
  if (read == CURLUE_OUT_OF_MEMORY) throw std::bad_alloc();
  if (read != CURLUE_OK || text == nullptr) return "";
  std::string value = text;
  curl_free(text);
  return value;
}

}  // namespace

ProxyChoice chooseProxy(bool https, const std::string& host) {
  ProxyChoice choice;
  const char* proxy = https ? environment("https_proxy", "HTTPS_PROXY") : environment("http_proxy", "HTTP_PROXY");
  std::string system;
  if (proxy == nullptr) {
    system = systemProxy(https, host);
    if (system.empty()) return choice;
    proxy = system.c_str();
  } else if (const char* exempt = environment("no_proxy", "NO_PROXY")) {
    if (noProxyExempts(exempt, host)) return choice;
  }
  // The address as the HTTP library reads it, only to check its scheme and
  // to name it without its credentials; a setting it cannot read is
  // refused without repeating it, as it may hold a password.
  std::unique_ptr<CURLU, UrlDeleter> url(curl_url());
  if (!url) throw std::bad_alloc();
  const CURLUcode parsed = curl_url_set(url.get(), CURLUPART_URL, proxy, CURLU_GUESS_SCHEME | CURLU_NON_SUPPORT_SCHEME);
  if (parsed == CURLUE_OUT_OF_MEMORY) throw std::bad_alloc();
  if (parsed != CURLUE_OK) {
    choice.unusable = CallStatus::failed(Cause::kProxySettingUnreadable);
    return choice;
  }
  std::string scheme = part(url.get(), CURLUPART_SCHEME);
  if (scheme != "http") {
    choice.unusable = CallStatus::failed(Cause::kProxySchemeUnsupported, CauseDetail().withText(scheme));
    return choice;
  }
  std::string port = part(url.get(), CURLUPART_PORT);
  choice.url = proxy;
  // A proxy without a port is reached on 1080, as proxy clients assume.
  choice.shown = part(url.get(), CURLUPART_HOST) + ":" + (port.empty() ? "1080" : port);
  return choice;
}

}  // namespace nv
