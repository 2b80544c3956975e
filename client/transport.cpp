#include "client/transport.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "frame/call_trace.h"
#include "text/texts.h"

#ifdef WITH_OPENSSL
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#endif
#ifdef _WIN32
#include <wincrypt.h>
#include <winhttp.h>
#else
#include <poll.h>

#include <mutex>
#endif

namespace nv {
namespace {

using std::chrono::microseconds;

#ifdef _WIN32
constexpr int kConnectionRefused = WSAECONNREFUSED;
#else
constexpr int kConnectionRefused = ECONNREFUSED;
#endif

microseconds asDuration(int runtimeUnits) {
  return runtimeUnits > 0 ? microseconds(static_cast<long long>(runtimeUnits) * 1000000)
                          : microseconds(-static_cast<long long>(runtimeUnits));
}

// A wait for the runtime: negative microseconds, at least one.
int asRuntimeWait(microseconds wait) {
  long long us = std::clamp<long long>(wait.count(), 1, 2000000000);
  return -static_cast<int>(us);
}

std::string seconds(microseconds d) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f s", static_cast<double>(d.count()) / 1e6);
  return text;
}

// How long the next wait of a direction may be: its own limit, cut short by
// the low-speed deadline. Sets lowSpeedCut when the deadline is the bound.
microseconds nextWait(const TransportState& t, int ownLimit, bool& lowSpeedCut) {
  microseconds own = asDuration(ownLimit);
  lowSpeedCut = false;
  if (!t.window.running()) return own;
  auto left = std::chrono::duration_cast<microseconds>(t.window.deadline() - TransportClock::now());
  if (ownLimit == 0 || left < own) {
    lowSpeedCut = true;
    return left;
  }
  return own;
}

void recordFailure(TransportState& t, std::string cause) {
  if (t.cause.empty()) t.cause = std::move(cause);
}

std::string lowSpeedCause(const TransportState& t) {
  return "low-speed limit: fewer than " + std::to_string(t.timeouts.lowSpeedBytes) + " bytes in " +
         seconds(asDuration(t.timeouts.lowSpeedSpan));
}

#ifdef WITH_OPENSSL
// Keeps the first failed check of the centre's certificate chain; OpenSSL
// then ends the handshake.
int recordVerifyFailure(int ok, X509_STORE_CTX* store) {
  if (ok) return ok;
  auto* ssl = static_cast<SSL*>(X509_STORE_CTX_get_ex_data(store, SSL_get_ex_data_X509_STORE_CTX_idx()));
  auto* t = ssl ? static_cast<TransportState*>(SSL_CTX_get_app_data(SSL_get_SSL_CTX(ssl))) : nullptr;
  if (t != nullptr && t->tlsVerifyError == 0) t->tlsVerifyError = X509_STORE_CTX_get_error(store);
  return ok;
}

// The runtime makes the TLS context when the first https:// connection
// opens (trusted roots: OpenSSL's default verify paths, which honour
// SSL_CERT_FILE and SSL_CERT_DIR); then it is tightened: TLS 1.2 at least,
// and the centre's host name checked as part of the certificate chain, so a
// mismatch ends the handshake like any other failed check.
#ifdef _WIN32
// The DLL trusts what Windows trusts: the certificates of the system's ROOT
// store, read afresh for each context.
bool addWindowsRoots(SSL_CTX* ctx) {
  HCERTSTORE store = CertOpenSystemStoreW(0, L"ROOT");
  if (store == nullptr) return false;
  X509_STORE* trusted = SSL_CTX_get_cert_store(ctx);
  int added = 0;
  for (PCCERT_CONTEXT c = CertEnumCertificatesInStore(store, nullptr); c != nullptr;
       c = CertEnumCertificatesInStore(store, c)) {
    const unsigned char* der = c->pbCertEncoded;
    X509* certificate = d2i_X509(nullptr, &der, static_cast<long>(c->cbCertEncoded));
    if (certificate == nullptr) continue;
    if (X509_STORE_add_cert(trusted, certificate) == 1) ++added;
    X509_free(certificate);
  }
  CertCloseStore(store, 0);
  return added > 0;
}
#endif

int setUpTls(struct soap* soap) {
  TransportState& t = transportOf(soap);
  int status = t.tlsSetUpRuntime(soap);
  if (status != SOAP_OK) return status;
#ifdef _WIN32
  if (!addWindowsRoots(soap->ctx))
    return soap_set_receiver_error(soap, "SSL/TLS error", "no trusted roots in the ROOT store", SOAP_SSL_ERROR);
#endif
  SSL_CTX_set_app_data(soap->ctx, &t);
  X509_VERIFY_PARAM* param = SSL_CTX_get0_param(soap->ctx);
  X509_VERIFY_PARAM_set_hostflags(param, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
  bool named =
      X509_VERIFY_PARAM_set1_ip_asc(param, soap->host) == 1 || X509_VERIFY_PARAM_set1_host(param, soap->host, 0) == 1;
  if (!named || SSL_CTX_set_min_proto_version(soap->ctx, TLS1_2_VERSION) != 1)
    return soap_set_receiver_error(soap, "SSL/TLS error", "cannot set up the certificate checks", SOAP_SSL_ERROR);
  return SOAP_OK;
}
#endif

// The out_text and trace words for a failed handshake.
void recordTlsFailure(struct soap* soap, TransportState& t) {
  const char* runtimeText = soap_fault_string(soap);
  std::string detail = runtimeText ? runtimeText : "";
#ifdef WITH_OPENSSL
  switch (t.tlsVerifyError) {
    case 0: break;
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH:
      t.outText = texts::kTlsNameMismatch;
      recordFailure(t, "TLS: certificate name mismatch (" + t.host + ")");
      return;
    case X509_V_ERR_CERT_HAS_EXPIRED:
      t.outText = texts::kTlsExpired;
      recordFailure(t, "TLS: certificate expired");
      return;
    case X509_V_ERR_CERT_NOT_YET_VALID:
      t.outText = texts::kTlsNotYetValid;
      recordFailure(t, "TLS: certificate not yet valid");
      return;
    default:
      t.outText = texts::kTlsUntrusted;
      recordFailure(
          t, std::string("TLS: certificate not trusted (") + X509_verify_cert_error_string(t.tlsVerifyError) + ")");
      return;
  }
#endif
  // No certificate came: a server that answers in plain HTTP makes OpenSSL
  // read its status line as a TLS record of a strange version.
  for (const char* plain : {"wrong version number", "packet length too long", "http request"}) {
    if (detail.find(plain) != std::string::npos) {
      t.outText = texts::kTlsNotTls;
      recordFailure(t, "TLS: the centre did not answer in TLS (" + detail + ")");
      return;
    }
  }
  t.outText = texts::kTlsFailed;
  recordFailure(t, "TLS handshake failed (" + detail + ")");
}

const char* environment(const char* lowerCase, const char* upperCase) {
  const char* value = std::getenv(lowerCase);
  if (value == nullptr || *value == '\0') value = std::getenv(upperCase);
  return value != nullptr && *value != '\0' ? value : nullptr;
}

std::string lowered(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

// no_proxy: names separated by commas or blanks; "*" matches every host, a
// name matches itself and the names below it (a leading "." or "*." is the
// same), a ":port" after a name is ignored.
bool exempted(const char* noProxy, const std::string& host) {
  std::string list = lowered(noProxy), name = lowered(host);
  size_t at = 0;
  while (at < list.size()) {
    size_t end = list.find_first_of(", \t", at);
    if (end == std::string::npos) end = list.size();
    std::string entry = list.substr(at, end - at);
    at = end + 1;
    if (entry == "*") return true;
    if (entry.rfind("*.", 0) == 0) entry.erase(0, 1);
    if (!entry.empty() && entry[0] == '.') entry.erase(0, 1);
    if (entry.empty() || entry[0] == '[') {
      size_t close = entry.find(']');
      if (!entry.empty() && close != std::string::npos) entry = entry.substr(1, close - 1);
    } else if (entry.find(':') == entry.rfind(':') && entry.find(':') != std::string::npos) {
      entry.erase(entry.find(':'));  // one colon: a port after a name or an IPv4 address
    }
    if (entry.empty()) continue;
    if (name == entry) return true;
    if (name.size() > entry.size() && name.compare(name.size() - entry.size(), entry.size(), entry) == 0 &&
        name[name.size() - entry.size() - 1] == '.')
      return true;
  }
  return false;
}

#ifdef _WIN32
std::string narrow(const wchar_t* wide) {
  int size = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return "";
  std::string text(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, -1, &text[0], size, nullptr, nullptr);
  text.resize(static_cast<size_t>(size - 1));
  return text;
}

std::vector<std::string> split(const std::string& text, const char* separators) {
  std::vector<std::string> parts;
  for (size_t at = 0; at <= text.size();) {
    size_t end = text.find_first_of(separators, at);
    if (end == std::string::npos) end = text.size();
    if (end > at) parts.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return parts;
}

// A bypass pattern of Internet Options: '*' stands for any run of characters.
bool globMatches(const std::string& pattern, const std::string& text) {
  size_t p = 0, t = 0, star = std::string::npos, resume = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = t;
    } else if (p < pattern.size() && pattern[p] == text[t]) {
      ++p;
      ++t;
    } else if (star != std::string::npos) {
      p = star + 1;
      t = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

// The proxy Windows is set up with for this host: the user's Internet
// Options, else WinHTTP's own setting (netsh winhttp set proxy). "" when the
// host is reached directly. Automatic configuration scripts are not run.
std::string windowsProxy(bool https, const std::string& host) {
  std::string list, bypass;
  WINHTTP_CURRENT_USER_IE_PROXY_CONFIG user{};
  if (WinHttpGetIEProxyConfigForCurrentUser(&user)) {
    if (user.lpszProxy) list = narrow(user.lpszProxy);
    if (user.lpszProxyBypass) bypass = narrow(user.lpszProxyBypass);
    for (LPWSTR text : {user.lpszAutoConfigUrl, user.lpszProxy, user.lpszProxyBypass})
      if (text) GlobalFree(text);
  }
  if (list.empty()) {
    WINHTTP_PROXY_INFO machine{};
    if (WinHttpGetDefaultProxyConfiguration(&machine)) {
      if (machine.dwAccessType == WINHTTP_ACCESS_TYPE_NAMED_PROXY && machine.lpszProxy) {
        list = narrow(machine.lpszProxy);
        bypass = machine.lpszProxyBypass ? narrow(machine.lpszProxyBypass) : "";
      }
      for (LPWSTR text : {machine.lpszProxy, machine.lpszProxyBypass})
        if (text) GlobalFree(text);
    }
  }
  if (list.empty()) return "";
  std::string name = lowered(host);
  for (const std::string& entry : split(lowered(bypass), "; \t")) {
    if (entry == "<local>" ? name.find('.') == std::string::npos : globMatches(entry, name)) return "";
  }
  // "host:port" for every scheme, or "http=host:port;https=host:port".
  std::string forAll, forScheme;
  for (const std::string& entry : split(list, "; \t")) {
    size_t equals = entry.find('=');
    if (equals == std::string::npos)
      forAll = entry;
    else if (lowered(entry.substr(0, equals)) == (https ? "https" : "http"))
      forScheme = entry.substr(equals + 1);
  }
  return forScheme.empty() ? forAll : forScheme;
}
#endif

}  // namespace

bool chooseProxy(bool https, const char* host, TransportState& t) {
  t.proxyHost.clear();
  const char* proxy = https ? environment("https_proxy", "HTTPS_PROXY") : environment("http_proxy", "HTTP_PROXY");
  const char* noProxy = environment("no_proxy", "NO_PROXY");
  if (proxy != nullptr && noProxy != nullptr && exempted(noProxy, host ? host : "")) return true;
#ifdef _WIN32
  // Without proxy variables, the DLL goes the way the system is set up to.
  std::string system;
  if (proxy == nullptr) {
    system = windowsProxy(https, host ? host : "");
    if (!system.empty()) proxy = system.c_str();
  }
#endif
  if (proxy == nullptr) return true;
  // [http://][user[:password]@]host[:port][/]
  std::string rest = proxy;
  size_t scheme = rest.find("://");
  if (scheme != std::string::npos) {
    if (lowered(rest.substr(0, scheme)) != "http") {
      t.cause = "proxy not usable: only http:// proxies are supported (" + rest.substr(0, scheme) + "://)";
      return false;
    }
    rest.erase(0, scheme + 3);
  }
  rest = rest.substr(0, rest.find('/'));
  size_t at = rest.rfind('@');
  if (at != std::string::npos) {
    std::string user = rest.substr(0, at);
    size_t colon = user.find(':');
    t.proxyUser = user.substr(0, colon);
    t.proxyPassword = colon == std::string::npos ? "" : user.substr(colon + 1);
    rest.erase(0, at + 1);
  }
  int port = 1080;  // what proxy clients assume when none is given
  size_t close = rest[0] == '[' ? rest.find(']') : 0;
  size_t colon = rest.find(':', close == std::string::npos ? 0 : close);
  if (colon != std::string::npos) {
    std::string digits = rest.substr(colon + 1);
    rest.erase(colon);
    if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos ||
        std::stoi(digits) == 0 || std::stoi(digits) > 65535) {
      t.cause = "proxy not usable: bad port in " + std::string(proxy);
      return false;
    }
    port = std::stoi(digits);
  }
  if (!rest.empty() && rest[0] == '[' && rest.back() == ']') rest = rest.substr(1, rest.size() - 2);
  if (rest.empty()) {
    t.cause = "proxy not usable: no host in " + std::string(proxy);
    return false;
  }
  t.proxyHost = rest;
  t.proxyPort = port;
  return true;
}

namespace {

SOAP_SOCKET openBounded(struct soap* soap, const char* endpoint, const char* host, int port) {
  TransportState& t = transportOf(soap);
  t.host = host ? host : "";
  auto start = TransportClock::now();
  t.window.start(start, t.timeouts);
  const bool https = endpoint != nullptr && soap_tag_cmp(endpoint, "https:*") == 0;
  if (!chooseProxy(https, host, t)) {
    soap_set_receiver_error(soap, t.cause.c_str(), "proxy settings", SOAP_TCP_ERROR);
    return SOAP_INVALID_SOCKET;
  }
  // The runtime reads these while connecting and when it writes the request
  // line (a full URL through a proxy) and, for https, sends CONNECT.
  soap->proxy_host = t.proxyHost.empty() ? nullptr : t.proxyHost.c_str();
  soap->proxy_port = t.proxyPort;
  soap->proxy_userid = t.proxyUser.empty() ? nullptr : t.proxyUser.c_str();
  soap->proxy_passwd = t.proxyUser.empty() ? nullptr : t.proxyPassword.c_str();
  SOAP_SOCKET socket = t.openRuntime(soap, endpoint, host, port);
  if (soap_valid_socket(socket)) return socket;
  t.connectFailed = true;
  microseconds took = std::chrono::duration_cast<microseconds>(TransportClock::now() - start);
  std::string via = t.proxyHost.empty() ? "" : " (proxy " + t.proxyHost + ":" + std::to_string(t.proxyPort) + ")";
  if (!t.proxyHost.empty() && soap->error >= 100 && soap->error < 600) {
    recordFailure(t, "proxy answered HTTP " + std::to_string(soap->error) + " to CONNECT" + via);
  } else if (soap->error == SOAP_SSL_ERROR) {
    recordTlsFailure(soap, t);
  } else if (soap->errnum == 0 && t.timeouts.connect != 0 && took >= asDuration(t.timeouts.connect)) {
    recordFailure(t, "time-out while connecting (" + seconds(took) + ")" + via);
  } else if (soap->errnum == kConnectionRefused) {
    recordFailure(t, "connect refused" + via);
  } else {
    const char* text = soap_fault_string(soap);
    recordFailure(t, std::string("cannot connect: ") + (text ? text : "unknown error") + via);
  }
  return socket;
}

// Sends in pieces no larger than the low-speed amount, so that no single
// wait of the runtime can outlast the low-speed deadline by more than one
// piece's worth of progress.
int sendBounded(struct soap* soap, const char* bytes, size_t count) {
  TransportState& t = transportOf(soap);
  const size_t pieceLimit = std::max<size_t>(t.timeouts.lowSpeedBytes, 1);
  const int ownLimit = soap->send_timeout;
  while (count > 0) {
    size_t piece = std::min(count, pieceLimit);
    bool lowSpeedCut = false;
    microseconds wait = nextWait(t, ownLimit, lowSpeedCut);
    if (lowSpeedCut && wait.count() <= 0) {
      recordFailure(t, lowSpeedCause(t) + " while sending");
      return soap->error = SOAP_EOF;
    }
    if (ownLimit != 0 || lowSpeedCut) soap->send_timeout = asRuntimeWait(wait);
    auto start = TransportClock::now();
    int status = t.sendRuntime(soap, bytes, piece);
    soap->send_timeout = ownLimit;
    if (status != SOAP_OK) {
      auto took = TransportClock::now() - start;
      if (soap->errnum == 0 && took >= wait)
        recordFailure(
            t, lowSpeedCut ? lowSpeedCause(t) + " while sending" : "time-out while sending (" + seconds(wait) + ")");
      else
        recordFailure(t, "connection lost while sending after " + std::to_string(t.bytesSent) + " bytes" +
                             (soap->errnum ? std::string(": ") + std::strerror(soap->errnum) : std::string()));
      return status;
    }
    t.window.moved(piece, TransportClock::now());
    t.bytesSent += piece;
    if (t.keepMessages) t.sent.append(bytes, piece);
    bytes += piece;
    count -= piece;
  }
  return SOAP_OK;
}

#ifdef WITH_OPENSSL
// Waits until the socket is ready for what TLS wants next, at most `wait`.
// 1: ready; 0: the wait ran out; -1: the socket failed.
int waitForSocket(SOAP_SOCKET socket, bool forWriting, microseconds wait) {
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(wait + microseconds(999));
  int timeout = static_cast<int>(std::min<long long>(ms.count(), 2000000000));
#ifdef _WIN32
  WSAPOLLFD ready{socket, static_cast<SHORT>(forWriting ? POLLWRNORM : POLLRDNORM), 0};
  int r = WSAPoll(&ready, 1, timeout);
#else
  pollfd ready{socket, static_cast<short>(forWriting ? POLLOUT : POLLIN), 0};
  int r = ::poll(&ready, 1, timeout);
#endif
  return r > 0 ? 1 : r == 0 ? 0 : -1;
}

// A TLS read with every wait bounded by the receive time-out and the
// low-speed deadline. The runtime's own TLS read waits afresh for each
// part of a record (up to 100 times), so a centre trickling one record
// could hold the call far beyond both.
size_t receiveTls(struct soap* soap, TransportState& t, char* buffer, size_t capacity, int ownLimit) {
  for (;;) {
    ERR_clear_error();
    int r = SSL_read(soap->ssl, buffer, static_cast<int>(std::min<size_t>(capacity, 1 << 30)));
    if (r > 0) return static_cast<size_t>(r);
    int err = SSL_get_error(soap->ssl, r);
    if (err != SSL_ERROR_WANT_READ && err != SSL_ERROR_WANT_WRITE) {
      t.closedByCentre = true;
      return 0;
    }
    bool lowSpeedCut = false;
    microseconds wait = nextWait(t, ownLimit, lowSpeedCut);
    if (ownLimit == 0 && !lowSpeedCut) wait = microseconds(std::numeric_limits<int>::max() * 1000LL);
    int ready = wait.count() > 0 ? waitForSocket(soap->socket, err == SSL_ERROR_WANT_WRITE, wait) : 0;
    if (ready == 0) {
      recordFailure(
          t, lowSpeedCut ? lowSpeedCause(t) + " while receiving" : "time-out while receiving (" + seconds(wait) + ")");
      return 0;
    }
    if (ready < 0) {
      t.closedByCentre = true;
      return 0;
    }
  }
}
#endif

size_t receiveBounded(struct soap* soap, char* buffer, size_t capacity) {
  TransportState& t = transportOf(soap);
  const int ownLimit = soap->recv_timeout;
#ifdef WITH_OPENSSL
  if (soap->ssl != nullptr) {
    size_t count = receiveTls(soap, t, buffer, capacity, ownLimit);
    if (count > 0) {
      t.window.moved(count, TransportClock::now());
      t.bytesReceived += count;
      if (t.keepMessages) t.received.append(buffer, count);
    }
    return count;
  }
#endif
  bool lowSpeedCut = false;
  microseconds wait = nextWait(t, ownLimit, lowSpeedCut);
  if (lowSpeedCut && wait.count() <= 0) {
    recordFailure(t, lowSpeedCause(t) + " while receiving");
    return 0;
  }
  if (ownLimit != 0 || lowSpeedCut) soap->recv_timeout = asRuntimeWait(wait);
  auto start = TransportClock::now();
  size_t count = t.receiveRuntime(soap, buffer, capacity);
  soap->recv_timeout = ownLimit;
  if (count == 0) {
    // The end of the answer, or a failure: recorded, reported only when the
    // call fails.
    auto took = TransportClock::now() - start;
    if (soap->errnum == 0 && took >= wait)
      recordFailure(
          t, lowSpeedCut ? lowSpeedCause(t) + " while receiving" : "time-out while receiving (" + seconds(wait) + ")");
    else
      t.closedByCentre = true;
    return 0;
  }
  t.window.moved(count, TransportClock::now());
  t.bytesReceived += count;
  if (t.keepMessages) t.received.append(buffer, count);
  return count;
}

}  // namespace

void LowSpeedWindow::start(TransportClock::time_point now, const SessionTimeouts& timeouts) {
  // A span or an amount of 0 switches the limit off.
  span_ =
      timeouts.lowSpeedSpan == 0 || timeouts.lowSpeedBytes == 0 ? microseconds(0) : asDuration(timeouts.lowSpeedSpan);
  bytes_ = timeouts.lowSpeedBytes;
  started_ = now;
  total_ = 0;
  marks_.clear();
}

void LowSpeedWindow::moved(size_t bytes, TransportClock::time_point now) {
  if (!running() || bytes == 0) return;
  total_ += bytes;
  marks_.push_back({now, total_});
  // Marks that lie lowSpeedBytes or more behind the total no longer decide
  // the deadline; the newest of them is kept as the span's floor.
  while (marks_.size() > 1 && marks_[1].total + bytes_ <= total_) marks_.pop_front();
}

TransportClock::time_point LowSpeedWindow::deadline() const {
  // The span must hold lowSpeedBytes: count back from the total to the first
  // mark that brought it within lowSpeedBytes of now. Before any such mark
  // the span started with the call.
  TransportClock::time_point since;
  if (total_ < bytes_ || marks_.empty())
    since = started_;
  else if (marks_.front().total + bytes_ <= total_)
    since = marks_[1].at;  // the front is the newest mark that lies far enough behind
  else
    since = marks_.front().at;
  return since + span_;
}

#if defined(WITH_OPENSSL) && defined(_WIN32)
namespace {
BOOL CALLBACK initialiseTls(PINIT_ONCE, PVOID, PVOID*) {
  // No exit handler: the HIS may unload the DLL long before it exits, and a
  // handler left behind would call into unmapped code.
  OPENSSL_init_crypto(OPENSSL_INIT_NO_ATEXIT, nullptr);
  soap_ssl_init();
  return TRUE;
}
}  // namespace
#endif

void recordAnswerCause(struct soap* soap, std::string cause) {
  TransportState& t = transportOf(soap);
  if (t.answerCause.empty()) t.answerCause = std::move(cause);
}

struct soap* newSessionContext() {
#ifdef WITH_OPENSSL
  // soap_new runs the runtime's TLS set-up unless a flag says it ran; the
  // flag itself is not guarded, so the first run happens here, once.
#ifdef _WIN32
  static INIT_ONCE tlsInitialised = INIT_ONCE_STATIC_INIT;
  InitOnceExecuteOnce(&tlsInitialised, initialiseTls, nullptr, nullptr);
#else
  static std::once_flag tlsInitialised;
  std::call_once(tlsInitialised, [] { soap_ssl_init(); });
#endif
#endif
  return soap_new();
}

void attachTransport(struct soap* soap, TransportState& state) {
#ifdef WITH_OPENSSL
  // Certificate checks are always on; the host name is checked by OpenSSL
  // (setUpTls), so the runtime's own looser check is not needed.
  soap->ssl_flags = SOAP_SSL_REQUIRE_SERVER_AUTHENTICATION | SOAP_SSL_SKIP_HOST_CHECK | SOAP_TLSv1_2 | SOAP_TLSv1_3;
#ifdef _WIN32
  // Not OpenSSL's compiled-in paths, which on Windows name directories
  // anyone may create: the ROOT store alone (setUpTls).
  soap->ssl_flags |= SOAP_SSL_NO_DEFAULT_CA_PATH;
#endif
  soap->fsslverify = recordVerifyFailure;
  state.tlsSetUpRuntime = soap->fsslauth;
  soap->fsslauth = setUpTls;
#endif
#ifdef _WIN32
  // Windows bounds a connection attempt itself (three SYNs, about 21 s),
  // while a non-blocking connect, which a time-out of ours needs, learns of
  // a refusal only when that time-out ends on some Winsock implementations.
  soap->connect_timeout = 0;
#else
  soap->connect_timeout = state.timeouts.connect;
#endif
  soap->send_timeout = state.timeouts.send;
  soap->recv_timeout = state.timeouts.receive;
  CallTrace* trace = CallTrace::current();
  state.keepMessages = trace != nullptr && trace->level() >= 2;
  state.openRuntime = soap->fopen;
  state.sendRuntime = soap->fsend;
  state.receiveRuntime = soap->frecv;
  soap->fopen = openBounded;
  soap->fsend = sendBounded;
  soap->frecv = receiveBounded;
}

}  // namespace nv
