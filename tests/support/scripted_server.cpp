// SPDX-License-Identifier: MIT
#include "tests/support/scripted_server.h"

#include "tests/support/loopback_socket.h"
#include "tests/support/soap_message.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <chrono>
#include <cstring>
#include <stdexcept>

#include <openssl/ssl.h>

namespace nvtest {

namespace {

constexpr int pollSliceMs = 20;
// A client that never finishes its request is given up after this long.
constexpr int requestDeadlineMs = 30000;
// How long a kept connection waits for its next request.
constexpr int keptConnectionMs = 30000;

const char* reasonPhrase(int status) {
  switch (status) {
    case 200: return "OK";
    case 202: return "Accepted";
    case 204: return "No Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
  }
}

std::string lowerCase(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

bool hasHeader(const Headers& headers, const std::string& name) {
  for (const auto& h : headers)
    if (lowerCase(h.first) == lowerCase(name)) return true;
  return false;
}

// The value of a header in a raw header block, or "" when absent.
std::string headerIn(const std::string& head, const std::string& name) {
  const std::string lowered = lowerCase(head);
  const std::string key = "\r\n" + lowerCase(name) + ":";
  std::size_t at = lowered.find(key);
  if (at == std::string::npos) return "";
  std::size_t start = at + key.size();
  std::size_t end = head.find("\r\n", start);
  std::string value = head.substr(start, end == std::string::npos ? std::string::npos : end - start);
  std::size_t first = value.find_first_not_of(" \t");
  std::size_t last = value.find_last_not_of(" \t");
  return first == std::string::npos ? "" : value.substr(first, last - first + 1);
}

}  // namespace

bool requestComplete(const std::string& data) {
  std::size_t headEnd = data.find("\r\n\r\n");
  if (headEnd == std::string::npos) return false;
  std::string head = data.substr(0, headEnd + 2);
  std::size_t bodyStart = headEnd + 4;
  if (lowerCase(headerIn(head, "Transfer-Encoding")).find("chunked") != std::string::npos)
    return data.find("0\r\n\r\n", bodyStart) != std::string::npos;
  std::string length = headerIn(head, "Content-Length");
  if (length.empty()) return true;
  return data.size() - bodyStart >= std::stoull(length);
}

void sendAll(int fd, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // the client went away; nothing more to say
    sent += static_cast<std::size_t>(n);
  }
}

// ---- Reply builders ---------------------------------------------------------

std::string xmlEscape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string soap11Envelope(const std::string& bodyContent) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
         "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\">"
         "<soap:Body>" +
         bodyContent + "</soap:Body></soap:Envelope>";
}

std::string soap12Envelope(const std::string& bodyContent) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
         "<soap:Envelope xmlns:soap=\"http://www.w3.org/2003/05/soap-envelope\">"
         "<soap:Body>" +
         bodyContent + "</soap:Body></soap:Envelope>";
}

Reply Reply::soap(const std::string& op, const std::string& membersXml) {
  return xml(soap11Envelope("<ns1:" + op + "Response xmlns:ns1=\"" + serviceNamespace() + "\">" + membersXml +
                            "</ns1:" + op + "Response>"));
}

Reply Reply::fault(const std::string& faultcode, const std::string& faultstring, int status) {
  return xml(soap11Envelope("<soap:Fault><faultcode>" + faultcode + "</faultcode><faultstring>" +
                            xmlEscape(faultstring) + "</faultstring></soap:Fault>"),
             status);
}

Reply Reply::xml(const std::string& document, int status, const std::string& contentType) {
  return http(status, {{"Content-Type", contentType}}, document);
}

Reply Reply::http(int status, const Headers& headers, const std::string& body) {
  std::string bytes = "HTTP/1.1 " + std::to_string(status) + " " + reasonPhrase(status) + "\r\n";
  for (const auto& h : headers) bytes += h.first + ": " + h.second + "\r\n";
  if (!hasHeader(headers, "Content-Length")) bytes += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  if (!hasHeader(headers, "Connection")) bytes += "Connection: close\r\n";
  bytes += "\r\n" + body;
  return raw(std::move(bytes));
}

Reply Reply::raw(std::string bytes) {
  Reply reply;
  reply.bytes = std::move(bytes);
  return reply;
}

Reply Reply::closeWithoutAnswer() {
  Reply reply;
  reply.action = Action::CloseWithoutAnswer;
  return reply;
}

Reply Reply::neverAnswer(int holdMs) {
  Reply reply;
  reply.action = Action::HoldOpen;
  reply.holdMs = holdMs;
  return reply;
}

Reply Reply::delayedBy(int ms) const {
  Reply reply = *this;
  reply.delayMs = ms;
  return reply;
}

Reply Reply::keptAlive() const {
  Reply reply = *this;
  const std::string close = "\r\nConnection: close\r\n";
  std::size_t at = reply.bytes.find(close);
  if (at != std::string::npos && at < reply.bytes.find("\r\n\r\n"))
    reply.bytes.replace(at, close.size(), "\r\nConnection: keep-alive\r\n");
  return reply;
}

Reply Reply::closedWhenIdleFor(int ms, std::string bytes) const {
  Reply reply = keptAlive();
  reply.idleMs = ms;
  reply.idleBytes = std::move(bytes);
  return reply;
}

Reply Reply::followedBy(std::string bytes) const {
  Reply reply = keptAlive();
  reply.strayBytes = std::move(bytes);
  return reply;
}

Reply Reply::truncatedTo(std::size_t byteCount) const {
  Reply reply = *this;
  reply.sendLimit = byteCount;
  return reply;
}

// ---- Server ---------------------------------------------------------------

ScriptedServer::ScriptedServer(const std::string& tlsPem) {
  if (!tlsPem.empty()) {
    // The TLS library writes to the socket itself, without MSG_NOSIGNAL: a
    // client gone mid-answer must not end the test process.
    static const bool pipeIgnored = (std::signal(SIGPIPE, SIG_IGN), true);
    (void)pipeIgnored;
    tls_ = SSL_CTX_new(TLS_server_method());
    if (tls_ == nullptr || SSL_CTX_use_certificate_chain_file(tls_, tlsPem.c_str()) != 1 ||
        SSL_CTX_use_PrivateKey_file(tls_, tlsPem.c_str(), SSL_FILETYPE_PEM) != 1)
      throw std::runtime_error("scripted server: cannot use " + tlsPem);
  }
  LoopbackSocket listener = listenOnLoopback("scripted server", 64);
  listenFd_ = listener.fd;
  port_ = listener.port;
  acceptor_ = std::thread([this] { acceptLoop(); });
}

ScriptedServer::~ScriptedServer() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  stopSignal_.notify_all();
  acceptor_.join();
  // The acceptor has ended: nobody adds workers any more.
  for (std::thread& worker : workers_) worker.join();
  ::close(listenFd_);
  SSL_CTX_free(tls_);
}

std::string ScriptedServer::url() const {
  return (tls_ ? "https://localhost:" : "http://127.0.0.1:") + std::to_string(port_) +
         "/clinic/webservice/inpatientRedeem";
}

std::size_t ScriptedServer::resumedSessions() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return resumed_;
}

void ScriptedServer::enqueue(Reply reply) {
  std::lock_guard<std::mutex> lock(mutex_);
  script_.push_back(std::move(reply));
}

std::vector<std::string> ScriptedServer::requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

std::size_t ScriptedServer::connectionCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return connections_;
}

bool ScriptedServer::waitForStop(int ms) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (ms < 0) {
    stopSignal_.wait(lock, [this] { return stopping_; });
    return true;
  }
  return stopSignal_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping_; });
}

void ScriptedServer::acceptLoop() {
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stopping_) return;
    }
    pollfd p{listenFd_, POLLIN, 0};
    if (::poll(&p, 1, pollSliceMs) <= 0) continue;
    int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    std::lock_guard<std::mutex> lock(mutex_);
    ++connections_;
    workers_.emplace_back([this, fd] { serve(fd); });
  }
}

void ScriptedServer::answerAlways(Reply reply) {
  std::lock_guard<std::mutex> lock(mutex_);
  standing_ = std::make_unique<Reply>(std::move(reply));
}

Reply ScriptedServer::nextReply() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (script_.empty() && standing_) return *standing_;
  if (script_.empty()) return Reply::fault("soap:Server", "scripted server: no reply was scripted for this request");
  Reply reply = std::move(script_.front());
  script_.pop_front();
  return reply;
}

std::string ScriptedServer::readRequest(int fd, SSL* ssl, int deadlineMs) {
  std::string data;
  char buffer[4096];
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(deadlineMs);
  while (!requestComplete(data) && std::chrono::steady_clock::now() < deadline) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stopping_) break;
    }
    if (ssl == nullptr || SSL_pending(ssl) == 0) {
      pollfd p{fd, POLLIN, 0};
      int ready = ::poll(&p, 1, pollSliceMs);
      if (ready < 0 && errno != EINTR) break;
      if (ready <= 0) continue;
    }
    ssize_t n = ssl ? SSL_read(ssl, buffer, sizeof buffer) : ::recv(fd, buffer, sizeof buffer, 0);
    if (n < 0 && errno == EINTR && ssl == nullptr) continue;
    if (n <= 0) break;  // the client closed (or failed) before the request was whole
    data.append(buffer, static_cast<std::size_t>(n));
  }
  return data;
}

// Whether the connection stays open for another request after the reply,
// as an HTTP/1.1 server keeps it: a whole answer with a length, and no
// "Connection: close".
bool keepsConnection(const Reply& reply) {
  if (reply.action != Reply::Action::Answer || reply.sendLimit != std::string::npos) return false;
  std::size_t headEnd = reply.bytes.find("\r\n\r\n");
  if (headEnd == std::string::npos) return false;
  std::string head = reply.bytes.substr(0, headEnd + 2);
  // HTTP/1.1 keeps unless told to close; HTTP/1.0 only when told to keep.
  const std::string connection = lowerCase(headerIn(head, "Connection"));
  if (reply.bytes.rfind("HTTP/1.1 ", 0) == 0 ? connection == "close"
                                             : reply.bytes.rfind("HTTP/1.0 ", 0) != 0 || connection != "keep-alive")
    return false;
  bool chunked = lowerCase(headerIn(head, "Transfer-Encoding")).find("chunked") != std::string::npos;
  if (!chunked && headerIn(head, "Content-Length").empty()) return false;
  // A reply holding more than one answer is a connection's whole script.
  std::size_t bodyStart = headEnd + 4;
  if (chunked) return reply.bytes.find("0\r\n\r\n", bodyStart) + 5 == reply.bytes.size();
  const std::string length = headerIn(head, "Content-Length");
  if (length.size() > 18 || length.find_first_not_of("0123456789") != std::string::npos) return false;
  return reply.bytes.size() - bodyStart == std::stoull(length);
}

void ScriptedServer::serve(int fd) {
  SSL* ssl = nullptr;
  if (tls_ != nullptr) {
    // A handshake that never completes is given up, not waited for.
    timeval limit{5, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    ssl = SSL_new(tls_);
    if (ssl == nullptr || SSL_set_fd(ssl, fd) != 1 || SSL_accept(ssl) != 1) {
      SSL_free(ssl);
      ::close(fd);
      return;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    resumed_ += SSL_session_reused(ssl) == 1;
  }
  auto send = [&](const std::string& bytes) {
    if (ssl == nullptr) return sendAll(fd, bytes);
    for (size_t at = 0; at < bytes.size();) {
      int n = SSL_write(ssl, bytes.data() + at, static_cast<int>(bytes.size() - at));
      if (n <= 0) return;
      at += static_cast<size_t>(n);
    }
  };
  int idleMs = 0;
  std::string idleBytes;
  for (bool first = true;; first = false) {
    std::string request = readRequest(fd, ssl, first ? requestDeadlineMs : idleMs > 0 ? idleMs : keptConnectionMs);
    // A kept connection the client lets go of, or leaves idle.
    if (request.empty() && !first) {
      if (!idleBytes.empty()) send(idleBytes);
      break;
    }
    Reply reply = nextReply();
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.push_back(std::move(request));
    }
    if (reply.delayMs > 0 && waitForStop(reply.delayMs)) break;
    switch (reply.action) {
      case Reply::Action::Answer:
        send(reply.bytes.substr(0, reply.sendLimit));
        // Apart from the answer, as a centre that writes a last line end late.
        if (!reply.strayBytes.empty() && !waitForStop(20)) send(reply.strayBytes);
        break;
      case Reply::Action::CloseWithoutAnswer: break;
      case Reply::Action::HoldOpen: waitForStop(reply.holdMs); break;
    }
    if (!keepsConnection(reply)) break;
    idleMs = reply.idleMs;
    idleBytes = reply.idleBytes;
  }
  if (ssl != nullptr) SSL_shutdown(ssl);
  SSL_free(ssl);
  ::shutdown(fd, SHUT_RDWR);
  ::close(fd);
}

std::string refusedUrl() {
  // A port bound without listening, and kept bound for the life of the
  // process: connecting to it is refused, and no other program can take it
  // meanwhile, whatever else runs on the machine.
  static const int port = [] {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
      if (fd >= 0) ::close(fd);
      throw std::runtime_error("refusedUrl: cannot bind a loopback port");
    }
    return static_cast<int>(ntohs(addr.sin_port));
  }();
  return "http://127.0.0.1:" + std::to_string(port) + "/clinic/webservice/inpatientRedeem";
}

}  // namespace nvtest
