// SPDX-License-Identifier: MIT
// A loopback HTTP server that answers each connection as the test scripted
// it, standing in for the centre's server.
//
//   nvtest::ScriptedServer server;
//   server.enqueue(nvtest::Reply::soap("cliSeek", "<return>eA==</return>"));
//   ... call server.url() ...
//   server.requests()   // the raw bytes of every request received
//
// Each request received (headers, then exactly Content-Length body bytes)
// takes the next reply of the script, which answers, waits, closes or holds
// the connection as it says. After a whole HTTP/1.1 answer with a length and
// without "Connection: close" the connection stays open for the next request,
// as a centre's keep-alive does. With the script
// empty it answers HTTP 500 with a SOAP fault saying so, so a missing script
// shows in the test. Every connection is served on its own thread: any
// number of clients may call at once.
#ifndef NVTEST_SCRIPTED_SERVER_H
#define NVTEST_SCRIPTED_SERVER_H

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

struct ssl_st;
struct ssl_ctx_st;

namespace nvtest {

using Headers = std::vector<std::pair<std::string, std::string>>;

// What the server does with one connection once it has read the request.
struct Reply {
  enum class Action {
    Answer,              // send `bytes` (after `delayMs`), then close
    CloseWithoutAnswer,  // close at once (after `delayMs`), sending nothing
    HoldOpen,            // send nothing and keep the connection open for
                         // `holdMs`, or until the server stops when < 0
  };

  std::string bytes;
  Action action = Action::Answer;
  int delayMs = 0;
  int holdMs = -1;
  std::size_t sendLimit = std::string::npos;  // send only this many bytes
  // On a kept connection, after the answer: bytes sent 20 ms after it,
  // and what the server does when no request follows within idleMs (0:
  // waits as long as a kept connection lasts): sends idleBytes, then closes
  // (over TLS with a close-notify).
  std::string strayBytes;
  int idleMs = 0;
  std::string idleBytes;

  // HTTP 200 with a SOAP 1.1 envelope whose Body holds
  // <ns1:{op}Response xmlns:ns1="{service namespace}">{membersXml}</...>.
  static Reply soap(const std::string& op, const std::string& membersXml);
  // A SOAP 1.1 fault; faultcode is written as given (prefix "soap" is bound
  // to the SOAP 1.1 envelope namespace), faultstring is escaped.
  static Reply fault(const std::string& faultcode, const std::string& faultstring, int status = 500);
  // Any XML document as an HTTP response with Content-Length.
  static Reply xml(const std::string& document, int status = 200,
                   const std::string& contentType = "text/xml; charset=utf-8");
  // Status line, the given headers, Content-Length (unless given) and body.
  static Reply http(int status, const Headers& headers, const std::string& body);
  // Exactly these bytes, nothing added.
  static Reply raw(std::string bytes);
  static Reply closeWithoutAnswer();
  static Reply neverAnswer(int holdMs = -1);

  Reply delayedBy(int ms) const;
  // The same answer saying "Connection: keep-alive" instead of "close": the
  // server then keeps the connection for the next request.
  Reply keptAlive() const;
  Reply truncatedTo(std::size_t byteCount) const;  // then close
  // Kept alive, then the connection closes when idle for ms, after sending
  // `bytes` (a 408 Request Timeout, say).
  Reply closedWhenIdleFor(int ms, std::string bytes = "") const;
  // Kept alive, with `bytes` sent 20 ms after the answer.
  Reply followedBy(std::string bytes) const;
};

// Envelopes for scripting replies by hand. The envelope prefix is "soap".
std::string soap11Envelope(const std::string& bodyContent);
std::string soap12Envelope(const std::string& bodyContent);
// "&", "<", ">" and '"' as character references.
std::string xmlEscape(const std::string& text);

class ScriptedServer {
 public:
  // Binds 127.0.0.1 on an ephemeral port and starts serving; with a PEM
  // file (certificate, then key) it serves HTTPS, resuming TLS sessions.
  explicit ScriptedServer(const std::string& tlsPem = "");
  ~ScriptedServer();  // stops, releasing held connections, and joins
  ScriptedServer(const ScriptedServer&) = delete;
  ScriptedServer& operator=(const ScriptedServer&) = delete;

  int port() const { return port_; }
  // "http://127.0.0.1:<port>/clinic/webservice/inpatientRedeem", or
  // "https://localhost:<port>/..." over TLS
  std::string url() const;
  // TLS handshakes that resumed an earlier session.
  std::size_t resumedSessions() const;

  void enqueue(Reply reply);
  // The reply to every request once the script is empty, instead of the
  // fault that says nothing was scripted.
  void answerAlways(Reply reply);
  // The raw bytes of each request, in the order their reading ended.
  std::vector<std::string> requests() const;
  // Connections accepted so far (a connection may send no request).
  std::size_t connectionCount() const;

 private:
  void acceptLoop();
  void serve(int fd);
  Reply nextReply();
  std::string readRequest(int fd, ssl_st* ssl, int deadlineMs);
  bool waitForStop(int ms);  // true when the server stops first

  ssl_ctx_st* tls_ = nullptr;
  std::size_t resumed_ = 0;
  int listenFd_ = -1;
  int port_ = 0;
  mutable std::mutex mutex_;
  std::condition_variable stopSignal_;
  bool stopping_ = false;
  std::deque<Reply> script_;
  std::unique_ptr<Reply> standing_;
  std::vector<std::string> requests_;
  std::size_t connections_ = 0;
  std::vector<std::thread> workers_;
  std::thread acceptor_;
};

// True once `data` holds a whole request: headers, then the body announced
// by Content-Length (or a complete chunked body).
bool requestComplete(const std::string& data);
// Sends all of bytes, or as much as the peer takes before it goes away.
void sendAll(int fd, const std::string& bytes);

// A URL on a loopback port where nothing listens.
std::string refusedUrl();

}  // namespace nvtest

#endif
