// SPDX-License-Identifier: MIT
#include "client/no_proxy.h"

#include <cstdlib>

#include "text/platform.h"
#include "text/ascii_case.h"

namespace nv {
namespace {

std::string_view withoutBrackets(std::string_view text) {
  if (text.size() >= 2 && text.front() == '[' && text.back() == ']') return text.substr(1, text.size() - 2);
  return text;
}

// Whether the first `bits` bits of two addresses of one family agree.
bool samePrefix(const std::string& a, const std::string& b, size_t bits) {
  if (a.size() != b.size() || bits > a.size() * 8) return false;
  size_t whole = bits / 8, rest = bits % 8;
  if (a.compare(0, whole, b, 0, whole) != 0) return false;
  if (rest == 0) return true;
  const auto mask = static_cast<unsigned char>(0xff << (8 - rest));
  return (static_cast<unsigned char>(a[whole]) & mask) == (static_cast<unsigned char>(b[whole]) & mask);
}

// An address entry, "address" or "address/bits", against the host's bytes.
bool addressMatches(std::string_view entry, const std::string& host) {
  size_t slash = entry.find('/');
  std::string address(withoutBrackets(entry.substr(0, slash)));
  std::string bytes = numericAddressBytes(address);
  if (bytes.empty() || bytes.size() != host.size()) return false;
  size_t bits = bytes.size() * 8;
  if (slash != std::string_view::npos) {
    std::string_view length = entry.substr(slash + 1);
    if (length.empty() || length.size() > 3 || length.find_first_not_of("0123456789") != std::string_view::npos)
      return false;
    bits = static_cast<size_t>(std::atoi(std::string(length).c_str()));
  }
  return samePrefix(bytes, host, bits);
}

std::string_view trimDots(std::string_view name) {
  if (!name.empty() && name.front() == '.') name.remove_prefix(1);
  if (!name.empty() && name.back() == '.') name.remove_suffix(1);
  return name;
}

bool nameMatches(std::string_view entry, std::string_view host) {
  entry = trimDots(entry);
  if (entry.empty() || entry.size() > host.size()) return false;
  if (entry.size() == host.size()) return equalsIgnoringCase(entry, host);
  return host[host.size() - entry.size() - 1] == '.' &&
         equalsIgnoringCase(host.substr(host.size() - entry.size()), entry);
}

}  // namespace

bool noProxyExempts(std::string_view noProxy, std::string_view host) {
  host = withoutBrackets(host);
  if (host.empty()) return false;
  const std::string hostBytes = numericAddressBytes(std::string(host));
  if (hostBytes.empty() && host.back() == '.') host.remove_suffix(1);
  for (size_t at = 0; at < noProxy.size();) {
    size_t end = noProxy.find_first_of(", \t", at);
    if (end == std::string_view::npos) end = noProxy.size();
    std::string_view entry = noProxy.substr(at, end - at);
    at = end + 1;
    if (entry.empty()) continue;
    if (entry == "*") return true;
    if (hostBytes.empty() ? nameMatches(entry, host) : addressMatches(entry, hostBytes)) return true;
  }
  return false;
}

}  // namespace nv
