// SPDX-License-Identifier: MIT
#include "tools/sandbox/console_routes.h"

#include <string>
#include <string_view>

#include "tools/sandbox/connection.h"
#include "tools/sandbox/console_api.h"
#include "tools/sandbox/exchange_log.h"
#include "tools/sandbox/service_description.h"

extern const char kConsolePage[];
extern const unsigned long kConsolePage_size;
extern const char kConsoleScript[];
extern const unsigned long kConsoleScript_size;
extern const char kConsoleStyle[];
extern const unsigned long kConsoleStyle_size;
extern const char kConsoleIcon[];
extern const unsigned long kConsoleIcon_size;

namespace sandbox {
namespace {

constexpr std::string_view kApi = "/api/";

// The page runs only its own script and style, so a text the HIS sent can
// never become markup that runs; nothing of it may be framed elsewhere.
constexpr const char kPageHeaders[] =
    "Content-Security-Policy: default-src 'none'; script-src 'self'; style-src 'self'; connect-src 'self'; "
    "img-src 'self'; form-action 'none'; frame-ancestors 'none'; base-uri 'none'\r\n"
    "X-Content-Type-Options: nosniff\r\nCache-Control: no-store";

struct Asset {
  std::string_view path;
  const char* contentType;
  std::string_view bytes;
};

const Asset kAssets[] = {
    {"/", "text/html; charset=utf-8", {kConsolePage, kConsolePage_size}},
    {"/console.js", "text/javascript; charset=utf-8", {kConsoleScript, kConsoleScript_size}},
    {"/console.css", "text/css; charset=utf-8", {kConsoleStyle, kConsoleStyle_size}},
    {"/favicon.svg", "image/svg+xml", {kConsoleIcon, kConsoleIcon_size}},
};

std::string_view pathOf(struct soap* soap) {
  std::string_view target = soap->path;
  return target.substr(0, target.find('?'));
}

bool isApi(struct soap* soap) { return pathOf(soap).substr(0, kApi.size()) == kApi; }

int respond(struct soap* soap, int status, const char* contentType, std::string_view body) {
  soap->http_content = contentType;
  soap->http_extra_header = kPageHeaders;
  if (soap_response(soap, SOAP_FILE + status) || soap_send_raw(soap, body.data(), body.size()) || soap_end_send(soap))
    return soap_closesock(soap);
  return SOAP_OK;
}

int answerApiCall(struct soap* soap, const char* method, std::string body) {
  Connection& connection = connectionOf(soap);
  connection.console = true;
  connection.logged = true;
  ApiRequest request{method, soap->path, soap->http_content ? soap->http_content : "", std::move(body)};
  ApiAnswer answer = answerApi(connection.server, request);
  if (request.method != "GET")
    writeLogLine("console: " + request.method + " " + quoteForLog(pathOf(soap)) + " -> " +
                 std::to_string(answer.status));
  return respond(soap, answer.status, "application/json; charset=utf-8", answer.body);
}

int onGet(struct soap* soap) {
  Connection& connection = connectionOf(soap);
  connection.console = true;
  connection.logged = true;
  if (isApi(soap)) return answerApiCall(soap, "GET", "");
  std::string_view target = soap->path;
  for (const Asset& asset : kAssets)
    if (target == asset.path) return respond(soap, 200, asset.contentType, asset.bytes);
  return serveGet(soap, connection.server.origin);
}

int onPost(struct soap* soap) {
  if (!isApi(soap)) return 404;  // the service's: the runtime goes on with it
  size_t length = 0;
  const char* body = soap_http_get_body(soap, &length);
  if (body == nullptr && soap->error != SOAP_OK) return soap->error;
  return answerApiCall(soap, "POST", body ? std::string(body, length) : std::string());
}

int onDelete(struct soap* soap) {
  if (!isApi(soap)) return 405;
  return answerApiCall(soap, "DELETE", "");
}

int onOptions(struct soap*) { return 405; }

// Every POST is offered to the console first, once its header is read.
int parseHeader(struct soap* soap, const char* key, const char* value) {
  int status = connectionOf(soap).parseHeader(soap, key, value);
  soap->fform = onPost;
  return status;
}

}  // namespace

void installConsoleRoutes(struct soap* soap) {
  Connection& connection = connectionOf(soap);
  connection.parseHeader = soap->fparsehdr;
  soap->fparsehdr = parseHeader;
  soap->fget = onGet;
  soap->fdel = onDelete;
  soap->fopt = onOptions;
}

}  // namespace sandbox
