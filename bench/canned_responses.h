// SPDX-License-Identifier: MIT
// The answers the benchmark server sends, as a centre sends them: HTTP/1.1
// with Content-Length, a SOAP 1.1 envelope, every member base64 of GBK text.
#ifndef NVBENCH_CANNED_RESPONSES_H
#define NVBENCH_CANNED_RESPONSES_H

#include <string>

namespace nvbench {

// GBK texts the benchmark sends as arguments (the sources are UTF-8, so the
// bytes are spelled out).
inline const char kOperatorGbk[] = "\xCD\xF5\xD2\xBD\xC9\xFA";  // a doctor's name

std::string base64(const std::string& bytes);

// getPersonInfoResponse with one member of 13 fields.
std::string personInfoResponse();
// updateLeechdomResponse with `entries` catalogue items of 18 fields each.
std::string leechdomResponse(int entries);
// updateDiseaseResponse with `entries` disease items of 16 fields each.
std::string diseaseResponse(int entries);
// updateLeechdomResponse with one catalogue item whose list element carries
// `attributes` attributes of distinct names, which the reader must skip.
std::string attributeHeavyResponse(int attributes);

// The same response saying "Connection: keep-alive" where it said
// "Connection: close", for a server that keeps its connections.
std::string keptAlive(const std::string& response);

// The body of an HTTP response (after the blank line).
std::string httpBody(const std::string& response);

}  // namespace nvbench

#endif
