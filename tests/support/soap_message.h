// SPDX-License-Identifier: MIT
// Test-side reading of the requests the scripted server received, and the
// contract's constants for writing replies. Plain string scanning: enough
// for the flat requests the client writes (the library itself never parses
// XML by hand).
#ifndef NVTEST_SOAP_MESSAGE_H
#define NVTEST_SOAP_MESSAGE_H

#include <string>
#include <utility>
#include <vector>

namespace nvtest {

// The namespace URI of the request and response wrappers (prefix ns1).
std::string serviceNamespace();
// "http://" + the record namespace stem + "." + suffix.
std::string recordNamespace(const std::string& suffix);

// Everything before the blank line that ends the HTTP headers (without it).
std::string requestHead(const std::string& rawRequest);
// Everything after that blank line.
std::string requestBody(const std::string& rawRequest);
// The value of a header of the raw request, "" when absent.
std::string headerValue(const std::string& rawRequest, const std::string& name);

// The local name of the first child of the SOAP Body, "" when none.
std::string wrapperName(const std::string& body);
// The wrapper's children in document order: (name as written, raw text).
using Members = std::vector<std::pair<std::string, std::string>>;
Members wrapperMembers(const std::string& body);

std::string base64Encode(const std::string& bytes);
std::string base64Decode(const std::string& text);

}  // namespace nvtest

#endif
