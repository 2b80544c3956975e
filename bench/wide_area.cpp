// SPDX-License-Identifier: MIT
// The wide-area scenario: calls to a centre across an emulated link with a
// round trip of 30 ms (each direction delayed by half; a new connection is
// held one round trip before anything crosses it, as a TCP handshake is).
// Prints, per scenario and with connection reuse on and off, the round trips
// each call cost and the connections opened:
//   30 getPersonInfo back to back over HTTP, TLS 1.2 and TLS 1.3;
//   300 inpDetailInput back to back over TLS 1.2 (a discharge's fee lines).
//
//   wide_area_bench [--library SO] [--rtt-ms N] [--calls N] [--lines N] [--strict]
//
// --strict: exit with 1 when a call with reuse on costs more than 1.15 round
// trips.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <openssl/ssl.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench/library_handle.h"
#include "tests/support/test_certificates.h"

namespace {

using Clock = std::chrono::steady_clock;

int listenLoopback(int& port) {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 64) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    throw std::runtime_error("cannot listen on 127.0.0.1");
  port = ntohs(address.sin_port);
  return fd;
}

int connectLoopback(int port) {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  int on = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Accepts connections on its own thread until destroyed and hands each to
// `serve` on a thread of its own.
class Acceptor {
 public:
  explicit Acceptor(std::function<void(int)> serve) : serve_(std::move(serve)) {
    fd_ = listenLoopback(port_);
    thread_ = std::thread([this] { run(); });
  }
  ~Acceptor() {
    stopping_ = true;
    thread_.join();
    for (std::thread& t : served_) t.join();
    ::close(fd_);
  }
  int port() const { return port_; }
  size_t accepted() const { return accepted_; }
  bool stopping() const { return stopping_; }

 private:
  void run() {
    while (!stopping_) {
      pollfd ready{fd_, POLLIN, 0};
      if (::poll(&ready, 1, 20) <= 0) continue;
      int client = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) continue;
      int on = 1;
      ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
      ++accepted_;
      served_.emplace_back([this, client] { serve_(client); });
    }
  }
  std::function<void(int)> serve_;
  int fd_ = -1, port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<size_t> accepted_{0};
  std::vector<std::thread> served_;
  std::thread thread_;
};

// Copies one direction of a connection, each piece delivered `delay` after
// it was read, in order.
void delayedCopy(int from, int to, std::chrono::microseconds delay, const Acceptor& owner) {
  std::mutex mutex;
  std::condition_variable arrived;
  std::deque<std::pair<Clock::time_point, std::string>> pieces;
  bool ended = false;
  std::thread sender([&] {
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
      arrived.wait(lock, [&] { return ended || !pieces.empty(); });
      if (pieces.empty()) break;
      auto [due, bytes] = std::move(pieces.front());
      pieces.pop_front();
      lock.unlock();
      std::this_thread::sleep_until(due);
      for (size_t at = 0; at < bytes.size();) {
        ssize_t n = ::send(to, bytes.data() + at, bytes.size() - at, MSG_NOSIGNAL);
        if (n <= 0) break;
        at += static_cast<size_t>(n);
      }
      lock.lock();
    }
    ::shutdown(to, SHUT_WR);
  });
  char buffer[65536];
  while (!owner.stopping()) {
    pollfd ready{from, POLLIN, 0};
    if (::poll(&ready, 1, 20) <= 0) continue;
    ssize_t n = ::recv(from, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    std::lock_guard<std::mutex> lock(mutex);
    pieces.emplace_back(Clock::now() + delay, std::string(buffer, static_cast<size_t>(n)));
    arrived.notify_one();
  }
  {
    std::lock_guard<std::mutex> lock(mutex);
    ended = true;
  }
  arrived.notify_one();
  sender.join();
}

// The emulated link in front of a server.
class Link {
 public:
  Link(int serverPort, std::chrono::microseconds roundTrip)
      : acceptor_([this, serverPort, roundTrip](int client) { relay(client, serverPort, roundTrip); }) {}
  int port() const { return acceptor_.port(); }
  size_t connections() const { return acceptor_.accepted(); }

 private:
  void relay(int client, int serverPort, std::chrono::microseconds roundTrip) {
    std::this_thread::sleep_for(roundTrip);  // the handshake's round trip
    int server = connectLoopback(serverPort);
    if (server >= 0) {
      std::thread back([&] { delayedCopy(server, client, roundTrip / 2, acceptor_); });
      delayedCopy(client, server, roundTrip / 2, acceptor_);
      back.join();
      ::close(server);
    }
    ::close(client);
  }
  Acceptor acceptor_;
};

// A centre that keeps connections alive and answers every request with the
// same bytes, over plain TCP or TLS of one version.
class KeptAliveCentre {
 public:
  KeptAliveCentre(std::string answer, const std::string& pem, int tlsVersion)
      : answer_(std::move(answer)), acceptor_([this](int fd) { serve(fd); }) {
    if (!pem.empty()) {
      tls_ = SSL_CTX_new(TLS_server_method());
      SSL_CTX_use_certificate_chain_file(tls_, pem.c_str());
      SSL_CTX_use_PrivateKey_file(tls_, pem.c_str(), SSL_FILETYPE_PEM);
      SSL_CTX_set_min_proto_version(tls_, tlsVersion);
      SSL_CTX_set_max_proto_version(tls_, tlsVersion);
    }
  }
  ~KeptAliveCentre() { SSL_CTX_free(tls_); }
  int port() const { return acceptor_.port(); }

 private:
  void serve(int fd) {
    SSL* ssl = nullptr;
    if (tls_ != nullptr) {
      ssl = SSL_new(tls_);
      SSL_set_fd(ssl, fd);
      if (SSL_accept(ssl) != 1) {
        SSL_free(ssl);
        ::close(fd);
        return;
      }
    }
    std::string data;
    char buffer[65536];
    for (;;) {
      size_t head = data.find("\r\n\r\n");
      if (head != std::string::npos) {
        size_t length = std::strtoul(data.c_str() + data.find("Content-Length: ") + 16, nullptr, 10);
        if (data.size() >= head + 4 + length) {
          data.erase(0, head + 4 + length);
          for (size_t at = 0; at < answer_.size();) {
            int n = ssl ? SSL_write(ssl, answer_.data() + at, static_cast<int>(answer_.size() - at))
                        : static_cast<int>(::send(fd, answer_.data() + at, answer_.size() - at, MSG_NOSIGNAL));
            if (n <= 0) break;
            at += static_cast<size_t>(n);
          }
          continue;
        }
      }
      if (!ssl || SSL_pending(ssl) == 0) {
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, 20) <= 0) {
          if (acceptor_.stopping()) break;
          continue;
        }
      }
      int n = ssl ? SSL_read(ssl, buffer, sizeof buffer) : static_cast<int>(::recv(fd, buffer, sizeof buffer, 0));
      if (n <= 0) break;
      data.append(buffer, static_cast<size_t>(n));
    }
    if (ssl != nullptr) SSL_shutdown(ssl);
    SSL_free(ssl);
    ::close(fd);
  }

  std::string answer_;
  SSL_CTX* tls_ = nullptr;
  Acceptor acceptor_;
};

std::string answerWith(const std::string& operation, const std::string& members) {
  std::string body =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?><soap:Envelope "
      "xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body><ns1:" +
      operation + "Response xmlns:ns1=\"http://webservice.redeem.centre.example/\">" + members + "</ns1:" + operation +
      "Response></soap:Body></soap:Envelope>";
  return "HTTP/1.1 200 OK\r\nContent-Type: text/xml; charset=utf-8\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\nConnection: keep-alive\r\n\r\n" + body;
}

void writeCentre(const std::string& url) {
  auto line = [](const char* key, const std::string& value) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < value.size(); i += 3) {
      unsigned n = static_cast<unsigned char>(value[i]) << 16;
      if (i + 1 < value.size()) n |= static_cast<unsigned char>(value[i + 1]) << 8;
      if (i + 2 < value.size()) n |= static_cast<unsigned char>(value[i + 2]);
      out += alphabet[(n >> 18) & 63];
      out += alphabet[(n >> 12) & 63];
      out += i + 1 < value.size() ? alphabet[(n >> 6) & 63] : '=';
      out += i + 2 < value.size() ? alphabet[n & 63] : '=';
    }
    return std::string(key) + "=" + out + "\n";
  };
  std::ofstream("NvConfiguration.ini") << line("f7ad02e", "341122") << line("957b527", url)
                                       << line("1c1be9c", "341122001") << line("170e2c1", "2")
                                       << line("8e44f00", "op01") << line("8e44f01", "");
}

struct Outcome {
  double roundTripsPerCall;
  size_t connections;
  int failures;
};

Outcome run(const nvbench::LibraryHandle& library, int serverPort, std::chrono::microseconds roundTrip, bool https,
            bool reuse, int calls, bool feeLines) {
  Link link(serverPort, roundTrip);
  writeCentre(std::string(https ? "https://localhost:" : "http://127.0.0.1:") + std::to_string(link.port()) +
              "/clinic/webservice/inpatientRedeem");
  std::ofstream("NvNetwork.ini") << (reuse ? "keepalive=1\n" : "keepalive=0\n");
  if (std::getenv("NV_WIDE_AREA_TRACE"))
    std::ofstream("NvTrace.ini") << "level=1\nfile=" << std::getenv("NV_WIDE_AREA_TRACE") << "\n";
  int failures = 0;
  auto start = Clock::now();
  for (int i = 0; i < calls; ++i) {
    char* result = feeLines
                       ? library.inpDetailInput("0", "30000001", "341122", "RX1", "", "HIS001", "XY0001", "01", "drug",
                                                "1g", "box", "tab", "12.5", "2", "25", "25", "2024-06-01", "", "")
                       : library.getPersonInfo("341122000123", "op01", "341122");
    failures += library.take(result).find("<out_code>000</out_code>") == std::string::npos;
  }
  double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return {seconds / calls / (static_cast<double>(roundTrip.count()) / 1e6), link.connections(), failures};
}

}  // namespace

int main(int argc, char** argv) {
  std::string libraryPath = NV_BENCH_LIBRARY;
  int rttMs = 30, calls = 30, lines = 300;
  bool strict = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--library" && i + 1 < argc)
      libraryPath = argv[++i];
    else if (arg == "--rtt-ms" && i + 1 < argc)
      rttMs = std::atoi(argv[++i]);
    else if (arg == "--calls" && i + 1 < argc)
      calls = std::atoi(argv[++i]);
    else if (arg == "--lines" && i + 1 < argc)
      lines = std::atoi(argv[++i]);
    else if (arg == "--strict")
      strict = true;
    else {
      std::fprintf(stderr, "usage: wide_area_bench [--library SO] [--rtt-ms N] [--calls N] [--lines N] [--strict]\n");
      return 2;
    }
  }
  char scratch[] = "/tmp/nv-wide-area.XXXXXX";
  if (mkdtemp(scratch) == nullptr || chdir(scratch) != 0) return 1;
  nvtest::TestCertificates certificates(scratch);
  setenv("SSL_CERT_FILE", certificates.trustedRoot.c_str(), 1);
  unsetenv("http_proxy");
  unsetenv("https_proxy");
  nvbench::LibraryHandle library(libraryPath);
  const auto roundTrip = std::chrono::microseconds(rttMs * 1000);

  const std::string person = answerWith("getPersonInfo", "<return><list><name>YQ==</name></list></return>");
  const std::string detail = answerWith("inpDetailInput", "<return>NDAwMDAwMDE=</return>");
  KeptAliveCentre http(person, "", 0), tls12(person, certificates.localhost, TLS1_2_VERSION),
      tls13(person, certificates.localhost, TLS1_3_VERSION), feeLines(detail, certificates.localhost, TLS1_2_VERSION);
  const struct {
    const char* name;
    int port;
    bool https;
    int calls;
    bool feeLines;
  } scenarios[] = {
      {"getPersonInfo over HTTP", http.port(), false, calls, false},
      {"getPersonInfo over TLS 1.2", tls12.port(), true, calls, false},
      {"getPersonInfo over TLS 1.3", tls13.port(), true, calls, false},
      {"inpDetailInput over TLS 1.2", feeLines.port(), true, lines, true},
  };
  std::printf("Emulated link: %d ms round trip\n", rttMs);
  std::printf("%-30s %6s | %-26s | %-26s\n", "scenario", "calls", "reuse on: RTT/call, conns",
              "reuse off: RTT/call, conns");
  bool missed = false;
  for (const auto& s : scenarios) {
    Outcome on = run(library, s.port, roundTrip, s.https, true, s.calls, s.feeLines);
    Outcome off = run(library, s.port, roundTrip, s.https, false, s.calls, s.feeLines);
    std::printf("%-30s %6d | %8.2f %8zu %8s | %8.2f %8zu %8s\n", s.name, s.calls, on.roundTripsPerCall, on.connections,
                on.failures ? "FAILED" : "", off.roundTripsPerCall, off.connections, off.failures ? "FAILED" : "");
    missed = missed || on.roundTripsPerCall > 1.15 || on.failures || off.failures;
  }
  std::printf("Target: at most 1.15 round trips per call with reuse on.\n");
  return strict && missed ? 1 : 0;
}
