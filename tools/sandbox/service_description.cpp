// SPDX-License-Identifier: MIT
#include "tools/sandbox/service_description.h"

#include <cctype>

#include "soapH.h"
#include "tools/sandbox/exchange_log.h"

extern const char kServiceDescription[];
extern const unsigned long kServiceDescription_size;

namespace sandbox {
namespace {

constexpr std::string_view kLocation = "location=\"";

std::string_view description() { return {kServiceDescription, kServiceDescription_size}; }

// Where the address in the description starts and ends (the URL between the
// quotes of the soap:address location).
std::pair<size_t, size_t> addressSpan() {
  std::string_view wsdl = description();
  size_t address = wsdl.find(":address ");
  size_t start = address == std::string_view::npos ? std::string_view::npos : wsdl.find(kLocation, address);
  if (start == std::string_view::npos) return {std::string_view::npos, std::string_view::npos};
  start += kLocation.size();
  return {start, wsdl.find('"', start)};
}

// "http://host:port" of a URL, or the empty text.
std::string_view originOf(std::string_view url) {
  size_t scheme = url.find("://");
  if (scheme == std::string_view::npos) return {};
  size_t path = url.find('/', scheme + 3);
  return url.substr(0, path);
}

// A Host the description may repeat: a name or address and a port, nothing
// that could break out of the attribute.
bool isPlainOrigin(std::string_view origin) {
  constexpr std::string_view kScheme = "http://";
  if (origin.substr(0, kScheme.size()) != kScheme || origin.size() == kScheme.size()) return false;
  for (char c : origin.substr(kScheme.size()))
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == ':' || c == '-' || c == '[' || c == ']'))
      return false;
  return true;
}

}  // namespace

std::string servicePath() {
  auto [start, end] = addressSpan();
  if (start == std::string_view::npos || end == std::string_view::npos) return "/";
  std::string_view address = description().substr(start, end - start);
  return std::string(address.substr(originOf(address).size()));
}

std::string describedAt(std::string_view origin) {
  std::string wsdl(description());
  auto [start, end] = addressSpan();
  if (start == std::string_view::npos || end == std::string_view::npos) return wsdl;
  return wsdl.replace(start, end - start, std::string(origin) + servicePath());
}

std::vector<std::string> operationNames() {
  // The port type's operations: <operation name="..."> right inside it.
  std::string_view wsdl = description();
  size_t portType = wsdl.find("<portType ");
  size_t end = wsdl.find("</portType>", portType);
  std::vector<std::string> names;
  constexpr std::string_view kOperation = "<operation name=\"";
  for (size_t at = wsdl.find(kOperation, portType); portType != std::string_view::npos && at < end;
       at = wsdl.find(kOperation, at)) {
    at += kOperation.size();
    names.emplace_back(wsdl.substr(at, wsdl.find('"', at) - at));
  }
  return names;
}

int serveGet(struct soap* soap, const std::string& fallbackOrigin) {
  std::string_view path = soap->path;
  size_t query = path.find('?');
  std::string_view query_text = query == std::string_view::npos ? std::string_view() : path.substr(query + 1);
  std::string_view plain = path.substr(0, query);
  bool wanted = query_text == "wsdl" || query_text == "WSDL" || plain == servicePath();
  if (!wanted) {
    writeLogLine("GET " + quoteForLog(path) + " -> 404");
    return 404;
  }

  // The Host the client used reaches this server; without one, the bound
  // address does.
  std::string_view origin = originOf(soap->endpoint);
  std::string page = describedAt(isPlainOrigin(origin) ? std::string(origin) : fallbackOrigin);
  soap->http_content = "text/xml; charset=utf-8";
  if (soap_response(soap, SOAP_FILE) || soap_send_raw(soap, page.data(), page.size()) || soap_end_send(soap)) {
    writeLogLine("GET " + quoteForLog(path) + " -> failed while sending");
    return soap_closesock(soap);
  }
  writeLogLine("GET " + quoteForLog(path) + " -> service description (" + std::to_string(page.size()) + " bytes)");
  return SOAP_OK;
}

}  // namespace sandbox
