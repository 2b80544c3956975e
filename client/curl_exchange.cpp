// SPDX-License-Identifier: MIT
#include "client/curl_exchange.h"

#include <curl/curl.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <charconv>
#include <chrono>
#include <cstring>
#include <iterator>
#include <limits>
#include <initializer_list>
#include <memory>
#include <new>

#include "client/answer_head.h"
#include "client/connection_pool.h"
#include "client/library_lifetime.h"
#include "client/proxy_choice.h"
#include "text/platform.h"
#include "client/tls_trust.h"
#include "text/ascii_case.h"

namespace nv {
namespace {

// The toolkit's own identification, as centres have always seen it.
constexpr const char* kUserAgent = "gSOAP/2.8";
// What a centre may send after an answer that is read through before the
// connection is given up.
constexpr size_t kMostAfterAnswer = 1 << 20;

struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using HeaderList = std::unique_ptr<curl_slist, ListDeleter>;

// Request head lines for the trace, without credentials.
void appendWithoutCredentials(std::string& out, std::string_view head) {
  while (!head.empty()) {
    size_t end = head.find('\n');
    std::string_view line = head.substr(0, end == std::string_view::npos ? head.size() : end + 1);
    head.remove_prefix(line.size());
    if (startsIgnoringCase(line, "authorization:") || startsIgnoringCase(line, "proxy-authorization:")) continue;
    out.append(line);
  }
}

using Clock = std::chrono::steady_clock;

// What the callbacks of one transfer share: one attempt of the exchange.
struct Transfer {
  Transfer(std::string_view envelope, const ExchangeSettings& settings, const SessionLimits& limits, BodyReader& reader,
           ExchangeReport& report, Clock::time_point callStartedAt)
      : envelope(envelope),
        settings(settings),
        limits(limits),
        reader(reader),
        report(report),
        head(limits.headBytes),
        callStartedAt(callStartedAt) {}

  std::string_view envelope;
  const ExchangeSettings& settings;
  const SessionLimits& limits;  // the call's own, not what a second attempt has left of them
  BodyReader& reader;
  ExchangeReport& report;
  AnswerHead head;

  bool requestOut = false;  // the request went to the connection in use
  // The HTTP library would send the request again on a new connection: a
  // kept one closed before any byte of the answer came. It may not: a read
  // is sent again by the exchange itself, within the call's bounds.
  bool resendRefused = false;
  bool bodyBegun = false, outOfMemory = false;
  size_t afterAnswer = 0;
  bool requestSeen = false, viaProxy = false;
  bool tlsResumed = false;
  bool endedAfterAnswer = false;  // stopped once the envelope was read through
  Clock::time_point callStartedAt;
  Clock::time_point settledAt{};  // when the reader had its outcome
  long firstByteMs = -1;          // when the answer's first line came, from the call's start
};

// The transfer running on this thread, for the TLS library's callback.
thread_local Transfer* tlsTransfer = nullptr;

// Called on a connection made or kept, just before the request goes out on
// it: from here on the centre may have received it.
int requestGoesOut(void* user, char*, char*, int, int) {
  auto& t = *static_cast<Transfer*>(user);
  t.requestOut = true;
  return CURL_PREREQFUNC_OK;
}

curl_socket_t openSocket(void* user, curlsocktype purpose, curl_sockaddr* address) {
  auto& t = *static_cast<Transfer*>(user);
  if (purpose != CURLSOCKTYPE_IPCXN) return CURL_SOCKET_BAD;
  // A new connection after the request went out on another one: the HTTP
  // library would send it again because a kept connection closed before any
  // byte of the answer. Never on its own: its second attempt would start
  // every bound afresh.
  if (t.requestOut) {
    t.resendRefused = true;
    return CURL_SOCKET_BAD;
  }
  return openConnectionSocket(*address);
}

// The trace's copy of the messages: memory running out for it leaves the
// copy cut short and changes nothing else.
void keepForTrace(std::string& copy, bool& cut, std::string_view bytes) {
  if (cut) return;
  try {
    copy.append(bytes);
  } catch (...) {
    cut = true;
  }
}

size_t takeHeader(char* line, size_t size, size_t count, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  const size_t n = size * count;
  if (t.firstByteMs < 0)
    t.firstByteMs = static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t.callStartedAt).count());
  if (t.settings.keepMessages && !t.bodyBegun) keepForTrace(t.report.received, t.report.receivedCut, {line, n});
  try {
    AnswerHead::Verdict verdict = t.head.take(std::string_view(line, n));
    if (verdict == AnswerHead::Verdict::kPending) return n;
    if (verdict != AnswerHead::Verdict::kReadBody) return 0;  // the body is not read
    if (!t.bodyBegun) {
      t.bodyBegun = true;
      t.reader.begin(t.head.status(), t.head.announcedLength());
    }
    return n;
  } catch (...) {
    t.outOfMemory = true;
    return 0;
  }
}

size_t takeBody(char* bytes, size_t size, size_t count, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  const size_t n = size * count;
  if (!t.bodyBegun) return 0;
  if (t.settings.keepMessages) keepForTrace(t.report.received, t.report.receivedCut, {bytes, n});
  try {
    if (t.reader.settled()) {
      // The envelope is read through: the rest is passed over, up to a point.
      t.afterAnswer += n;
      return t.afterAnswer <= kMostAfterAnswer ? n : 0;
    }
    t.reader.feed(bytes, n);
    if (t.reader.settled()) t.settledAt = Clock::now();
    return n;
  } catch (...) {
    t.outOfMemory = true;
    return 0;
  }
}

// What went out, for the trace and to tell a proxy's part: a tunnel starts
// with CONNECT, a forwarded request names the whole URL.
int watchTransfer(CURL*, curl_infotype type, char* data, size_t size, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  std::string_view bytes(data, size);
  try {
    if (type == CURLINFO_HEADER_OUT) {
      if (!t.requestSeen) {
        t.requestSeen = true;
        t.viaProxy = bytes.rfind("CONNECT ", 0) == 0 || bytes.rfind("POST http", 0) == 0;
      }
      if (t.settings.keepMessages && !t.report.sentCut) appendWithoutCredentials(t.report.sent, bytes);
    } else if (type == CURLINFO_DATA_OUT && t.settings.keepMessages) {
      keepForTrace(t.report.sent, t.report.sentCut, bytes);
    }
  } catch (...) {
    t.report.sentCut = true;  // no memory for the trace's copy: the call goes on without it
  }
  return 0;
}

void noteHandshake(const SSL* ssl, int where, int) {
  if ((where & SSL_CB_HANDSHAKE_DONE) && tlsTransfer != nullptr)
    tlsTransfer->tlsResumed = SSL_session_reused(const_cast<SSL*>(ssl)) == 1;
}

// Every new TLS context: the shared roots, and the centre's host name (or
// address) checked as part of the certificate chain, so that a mismatch ends
// the handshake as any other failed check does and is told apart.
CURLcode prepareTlsContext(CURL*, void* context, void* user) {
  auto* ctx = static_cast<SSL_CTX*>(context);
  auto& t = *static_cast<Transfer*>(user);
  // Nothing may be thrown through the HTTP library: it would leave the
  // transfer, and the share's locks, half way.
  try {
    if (!useTrustedRoots(ctx)) {
      t.outOfMemory = true;
      return CURLE_OUT_OF_MEMORY;
    }
    X509_VERIFY_PARAM* param = SSL_CTX_get0_param(ctx);
    X509_VERIFY_PARAM_set_hostflags(param, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
    const std::string& host = t.report.host;
    const bool bracketed = host.size() > 2 && host.front() == '[' && host.back() == ']';
    const std::string bare = bracketed ? host.substr(1, host.size() - 2) : host;
    if (X509_VERIFY_PARAM_set1_ip_asc(param, bare.c_str()) != 1 &&
        X509_VERIFY_PARAM_set1_host(param, bare.c_str(), 0) != 1)
      return CURLE_SSL_CERTPROBLEM;
  } catch (const std::bad_alloc&) {
    t.outOfMemory = true;
    return CURLE_OUT_OF_MEMORY;
  }
  SSL_CTX_set_info_callback(ctx, noteHandshake);
  return CURLE_OK;
}

curl_off_t infoTime(CURL* handle, CURLINFO what) {
  curl_off_t value = 0;
  curl_easy_getinfo(handle, what, &value);
  return value;
}

long infoLong(CURL* handle, CURLINFO what) {
  long value = 0;
  curl_easy_getinfo(handle, what, &value);
  return value;
}

CallStatus tlsFailure(CURLcode code, CURL* handle, const std::string& host, const char* detail) {
  // The verify result is only the certificate check's when that check failed.
  const long verify = infoLong(handle, CURLINFO_SSL_VERIFYRESULT);
  if (code == CURLE_PEER_FAILED_VERIFICATION) {
    switch (verify) {
      case X509_V_ERR_HOSTNAME_MISMATCH:
      case X509_V_ERR_IP_ADDRESS_MISMATCH:
        return CallStatus::failed(Cause::kTlsNameMismatch, CauseDetail().withText(host));
      case X509_V_ERR_CERT_HAS_EXPIRED: return CallStatus::failed(Cause::kTlsExpired);
      case X509_V_ERR_CERT_NOT_YET_VALID: return CallStatus::failed(Cause::kTlsNotYetValid);
      default:
        return CallStatus::failed(Cause::kTlsUntrusted, CauseDetail().withText(X509_verify_cert_error_string(verify)));
    }
  }
  // No certificate came: a server answering in plain HTTP makes OpenSSL read
  // its status line as a TLS record of a strange version.
  const std::string text = detail;
  for (const char* plain : {"wrong version number", "packet length too long", "http request"})
    if (text.find(plain) != std::string::npos)
      return CallStatus::failed(Cause::kTlsNotTls, CauseDetail().withText(text));
  return CallStatus::failed(Cause::kTlsHandshakeFailed, CauseDetail().withText(text));
}

// The account of a transfer the library ended with a failure.
CallStatus transferFailure(CURLcode code, CURL* handle, const Transfer& t, const std::string& host, bool https,
                           const ProxyChoice& proxy, const char* detail) {
  // The proxy the attempt went through, if any.
  const std::string throughProxy = t.viaProxy || !proxy.url.empty() ? proxy.shown : "";
  const long connectAnswer = infoLong(handle, CURLINFO_HTTP_CONNECTCODE);
  if (connectAnswer >= 300)
    return CallStatus::failed(Cause::kProxyRefusedTunnel,
                              CauseDetail().withStatus(static_cast<int>(connectAnswer)).withProxy(throughProxy));
  curl_off_t uploaded = 0, downloaded = 0;
  curl_easy_getinfo(handle, CURLINFO_SIZE_UPLOAD_T, &uploaded);
  curl_easy_getinfo(handle, CURLINFO_SIZE_DOWNLOAD_T, &downloaded);
  const int64_t received = infoLong(handle, CURLINFO_HEADER_SIZE) + downloaded;
  const bool sending = static_cast<size_t>(uploaded) < t.envelope.size() && !t.bodyBegun;
  const long os = infoLong(handle, CURLINFO_OS_ERRNO);
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      return CallStatus::failed(Cause::kNameUnresolved,
                                CauseDetail()
                                    .withText(unresolvedNameText())
                                    .withProxy(code == CURLE_COULDNT_RESOLVE_PROXY ? proxy.shown : std::string()));
    case CURLE_COULDNT_CONNECT:
      if (isConnectionRefused(os))
        return CallStatus::failed(Cause::kConnectRefused,
                                  CauseDetail().withText(socketErrorText(os)).withProxy(throughProxy));
      return CallStatus::failed(
          Cause::kCannotConnect,
          CauseDetail().withText(os != 0 ? socketErrorText(os) : std::string(detail)).withProxy(throughProxy));
    case CURLE_OPERATION_TIMEDOUT: {
      const bool connected = infoTime(handle, https ? CURLINFO_APPCONNECT_TIME_T : CURLINFO_CONNECT_TIME_T) > 0;
      if (!connected && !t.requestOut)
        return CallStatus::failed(
            Cause::kConnectTimeout,
            CauseDetail().withMicroseconds(infoTime(handle, CURLINFO_TOTAL_TIME_T)).withProxy(throughProxy));
      return CallStatus::failed(sending ? Cause::kSlowWhileSending : Cause::kSlowWhileReceiving,
                                CauseDetail().withLowSpeed(t.limits.lowSpeedBytesPerSecond, t.limits.lowSpeedSeconds));
    }
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS: return tlsFailure(code, handle, host, detail);
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE: return CallStatus::failed(Cause::kClosedByCentre, CauseDetail().withBytes(received));
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
      return CallStatus::failed(sending ? Cause::kLostWhileSending : Cause::kLostWhileReceiving,
                                CauseDetail()
                                    .withBytes(sending ? static_cast<int64_t>(uploaded) : received)
                                    .withText(os != 0 ? socketErrorText(os) : std::string()));
    case CURLE_WEIRD_SERVER_REPLY:
      // A header the library refuses (a Content-Length that is no number):
      // refused as the runtime refused bad headers.
      if (t.head.status() > 0)
        return CallStatus::failed(Cause::kHeaderUnreadable, CauseDetail().withStatus(t.head.status()).withText(detail));
      return CallStatus::failed(Cause::kNotHttp, CauseDetail().withText(detail));
    case CURLE_UNSUPPORTED_PROTOCOL: return CallStatus::failed(Cause::kNotHttp, CauseDetail().withText(detail));
    case CURLE_URL_MALFORMAT: return CallStatus::failed(Cause::kEndpointMalformed, CauseDetail().withText(detail));
    default:
      return CallStatus::failed(Cause::kTransferFailed,
                                CauseDetail().withText(*detail ? detail : curl_easy_strerror(code)));
  }
}

// The options of this call: its address, bounds, request, answer and proxy.
void setCallOptions(CURL* handle, CURLU* url, const ExchangeSettings& settings, const SessionLimits& limits,
                    const ProxyChoice& proxy, curl_slist* headers, curl_slist* connectTo, Transfer& transfer,
                    char* errorText) {
  curl_easy_setopt(handle, CURLOPT_CURLU, url);
  curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorText);
  // Every wait bounded: connecting as a whole, then the low-speed limit.
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connect.count()));
  curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, limits.lowSpeedBytesPerSecond);
  curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, limits.lowSpeedSeconds);
  // A kept connection, used again only soon after its last answer.
  curl_easy_setopt(handle, CURLOPT_MAXAGE_CONN, static_cast<long>(limits.idleReuse.count()));
  if (!settings.reuse) {
    curl_easy_setopt(handle, CURLOPT_FRESH_CONNECT, 1L);
    curl_easy_setopt(handle, CURLOPT_FORBID_REUSE, 1L);
  }
  // The request: one POST of the envelope, with exactly the head centres
  // know. Given from memory, a small envelope leaves in one piece with the
  // head; whether it may go again is openSocket's to decide.
  curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(transfer.envelope.size()));
  curl_easy_setopt(handle, CURLOPT_POSTFIELDS, transfer.envelope.data());
  curl_easy_setopt(handle, CURLOPT_PREREQDATA, &transfer);
  curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers);
  // The answer.
  curl_easy_setopt(handle, CURLOPT_HEADERDATA, &transfer);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
  // The proxy this call was given.
  curl_easy_setopt(handle, CURLOPT_PROXY, proxy.url.c_str());
  curl_easy_setopt(handle, CURLOPT_SSL_CTX_DATA, &transfer);
  curl_easy_setopt(handle, CURLOPT_CONNECT_TO, connectTo);
  curl_easy_setopt(handle, CURLOPT_OPENSOCKETDATA, &transfer);
  // What went out is watched only when the trace or a proxy needs it. Set
  // either way: a kept handle has the options of its last call.
  const bool watched = settings.keepMessages || !proxy.url.empty();
  curl_easy_setopt(handle, CURLOPT_DEBUGFUNCTION, watched ? watchTransfer : nullptr);
  curl_easy_setopt(handle, CURLOPT_DEBUGDATA, watched ? &transfer : nullptr);
  curl_easy_setopt(handle, CURLOPT_VERBOSE, watched ? 1L : 0L);
}

// The options every call sets alike, once for a handle's life: a kept
// handle has them from its first call. True when all of them took (the
// text ones need memory).
bool setFixedOptions(CURL* handle) {
  bool set = curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK;
  curl_easy_setopt(handle, CURLOPT_PATH_AS_IS, 1L);
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle, CURLOPT_SHARE, ConnectionPool::instance().share());
  curl_easy_setopt(handle, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  // A name lookup still running when the bound is up is left to finish on
  // its own, not waited for (the library stays loaded for it).
  curl_easy_setopt(handle, CURLOPT_QUICK_EXIT, 1L);
  curl_easy_setopt(handle, CURLOPT_MAXCONNECTS, 1L);
  curl_easy_setopt(handle, CURLOPT_PREREQFUNCTION, requestGoesOut);
  set = curl_easy_setopt(handle, CURLOPT_USERAGENT, kUserAgent) == CURLE_OK && set;
  curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, takeHeader);
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, takeBody);
  curl_easy_setopt(handle, CURLOPT_BUFFERSIZE, 64L * 1024);
  // Nothing of the proxy the library would find itself: no_proxy is weighed
  // already (client/no_proxy.h).
  set = curl_easy_setopt(handle, CURLOPT_NOPROXY, "") == CURLE_OK && set;
  curl_easy_setopt(handle, CURLOPT_PROXYTYPE, static_cast<long>(CURLPROXY_HTTP));
  curl_easy_setopt(handle, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
  // TLS 1.2 at least, the certificate and its name always checked against
  // the shared roots alone.
  curl_easy_setopt(handle, CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2));
  curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(handle, CURLOPT_CAINFO, nullptr);
  curl_easy_setopt(handle, CURLOPT_CAPATH, nullptr);
  curl_easy_setopt(handle, CURLOPT_SSL_CTX_FUNCTION, prepareTlsContext);
  curl_easy_setopt(handle, CURLOPT_OPENSOCKETFUNCTION, openSocket);
  return set;
}

void setUp(TransferHandle& handle, CURLU* url, const ExchangeSettings& settings, const SessionLimits& limits,
           const ProxyChoice& proxy, curl_slist* headers, curl_slist* connectTo, Transfer& transfer, char* errorText) {
  if (!handle.prepared) handle.prepared = setFixedOptions(handle.easy);
  setCallOptions(handle.easy, url, settings, limits, proxy, headers, connectTo, transfer, errorText);
}

HeaderList listOf(std::initializer_list<std::string> lines) {
  curl_slist* list = nullptr;
  for (const std::string& line : lines) {
    curl_slist* longer = curl_slist_append(list, line.c_str());
    if (longer == nullptr) {
      curl_slist_free_all(list);
      throw std::bad_alloc();
    }
    list = longer;
  }
  return HeaderList(list);
}

// The request's own head lines, linked in place: the HTTP library only
// reads the list it is given, so nothing needs copying or freeing.
class RequestHead {
 public:
  RequestHead(size_t length, bool reuse) {
    static constexpr char kPrefix[] = "Content-Length: ";
    std::memcpy(contentLength_, kPrefix, sizeof kPrefix - 1);
    char* end = std::to_chars(contentLength_ + sizeof kPrefix - 1, std::end(contentLength_) - 1, length).ptr;
    *end = '\0';
    const char* lines[] = {
        // Headers the library would add on its own, left out.
        "Accept:",           "Expect:",
        "Proxy-Connection:", "Content-Type: text/xml; charset=utf-8",
        contentLength_,      reuse ? "Connection: keep-alive" : "Connection: close",
        "SOAPAction: \"\"",
    };
    static_assert(sizeof lines / sizeof lines[0] == kLines);
    for (size_t i = 0; i < kLines; ++i)
      nodes_[i] = {const_cast<char*>(lines[i]), i + 1 < kLines ? &nodes_[i + 1] : nullptr};
  }
  RequestHead(const RequestHead&) = delete;
  RequestHead& operator=(const RequestHead&) = delete;
  curl_slist* lines() { return nodes_; }

 private:
  static constexpr size_t kLines = 7;
  char contentLength_[sizeof "Content-Length: " + std::numeric_limits<size_t>::digits10 + 1];
  curl_slist nodes_[kLines];
};

long milliseconds(curl_off_t microseconds) { return static_cast<long>((microseconds + 500) / 1000); }

// The library's largest request body sent with the head in one piece
// (MAX_INITIAL_POST_SIZE): both the request's size and the upload count it.
constexpr size_t kBodySentWithHead = 64 * 1024;

// What one attempt did, for the trace; `offsetMs` is when the attempt
// started, from the call's start, so every phase counts from there.
void fillReport(CURL* handle, const Transfer& t, const ProxyChoice& proxy, long offsetMs, ExchangeReport& report) {
  report.proxy = proxy.url.empty() ? "" : proxy.shown;
  const long connects = infoLong(handle, CURLINFO_NUM_CONNECTS);
  if (connects > 0)
    report.connection = t.tlsResumed ? ExchangeReport::Connection::kResumed : ExchangeReport::Connection::kNew;
  else if (t.requestOut)
    report.connection = ExchangeReport::Connection::kReused;
  const curl_off_t resolve = infoTime(handle, CURLINFO_NAMELOOKUP_TIME_T),
                   connect = infoTime(handle, CURLINFO_CONNECT_TIME_T),
                   tls = infoTime(handle, CURLINFO_APPCONNECT_TIME_T);
  report.resolveMs = resolve > 0 || connect > 0 ? offsetMs + milliseconds(resolve) : -1;
  report.connectMs = connect > 0 ? offsetMs + milliseconds(connect) : -1;
  report.tlsMs = tls > 0 ? offsetMs + milliseconds(tls) : -1;
  report.firstByteMs = t.firstByteMs;
  curl_off_t uploaded = 0, downloaded = 0;
  curl_easy_getinfo(handle, CURLINFO_SIZE_UPLOAD_T, &uploaded);
  curl_easy_getinfo(handle, CURLINFO_SIZE_DOWNLOAD_T, &downloaded);
  // A small body goes out with the head and is counted in both figures.
  const auto requestSize = static_cast<curl_off_t>(infoLong(handle, CURLINFO_REQUEST_SIZE));
  const curl_off_t counted = t.envelope.size() < kBodySentWithHead ? std::min(uploaded, requestSize) : 0;
  report.bytesSent += static_cast<unsigned long long>(requestSize + uploaded - counted);
  report.bytesReceived += static_cast<unsigned long long>(infoLong(handle, CURLINFO_HEADER_SIZE) + downloaded);
}

// Gives the handle back to the pool when the call is over, whatever way.
class HandleLease {
 public:
  HandleLease(TransferHandle handle, std::string origin, bool pooled)
      : handle_(handle), origin_(std::move(origin)), pooled_(pooled) {}
  // A transfer that failed leaves nothing worth keeping.
  void dropAfterwards() { pooled_ = false; }
  // The socket of the connection the transfer left in the handle.
  void keptSocket(curl_socket_t socket) { handle_.socket = socket; }
  ~HandleLease() {
    if (!handle_) {
      ConnectionPool::close(handle_);
      return;
    }
    ConnectionPool::instance().give(handle_, origin_, pooled_);
  }
  HandleLease(const HandleLease&) = delete;
  HandleLease& operator=(const HandleLease&) = delete;
  CURL* get() const { return handle_.easy; }
  TransferHandle& handle() { return handle_; }
  CURLM* multi() const { return handle_.multi; }

 private:
  TransferHandle handle_;
  std::string origin_;
  bool pooled_;
};

// Sets the transfer running on this thread for the TLS callback, and
// clears it however perform ends.
class CurrentTransfer {
 public:
  explicit CurrentTransfer(Transfer* t) : previous_(tlsTransfer) { tlsTransfer = t; }
  ~CurrentTransfer() { tlsTransfer = previous_; }
  CurrentTransfer(const CurrentTransfer&) = delete;
  CurrentTransfer& operator=(const CurrentTransfer&) = delete;

 private:
  Transfer* previous_;
};

// Drives the transfer to its end, looking at it at least every 100 ms.
// Once the envelope is read through, what the answer still announced has
// the grace to come; then the transfer ends there, its connection closed.
// The socket of a connection the transfer leaves kept goes to the lease.
CURLcode perform(HandleLease& lease, Transfer& t, std::chrono::milliseconds grace) {
  CURL* easy = lease.get();
  CURLM* multi = lease.multi();
  if (curl_multi_add_handle(multi, easy) != CURLM_OK) return CURLE_OUT_OF_MEMORY;
  int running = 1;
  CURLMcode state = curl_multi_perform(multi, &running);
  while (state == CURLM_OK && running > 0) {
    if (t.settledAt != Clock::time_point{} && Clock::now() - t.settledAt >= grace) {
      t.endedAfterAnswer = true;
      break;
    }
    state = curl_multi_poll(multi, nullptr, 0, 100, nullptr);
    if (state == CURLM_OK) state = curl_multi_perform(multi, &running);
  }
  CURLcode code = state == CURLM_OUT_OF_MEMORY ? CURLE_OUT_OF_MEMORY : CURLE_FAILED_INIT;
  if (t.endedAfterAnswer) code = CURLE_OK;
  int left = 0;
  while (CURLMsg* message = curl_multi_info_read(multi, &left))
    if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
      code = message->data.result;
      // Only while the transfer is the multi handle's does the library say
      // which connection it kept.
      curl_socket_t socket = CURL_SOCKET_BAD;
      if (code == CURLE_OK && curl_easy_getinfo(easy, CURLINFO_ACTIVESOCKET, &socket) == CURLE_OK)
        lease.keptSocket(socket);
    }
  // Removing an unfinished transfer closes its connection.
  curl_multi_remove_handle(multi, easy);
  return code;
}

// The limits of a second attempt: what the call has left of them. The
// first went on a kept connection (there is no second attempt otherwise),
// so it spent nothing on connecting and the second has the whole connect
// bound; the first's time counts against the low-speed span, as no byte of
// the answer came in it. None left: no second attempt.
bool limitsLeft(const SessionLimits& limits, Clock::duration spent, SessionLimits& left) {
  const auto spentSeconds = std::chrono::duration_cast<std::chrono::milliseconds>(spent).count() / 1000;
  if (spentSeconds >= limits.lowSpeedSeconds) return false;
  left = limits;
  left.lowSpeedSeconds = std::max<long>(1, limits.lowSpeedSeconds - static_cast<long>(spentSeconds));
  return true;
}

struct AttemptOutcome {
  CURLcode code;
  bool resendRefused;
  bool requestOut;
};

}  // namespace

ExchangeResult exchangeWithCentre(const std::string& endpoint, std::string_view envelope,
                                  const ExchangeSettings& settings, const ExchangeEnvironment& environment,
                                  BodyReader& reader, ExchangeReport& report) {
  const Clock::time_point callStartedAt = Clock::now();
  const SessionLimits callLimits = environment.limits();
  const std::string_view connectToEntry = environment.connectTo(), resolveEntry = environment.resolve();
  ExchangeResult result;
  report.attempted = true;
  ConnectionPool& pool = ConnectionPool::instance();
  if (!pool.ready()) throw std::bad_alloc();

  // The service address as the library reads it, without user information.
  const std::shared_ptr<const ParsedEndpoint> url = pool.endpoint(endpoint);
  if (!url) {
    result.transport = CallStatus::failed(Cause::kEndpointUnreadable);
    return result;
  }
  const std::string& scheme = url->scheme;
  report.host = url->host;

  ProxyChoice proxy = chooseProxy(scheme == "https", report.host);
  if (!proxy.unusable.isOk()) {
    result.transport = proxy.unusable;
    return result;
  }

  // Connections are kept only for the centres themselves, never for a test's.
  const bool pooled = settings.reuse && connectToEntry.empty() && resolveEntry.empty();
  ExchangeSettings effective = settings;
  effective.reuse = pooled;
  const std::string origin = scheme + "://" + report.host + ":" + url->port + "|" + proxy.url;
  RequestHead head(envelope.size(), settings.reuse);
  HeaderList connectTo = connectToEntry.empty() ? HeaderList() : listOf({std::string(connectToEntry)});
  HeaderList resolve = resolveEntry.empty() ? HeaderList() : listOf({std::string(resolveEntry)});

  // One attempt, on a kept connection or a new one; a read whose kept
  // connection closed unanswered gets a second, on a new connection, with
  // what is left of the call's bounds.
  bool anyRequestOut = false;
  SessionLimits limits = callLimits;
  for (int attempt = 1;; ++attempt) {
    const Clock::time_point attemptStartedAt = Clock::now();
    HandleLease lease(pooled && attempt == 1 ? pool.take(origin, callLimits.idleReuse) : ConnectionPool::fresh(),
                      origin, pooled);
    if (lease.get() == nullptr) throw std::bad_alloc();
    Transfer transfer(envelope, effective, callLimits, reader, report, callStartedAt);
    char errorText[CURL_ERROR_SIZE] = "";
    setUp(lease.handle(), url->url, effective, limits, proxy, head.lines(), connectTo.get(), transfer, errorText);
    if (resolve) curl_easy_setopt(lease.get(), CURLOPT_RESOLVE, resolve.get());
    CURLcode code;
    {
      CurrentTransfer current(&transfer);
      code = perform(lease, transfer, callLimits.settledGrace);
    }
    // A connection after an HTTP/1.0 answer, or one whose answer was cut
    // short, is not used again.
    if (code != CURLE_OK || transfer.endedAfterAnswer ||
        infoLong(lease.get(), CURLINFO_HTTP_VERSION) == CURL_HTTP_VERSION_1_0)
      lease.dropAfterwards();
    if (transfer.outOfMemory) throw std::bad_alloc();
    // The HTTP library's own refusal of a head line over its limit (100 KB)
    // comes as running out of memory; only the library's own allocations
    // are that.
    const bool headLineRefused =
        code == CURLE_OUT_OF_MEMORY && !transfer.bodyBegun && transfer.head.verdict() == AnswerHead::Verdict::kPending;
    if (code == CURLE_OUT_OF_MEMORY && !headLineRefused) throw std::bad_alloc();
    // Given up while the name was still being looked up: the lookup's thread
    // may still run the library's code after the call.
    if (code == CURLE_OPERATION_TIMEDOUT && infoTime(lease.get(), CURLINFO_NAMELOOKUP_TIME_T) == 0 &&
        infoTime(lease.get(), CURLINFO_CONNECT_TIME_T) == 0)
      keepLibraryLoaded();
    const long offsetMs = static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(attemptStartedAt - callStartedAt).count());
    fillReport(lease.get(), transfer, proxy, offsetMs, report);
    anyRequestOut = anyRequestOut || transfer.requestOut || transfer.resendRefused;
    result.status = transfer.head.status();

    if (transfer.resendRefused && attempt == 1 && settings.effect == kReadsOnly && !transfer.bodyBegun &&
        limitsLeft(callLimits, Clock::now() - callStartedAt, limits)) {
      report.resent = true;
      continue;
    }

    // A forwarding proxy's own refusal of the request never reached the centre.
    const bool proxyRefused = !proxy.url.empty() && transfer.head.status() == 407;
    result.requestStarted = anyRequestOut && !proxyRefused;
    if (headLineRefused) {
      result.transport = CallStatus::failed(Cause::kHeadLineTooLong);
      return result;
    }
    switch (transfer.head.verdict()) {
      case AnswerHead::Verdict::kHttpError:
      case AnswerHead::Verdict::kBroken: result.transport = transfer.head.refusal(); return result;
      default: break;
    }
    if (transfer.resendRefused) {
      result.transport = CallStatus::failed(Cause::kResendRefused);
    } else if (code != CURLE_OK) {
      result.transport = transferFailure(code, lease.get(), transfer, report.host, scheme == "https", proxy, errorText);
    }
    // However the library saw it, an answer whose head never ended is none.
    if (!transfer.bodyBegun && result.transport.isOk()) result.transport = CallStatus::failed(Cause::kHeadUnfinished);
    if (transfer.bodyBegun) {
      result.bodyRead = true;
      result.outcome = reader.finish();
    }
    return result;
  }
}

}  // namespace nv
