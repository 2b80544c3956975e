// SPDX-License-Identifier: MIT
// The console on the service's own port: GET of "/" (the page), of its
// script and style and of "/api/..."; POST and DELETE of "/api/...". The
// service's POSTs and its description (?wsdl) go on as before.
#ifndef NV_SANDBOX_CONSOLE_ROUTES_H
#define NV_SANDBOX_CONSOLE_ROUTES_H

struct soap;

namespace sandbox {

// Installs the handlers on a connection's context (after attachConnection).
void installConsoleRoutes(struct soap* soap);

}  // namespace sandbox

#endif
