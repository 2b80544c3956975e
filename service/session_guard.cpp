#include "service/session_guard.h"

#include "soapH.h"

#include <cstring>

namespace {

bool startsWithHttpScheme(const char *s)
{
    static const char scheme[] = "http://";
    for (size_t i = 0; i + 1 < sizeof scheme; ++i) {
        char c = s[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != scheme[i])
            return false;
    }
    return true;
}

// Every byte the runtime sends passes this filter first (the counting pass
// included). Without a socket the bytes would go to the send descriptor.
int refuseSendWithoutConnection(struct soap *soap, const char **, size_t *)
{
    if ((soap->mode & SOAP_IO_LENGTH) || soap_valid_socket(soap->socket) || soap_valid_socket(soap->sendsk))
        return SOAP_OK;
    return soap->error = SOAP_TCP_ERROR;
}

} // namespace

bool nvIsHttpEndpoint(const char *endpoint)
{
    if (endpoint == nullptr || !startsWithHttpScheme(endpoint))
        return false;
    const char *host = endpoint + std::strlen("http://");
    // The runtime ends the host at ':', '/' or '?', and reads "[...]" as an
    // IPv6 address.
    if (host[0] == '[')
        return host[1] != '\0' && host[1] != ']';
    return host[0] != '\0' && std::strchr(":/?", host[0]) == nullptr;
}

void nvGuardAgainstStdio(struct soap *soap)
{
    soap->ffiltersend = refuseSendWithoutConnection;
    soap->sendfd = -1;
    soap->recvfd = -1;
}
