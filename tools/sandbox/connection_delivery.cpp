// SPDX-License-Identifier: MIT
// How an answer goes out: the runtime's output is held back whole, then
// sent at once or as an armed fault says.
#include <algorithm>
#include <cctype>
#include <mutex>

#include "tools/sandbox/connection.h"

namespace sandbox {
namespace {

constexpr std::string_view kContinue = "HTTP/1.1 100 Continue";
constexpr int kStepMs = 100;  // how often a held answer looks at the stop request

int holdBack(struct soap* soap, const char* bytes, size_t length) {
  Connection& connection = connectionOf(soap);
  // An interim "100 Continue" is what the client waits for to send its body.
  if (connection.answer.empty() && std::string_view(bytes, length).substr(0, kContinue.size()) == kContinue)
    return connection.sendBytes(soap, bytes, length);
  connection.answer.append(bytes, length);
  return SOAP_OK;
}

size_t readThrough(struct soap* soap, char* buffer, size_t length) {
  Connection& connection = connectionOf(soap);
  size_t got = connection.receiveBytes(soap, buffer, length);
  connection.received.append(buffer, got);
  return got;
}

int onDisconnect(struct soap* soap) {
  deliverAnswer(soap);
  return SOAP_OK;
}

int closeRegistered(struct soap* soap) {
  Connection& connection = connectionOf(soap);
  {
    std::lock_guard<Mutex> hold(connection.server.connectionsLock);
    connection.server.openSockets.erase(soap->socket);
  }
  return connection.closeSocket(soap);
}

// Sends bytes; false when the client is gone.
bool send(struct soap* soap, std::string_view bytes) {
  Connection& connection = connectionOf(soap);
  if (bytes.empty()) return true;
  if (connection.sendBytes(soap, bytes.data(), bytes.size()) != SOAP_OK) return false;
  connection.sent.append(bytes);
  return true;
}

// Waits, a step at a time; false when a stop was asked for meanwhile.
bool waitUnlessStopped(int milliseconds) {
  for (int waited = 0; waited < milliseconds; waited += kStepMs) {
    if (stopRequested()) return false;
    sleepMilliseconds(std::min(kStepMs, milliseconds - waited));
  }
  return !stopRequested();
}

// The answer with its body cut inside an element, its Content-Length
// telling the cut length, so the client reads all of it and finds the XML
// broken.
std::string malformed(const std::string& answer) {
  size_t bodyAt = answer.find("\r\n\r\n");
  if (bodyAt == std::string::npos) return answer.substr(0, answer.size() / 2);
  bodyAt += 4;
  std::string body = answer.substr(bodyAt);
  size_t cut = body.find('>', body.size() / 2);
  body = body.substr(0, cut == std::string::npos ? body.size() / 2 : cut) + "<";
  std::string header = answer.substr(0, bodyAt);
  std::string lowered = header;
  std::transform(lowered.begin(), lowered.end(), lowered.begin(), [](unsigned char c) { return std::tolower(c); });
  size_t length = lowered.find("\r\ncontent-length:");
  if (length != std::string::npos) {
    size_t valueAt = length + 17;
    size_t valueEnd = header.find("\r\n", valueAt);
    header.replace(valueAt, valueEnd - valueAt, " " + std::to_string(body.size()));
  }
  return header + body;
}

std::string trickle(struct soap* soap, const std::string& answer, int bytesPerSecond) {
  Connection& connection = connectionOf(soap);
  size_t done = 0;
  auto began = std::chrono::steady_clock::now();
  while (done < answer.size()) {
    if (!waitUnlessStopped(kStepMs))
      return "the sandbox stopped after " + std::to_string(done) + " bytes of the answer";
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - began).count();
    size_t due = std::min(answer.size(), static_cast<size_t>(ms * bytesPerSecond / 1000));
    if (due <= done) continue;
    if (!send(soap, std::string_view(answer).substr(done, due - done)))
      return "the client hung up after " + std::to_string(done) + " bytes of the trickled answer";
    done = due;
    connection.server.journal.updateDelivery(connection.journalId, "trickling: " + std::to_string(done) + " of " +
                                                                       std::to_string(answer.size()) + " bytes sent");
  }
  return "trickled at " + std::to_string(bytesPerSecond) + " bytes/s";
}

}  // namespace

void attachConnection(struct soap* soap, Connection& connection) {
  soap->user = &connection;
  connection.sendBytes = soap->fsend;
  connection.receiveBytes = soap->frecv;
  connection.closeSocket = soap->fclose;
  soap->fsend = holdBack;
  soap->frecv = readThrough;
  soap->fdisconnect = onDisconnect;
  soap->fclose = closeRegistered;
}

int64_t elapsedMs(const Connection& connection) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - connection.start)
      .count();
}

void deliverAnswer(struct soap* soap) {
  Connection& connection = connectionOf(soap);
  if (connection.delivered || !soap_valid_socket(soap->socket)) return;
  connection.delivered = true;
  const std::string& answer = connection.answer;
  if (!connection.held) {
    connection.delivery = send(soap, answer) ? "answered" : "the client hung up before the answer";
    return;
  }
  const FaultSpec& fault = *connection.held;
  switch (fault.kind) {
    case FaultKind::Fault:  // answered by the exchange itself
      connection.delivery = send(soap, answer) ? "answered" : "the client hung up before the answer";
      return;
    case FaultKind::Wait:
      if (!waitUnlessStopped(fault.seconds * 1000)) {
        connection.delivery = "the sandbox stopped before answering";
        return;
      }
      connection.delivery = send(soap, answer) ? "answered after " + std::to_string(fault.seconds) + " s"
                                               : "the client hung up before the late answer";
      return;
    case FaultKind::Close: connection.delivery = "closed without answering"; return;
    case FaultKind::Malformed:
      connection.delivery =
          send(soap, malformed(answer)) ? "answered with a malformed body" : "the client hung up before the answer";
      return;
    case FaultKind::Trickle: connection.delivery = trickle(soap, answer, fault.bytesPerSecond); return;
  }
}

}  // namespace sandbox
