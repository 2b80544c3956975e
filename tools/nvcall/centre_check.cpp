// SPDX-License-Identifier: MIT
#include "tools/nvcall/centre_check.h"

#include <algorithm>
#include <map>

#include "text/ascii_case.h"
#include "tools/common/gbk_text.h"

namespace nvcall {

std::optional<ServiceAddress> parseServiceUrl(const std::string& url) {
  ServiceAddress address;
  std::string rest;
  for (const auto& [scheme, port] : {std::pair<std::string, std::string>{"http://", "80"}, {"https://", "443"}}) {
    // The library takes the scheme in any letter case.
    if (url.size() > scheme.size() && nv::startsIgnoringCase(url, scheme)) {
      rest = url.substr(scheme.size());
      address.port = port;
      address.tls = port == "443";
    }
  }
  if (rest.empty()) return std::nullopt;
  std::string authority = rest.substr(0, rest.find_first_of("/?#"));
  size_t colon = authority.rfind(':');
  if (!authority.empty() && authority[0] == '[') {  // [IPv6]:port
    size_t close = authority.find(']');
    if (close == std::string::npos) return std::nullopt;
    address.host = authority.substr(1, close - 1);
    if (close + 1 < authority.size()) {
      if (authority[close + 1] != ':') return std::nullopt;
      address.port = authority.substr(close + 2);
    }
  } else if (colon != std::string::npos) {
    address.host = authority.substr(0, colon);
    address.port = authority.substr(colon + 1);
  } else {
    address.host = authority;
  }
  if (address.host.empty() || address.port.empty() || address.port.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  return address;
}

std::vector<size_t> groupsInUse(const nv::CentreTable& table) {
  std::map<std::string, size_t> last;
  for (size_t group = 0; group < table.size(); ++group)
    if (!table[group].CenterNO.empty()) last[table[group].CenterNO] = group;
  std::vector<size_t> used;
  for (const auto& entry : last) used.push_back(entry.second);
  std::sort(used.begin(), used.end());
  return used;
}

std::vector<CheckStep> checkCentre(const nv::CentreRecord& centre, const std::vector<CallStep>& calls,
                                   const Speaker& speak) {
  std::vector<CheckStep> steps = {{speak({"address", "地址"}), StepResult::kNotTried, ""}};
  for (const CallStep& call : calls) steps.push_back({speak(call.step), StepResult::kNotTried, ""});
  std::optional<ServiceAddress> address = parseServiceUrl(centre.ServiceURL);
  if (!address) {
    steps[0].result = StepResult::kFailed;
    // The configured text is GBK; the details are UTF-8.
    steps[0].detail = "ServiceURL \"" + nvtools::gbkToUtf8ForDisplay(centre.ServiceURL) + "\"" +
                      speak({" is not an http:// or https:// address", " 不是 http:// 或 https:// 地址"});
    return steps;
  }
  steps[0].result = StepResult::kOk;
  steps[0].detail = speak({"host ", "主机 "}) + nvtools::gbkToUtf8ForDisplay(address->host) +
                    speak({" port ", " 端口 "}) + address->port +
                    (address->tls ? speak({", over TLS", ",经 TLS"}) : "");
  for (size_t i = 0; i < calls.size(); ++i) {
    auto [ok, words] = calls[i].call(centre);
    steps[i + 1].result = ok ? StepResult::kOk : StepResult::kFailed;
    steps[i + 1].detail = words;
    if (!ok) break;
  }
  return steps;
}

}  // namespace nvcall
