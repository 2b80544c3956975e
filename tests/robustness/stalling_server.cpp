// SPDX-License-Identifier: MIT
#include "tests/robustness/stalling_server.h"

#include "tests/support/loopback_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <openssl/ssl.h>

#include <algorithm>
#include <stdexcept>

namespace nvtest {
namespace {
constexpr int kSliceMs = 20;

// Waits in short slices so that a stop is noticed; false once stopping.
bool readable(int fd, const std::atomic<bool>& stopping) {
  while (!stopping) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, kSliceMs) > 0) return true;
  }
  return false;
}
}  // namespace

StallingServer::StallingServer(std::string sentBeforeSilence, Pace sending, Pace reading, std::string tlsPem,
                               bool atOnce)
    : bytes_(std::move(sentBeforeSilence)),
      sending_(sending),
      reading_(reading),
      tlsPem_(std::move(tlsPem)),
      atOnce_(atOnce) {
  // A slow reader with a small window, so the client's sending stalls soon.
  LoopbackSocket listener = listenOnLoopback("stalling server", 4, reading_.bytes > 0 ? 4096 : 0);
  listenFd_ = listener.fd;
  port_ = listener.port;
  thread_ = std::thread([this] { serve(); });
}

StallingServer::~StallingServer() {
  stopping_ = true;
  thread_.join();
  ::close(listenFd_);
}

std::string StallingServer::url() const {
  return (tlsPem_.empty() ? "http://127.0.0.1:" : "https://localhost:") + std::to_string(port_) +
         "/clinic/webservice/inpatientRedeem";
}

std::string StallingServer::serverName() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return serverName_;
}

std::string StallingServer::requestLine() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requestLine_;
}

void StallingServer::serve() {
  if (!readable(listenFd_, stopping_)) return;
  int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
  if (fd < 0) return;
  if (!tlsPem_.empty()) return serveTls(fd);
  if (atOnce_) {
    sendPaced(fd, bytes_);
    while (!stopping_) ::poll(nullptr, 0, kSliceMs);
    ::close(fd);
    return;
  }
  // The request ends with the envelope's closing tag.
  std::string request;
  char buffer[4096];
  size_t readStep = reading_.bytes > 0 ? std::min(reading_.bytes, sizeof buffer) : sizeof buffer;
  while (request.find("Envelope>") == std::string::npos && readable(fd, stopping_)) {
    ssize_t n = ::recv(fd, buffer, readStep, 0);
    if (n <= 0) break;
    request.append(buffer, static_cast<size_t>(n));
    if (reading_.bytes > 0 && !pause(reading_.everyMs)) break;
  }
  sendPaced(fd, bytes_);
  while (!stopping_) ::poll(nullptr, 0, kSliceMs);
  ::close(fd);
}

void StallingServer::sendPaced(int fd, const std::string& bytes) {
  size_t sendStep = sending_.bytes > 0 ? sending_.bytes : bytes.size();
  for (size_t at = 0; at < bytes.size() && !stopping_; at += sendStep) {
    if (::send(fd, bytes.data() + at, std::min(sendStep, bytes.size() - at), MSG_NOSIGNAL) < 0) break;
    if (sending_.bytes > 0 && !pause(sending_.everyMs)) break;
  }
}

// The handshake and the request in TLS; then the answer's TLS records are
// made in memory and their raw bytes sent at the sending pace.
void StallingServer::serveTls(int fd) {
  SSL_CTX* ctx = SSL_CTX_new(TLS_server_method());
  SSL* ssl = nullptr;
  if (ctx != nullptr && SSL_CTX_use_certificate_chain_file(ctx, tlsPem_.c_str()) == 1 &&
      SSL_CTX_use_PrivateKey_file(ctx, tlsPem_.c_str(), SSL_FILETYPE_PEM) == 1 && (ssl = SSL_new(ctx)) != nullptr &&
      SSL_set_fd(ssl, fd) == 1 && SSL_accept(ssl) == 1) {
    std::string request;
    char buffer[4096];
    while (request.find("Envelope>") == std::string::npos && (SSL_pending(ssl) > 0 || readable(fd, stopping_))) {
      int n = SSL_read(ssl, buffer, sizeof buffer);
      if (n <= 0) break;
      request.append(buffer, static_cast<size_t>(n));
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      const char* name = SSL_get_servername(ssl, TLSEXT_NAMETYPE_host_name);
      serverName_ = name ? name : "";
      requestLine_ = request.substr(0, request.find("\r\n"));
    }
    BIO* records = BIO_new(BIO_s_mem());
    SSL_set0_wbio(ssl, records);
    if (!bytes_.empty()) SSL_write(ssl, bytes_.data(), static_cast<int>(bytes_.size()));
    char* raw = nullptr;
    long size = BIO_get_mem_data(records, &raw);
    sendPaced(fd, std::string(raw, static_cast<size_t>(size > 0 ? size : 0)));
  }
  while (!stopping_) ::poll(nullptr, 0, kSliceMs);
  SSL_free(ssl);
  SSL_CTX_free(ctx);
  ::close(fd);
}

bool StallingServer::pause(int ms) {
  for (int waited = 0; waited < ms && !stopping_; waited += kSliceMs)
    ::poll(nullptr, 0, std::min(kSliceMs, ms - waited));
  return !stopping_;
}

}  // namespace nvtest
