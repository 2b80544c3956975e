// SPDX-License-Identifier: MIT
#include "client/proxy_system.h"

#include <vector>

#include "client/proxy_choice.h"
#include "text/ascii_case.h"

namespace nv {
namespace {

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

}  // namespace

std::string systemProxyFor(const SystemProxySetting& setting, bool https, const std::string& host) {
  if (setting.list.empty()) return "";
  std::string name = asciiLowered(host);
  for (const std::string& entry : split(asciiLowered(setting.bypass), "; \t")) {
    if (entry == "<local>" ? name.find('.') == std::string::npos : globMatches(entry, name)) return "";
  }
  std::string forAll, forScheme;
  for (const std::string& entry : split(setting.list, "; \t")) {
    size_t equals = entry.find('=');
    if (equals == std::string::npos)
      forAll = entry;
    else if (asciiLowered(entry.substr(0, equals)) == (https ? "https" : "http"))
      forScheme = entry.substr(equals + 1);
  }
  return forScheme.empty() ? forAll : forScheme;
}

std::string systemProxy(bool https, const std::string& host) {
  return systemProxyFor(readSystemProxySetting(), https, host);
}

}  // namespace nv
