#include "tools/nvcall/centre_check.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

#include <memory>

namespace nvcall {
namespace {

#ifdef _WIN32
using Socket = SOCKET;
const Socket kNoSocket = INVALID_SOCKET;
void closeSocket(Socket s) { closesocket(s); }

// The system's own words for an error, as UTF-8.
std::string systemText(int code) {
  wchar_t* buffer = nullptr;
  DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text;
  if (length > 0 && buffer) {
    int size = WideCharToMultiByte(CP_UTF8, 0, buffer, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    text.resize(static_cast<size_t>(size > 0 ? size : 0));
    if (size > 0)
      WideCharToMultiByte(CP_UTF8, 0, buffer, static_cast<int>(length), text.data(), size, nullptr, nullptr);
  }
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
    text.pop_back();
  return (text.empty() ? "error" : text) + " (" + std::to_string(code) + ")";
}
std::string resolveError(int code) { return systemText(code); }
int lastSocketError() { return WSAGetLastError(); }

// Winsock must be started by each program that uses it; the count is per
// process, so this pairs with the cleanup below.
struct SocketsStarted {
  bool ok;
  SocketsStarted() {
    WSADATA data;
    ok = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }
  ~SocketsStarted() {
    if (ok) WSACleanup();
  }
};
bool setNonBlocking(Socket s) {
  u_long on = 1;
  return ioctlsocket(s, FIONBIO, &on) == 0;
}
bool connectPending(int error) { return error == WSAEWOULDBLOCK; }
#else
using Socket = int;
const Socket kNoSocket = -1;
void closeSocket(Socket s) { close(s); }
std::string systemText(int code) { return std::string(std::strerror(code)) + " (" + std::to_string(code) + ")"; }
std::string resolveError(int code) { return std::string(gai_strerror(code)); }
int lastSocketError() { return errno; }
struct SocketsStarted {
  bool ok = true;
};
bool setNonBlocking(Socket s) { return fcntl(s, F_SETFL, fcntl(s, F_GETFL) | O_NONBLOCK) == 0; }
bool connectPending(int error) { return error == EINPROGRESS; }
#endif

std::string addressText(const addrinfo* a) {
  char host[NI_MAXHOST] = "";
  getnameinfo(a->ai_addr, static_cast<socklen_t>(a->ai_addrlen), host, sizeof host, nullptr, 0, NI_NUMERICHOST);
  return host;
}

// Connects to the address within `seconds`; "" on success, else why not.
std::string tryConnect(const addrinfo* a, int seconds) {
  Socket s = socket(a->ai_family, a->ai_socktype, a->ai_protocol);
  if (s == kNoSocket) return systemText(lastSocketError());
  std::string problem;
  if (!setNonBlocking(s)) {
    problem = systemText(lastSocketError());
  } else if (connect(s, a->ai_addr, static_cast<socklen_t>(a->ai_addrlen)) != 0) {
    int error = lastSocketError();
    if (!connectPending(error)) {
      problem = systemText(error);
    } else {
      // Writable when connected; on Windows a refusal shows as an exception.
      fd_set writable, failed;
      FD_ZERO(&writable);
      FD_ZERO(&failed);
      FD_SET(s, &writable);
      FD_SET(s, &failed);
      timeval wait{seconds, 0};
      int ready = select(static_cast<int>(s) + 1, nullptr, &writable, &failed, &wait);
      int soError = 0;
      socklen_t length = sizeof soError;
      if (ready == 0) {
        problem = "no answer within " + std::to_string(seconds) + " s";
      } else if (ready < 0) {
        problem = systemText(lastSocketError());
      } else if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&soError), &length) != 0) {
        problem = systemText(lastSocketError());
      } else if (soError != 0) {
        problem = systemText(soError);
      }
    }
  }
  closeSocket(s);
  return problem;
}

}  // namespace

std::optional<ServiceAddress> parseServiceUrl(const std::string& url) {
  ServiceAddress address;
  std::string rest;
  for (const auto& [scheme, port] : {std::pair<std::string, std::string>{"http://", "80"}, {"https://", "443"}}) {
    if (url.size() > scheme.size() && url.compare(0, scheme.size(), scheme) == 0) {
      rest = url.substr(scheme.size());
      address.port = port;
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

std::vector<CheckStep> checkCentre(const nv::CentreRecord& centre, const HarmlessCall& call, int connectSeconds) {
  std::vector<CheckStep> steps = {
      {"address", "not tried", ""}, {"connect", "not tried", ""}, {"call", "not tried", ""}};
  std::optional<ServiceAddress> address = parseServiceUrl(centre.ServiceURL);
  if (!address) {
    steps[0] = {"address", "FAILED", "ServiceURL \"" + centre.ServiceURL + "\" is not an http:// or https:// address"};
    return steps;
  }
  SocketsStarted sockets;
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  int rc = sockets.ok ? getaddrinfo(address->host.c_str(), address->port.c_str(), &hints, &found) : -1;
  if (rc != 0 || !found) {
    steps[0] = {
        "address", "FAILED",
        "the host name " + address->host + " cannot be resolved: " + (sockets.ok ? resolveError(rc) : "no sockets")};
    return steps;
  }
  std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> addresses(found, &freeaddrinfo);
  steps[0] = {"address", "ok", address->host + " is " + addressText(found)};

  std::string problems;
  for (const addrinfo* a = found; a; a = a->ai_next) {
    std::string problem = tryConnect(a, connectSeconds);
    if (problem.empty()) {
      steps[1] = {"connect", "ok", "connected to " + addressText(a) + " port " + address->port};
      problems.clear();
      break;
    }
    problems += (problems.empty() ? "" : "; ") + addressText(a) + " port " + address->port + ": " + problem;
  }
  if (!problems.empty()) {
    steps[1] = {"connect", "FAILED", "no connection: " + problems};
    return steps;
  }
  auto [ok, words] = call(centre);
  steps[2] = {"call", ok ? "ok" : "FAILED", words};
  return steps;
}

}  // namespace nvcall
