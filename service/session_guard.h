// SPDX-License-Identifier: MIT
// Keeps a SOAP client context off the process's standard input and output.
//
// When an endpoint yields no host, the runtime opens no connection and falls
// back to writing the request to stdout and reading the answer from stdin:
// inside a host application that would mean corrupting its console and
// waiting forever. A ServiceSession checks its endpoint with
// nvIsHttpEndpoint() before calling, and guards its context with
// nvGuardAgainstStdio() so that no path through the runtime can reach stdio.
#ifndef NV_SERVICE_SESSION_GUARD_H
#define NV_SERVICE_SESSION_GUARD_H

struct soap;

// True when endpoint is an "http://" or "https://" URL (scheme in any letter case) whose
// host, as the runtime reads it, is not empty, and which is short enough
// for the runtime to hold whole (under 1 KB). NULL is the empty text.
bool nvIsHttpEndpoint(const char* endpoint);

// Makes every send on a context without a connection fail at once, before a
// byte is written, and detaches the context from file descriptors 0 and 1.
// Call once after soap_init; it survives any number of calls on the context.
void nvGuardAgainstStdio(struct soap* soap);

#endif
