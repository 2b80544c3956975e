// SPDX-License-Identifier: MIT
// The service description (WSDL, its schemas inline) that soapcpp2 wrote
// from the service definition, as this server hands it out.
#ifndef NV_SANDBOX_SERVICE_DESCRIPTION_H
#define NV_SANDBOX_SERVICE_DESCRIPTION_H

#include <string>
#include <string_view>
#include <vector>

struct soap;

namespace sandbox {

// The path of the service's address in the description
// ("/clinic/webservice/inpatientRedeem").
std::string servicePath();

// The description with its service address pointed at origin
// ("http://127.0.0.1:8888"), so a client that reads it calls this server.
std::string describedAt(std::string_view origin);

// The operations the description names, in its order.
std::vector<std::string> operationNames();

// The GET handler: the description for any path asking "?wsdl" and for the
// service path; HTTP 404 for anything else. `fallbackOrigin` serves when
// the request names no Host.
int serveGet(struct soap* soap, const std::string& fallbackOrigin);

}  // namespace sandbox

#endif
