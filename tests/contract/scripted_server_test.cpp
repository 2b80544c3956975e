// SPDX-License-Identifier: MIT
// The scripted server every later test relies on: it must answer exactly as
// scripted, record exactly what it received, and serve concurrent clients.
#include "tests/contract/client_context.h"
#include "tests/support/scripted_server.h"
#include "tests/support/soap_message.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <memory>
#include <thread>

namespace {

using nvcontract::ClientContext;
using nvtest::Reply;
using nvtest::ScriptedServer;
using Clock = std::chrono::steady_clock;

int connectTo(int port) {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<uint16_t>(port));
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    int err = errno;
    ::close(fd);
    return -err;
  }
  return fd;
}

// Sends `request` on a fresh connection and reads until the server closes.
std::string exchange(int port, const std::string& request) {
  int fd = connectTo(port);
  if (fd < 0) return "(connect failed)";
  ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
  std::string received;
  char buffer[4096];
  ssize_t n;
  while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0) received.append(buffer, static_cast<std::size_t>(n));
  ::close(fd);
  return received;
}

const std::string postWithBody = "POST /x HTTP/1.1\r\nHost: h\r\nContent-Length: 5\r\n\r\nhello";

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

TEST(ScriptedServer, ListensOnLoopbackAndNamesTheServicePath) {
  ScriptedServer server;
  EXPECT_GT(server.port(), 0);
  EXPECT_EQ("http://127.0.0.1:" + std::to_string(server.port()) + "/clinic/webservice/inpatientRedeem", server.url());
}

TEST(ScriptedServer, RecordsTheRequestUpToItsContentLength) {
  ScriptedServer server;
  // The answer closes, so the client reads to the end at once.
  server.enqueue(Reply::raw("HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok"));
  server.enqueue(Reply::raw("second"));
  EXPECT_EQ("HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok",
            exchange(server.port(), postWithBody));
  EXPECT_EQ("second", exchange(server.port(), "GET / HTTP/1.1\r\nHost: h\r\n\r\n"));
  std::vector<std::string> requests = server.requests();
  ASSERT_EQ(2u, requests.size());
  EXPECT_EQ(postWithBody, requests[0]);
  EXPECT_EQ("GET / HTTP/1.1\r\nHost: h\r\n\r\n", requests[1]);
  EXPECT_EQ(2u, server.connectionCount());
}

TEST(ScriptedServer, BuildsHttpRepliesWithTheirLength) {
  Reply reply = Reply::http(404, {{"X-Test", "1"}}, "body");
  EXPECT_EQ("HTTP/1.1 404 Not Found\r\nX-Test: 1\r\nContent-Length: 4\r\nConnection: close\r\n\r\nbody", reply.bytes);
  Reply soap = Reply::soap("cliSeek", "<return>YQ==</return>");
  std::string body = nvtest::requestBody(soap.bytes);
  EXPECT_EQ(std::to_string(body.size()), nvtest::headerValue(soap.bytes, "Content-Length"));
  EXPECT_EQ(0u, soap.bytes.rfind("HTTP/1.1 200 OK\r\n", 0));
  EXPECT_NE(std::string::npos, body.find("<ns1:cliSeekResponse xmlns:ns1=\"" + nvtest::serviceNamespace() +
                                         "\"><return>YQ==</return></ns1:cliSeekResponse>"));
}

TEST(ScriptedServer, SendsOnlyTheFirstBytesWhenTruncated) {
  ScriptedServer server;
  server.enqueue(Reply::raw("0123456789").truncatedTo(4));
  EXPECT_EQ("0123", exchange(server.port(), postWithBody));
}

TEST(ScriptedServer, ClosesWithoutAnswerAfterReadingTheRequest) {
  ScriptedServer server;
  server.enqueue(Reply::closeWithoutAnswer());
  EXPECT_EQ("", exchange(server.port(), postWithBody));
  ASSERT_EQ(1u, server.requests().size());
  EXPECT_EQ(postWithBody, server.requests()[0]);
}

TEST(ScriptedServer, DelaysItsAnswer) {
  ScriptedServer server;
  server.enqueue(Reply::raw("late").delayedBy(300));
  auto start = Clock::now();
  EXPECT_EQ("late", exchange(server.port(), postWithBody));
  EXPECT_GE(secondsSince(start), 0.3);
}

TEST(ScriptedServer, HoldsTheConnectionForTheGivenTime) {
  ScriptedServer server;
  server.enqueue(Reply::neverAnswer(300));
  auto start = Clock::now();
  EXPECT_EQ("", exchange(server.port(), postWithBody));
  EXPECT_GE(secondsSince(start), 0.3);
}

TEST(ScriptedServer, StopsPromptlyWhileHoldingAConnection) {
  auto server = std::make_unique<ScriptedServer>();
  server->enqueue(Reply::neverAnswer());
  int fd = connectTo(server->port());
  ASSERT_GE(fd, 0);
  ::send(fd, postWithBody.data(), postWithBody.size(), MSG_NOSIGNAL);
  while (server->requests().empty()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  auto start = Clock::now();
  server.reset();
  EXPECT_LT(secondsSince(start), 2.0);
  char c;
  EXPECT_EQ(0, ::recv(fd, &c, 1, 0));  // closed, nothing sent
  ::close(fd);
}

TEST(ScriptedServer, AnswersAnUnscriptedRequestWithAFaultSayingSo) {
  ScriptedServer server;
  ClientContext client;
  ns1__cliSeek request;
  ns1__cliSeekResponse response;
  EXPECT_EQ(SOAP_FAULT, soap_call___ns1__cliSeek(client.get(), server.url().c_str(), nullptr, &request, response));
  ASSERT_NE(nullptr, client.get()->fault);
  ASSERT_NE(nullptr, client.get()->fault->faultstring);
  EXPECT_NE(std::string::npos, std::string(client.get()->fault->faultstring).find("no reply was scripted"));
  EXPECT_EQ(500, client.get()->status);
}

TEST(ScriptedServer, AnswersEightConcurrentClients) {
  const int clients = 8;
  ScriptedServer server;
  for (int i = 0; i < clients; ++i) server.enqueue(Reply::soap("cliSeek", "<return>b2s=</return>").delayedBy(100));
  std::atomic<int> succeeded{0};
  std::vector<std::thread> threads;
  for (int i = 0; i < clients; ++i) {
    threads.emplace_back([&server, &succeeded, i] {
      ClientContext client;
      std::string memberNo = nvtest::base64Encode("client " + std::to_string(i));
      ns1__cliSeek request;
      request.memberNo = &memberNo;
      ns1__cliSeekResponse response;
      if (soap_call___ns1__cliSeek(client.get(), server.url().c_str(), nullptr, &request, response) == SOAP_OK &&
          response.return_ && *response.return_ == "b2s=")
        ++succeeded;
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(clients, succeeded.load());
  std::vector<std::string> requests = server.requests();
  ASSERT_EQ(static_cast<std::size_t>(clients), requests.size());
  std::vector<std::string> seen;
  for (const std::string& raw : requests)
    seen.push_back(nvtest::base64Decode(nvtest::wrapperMembers(nvtest::requestBody(raw)).at(0).second));
  std::sort(seen.begin(), seen.end());
  for (int i = 0; i < clients; ++i) EXPECT_EQ("client " + std::to_string(i), seen[static_cast<std::size_t>(i)]);
}

TEST(RefusedUrl, NamesALoopbackPortThatRefuses) {
  std::string url = nvtest::refusedUrl();
  ASSERT_EQ(0u, url.rfind("http://127.0.0.1:", 0));
  int port = std::stoi(url.substr(std::string("http://127.0.0.1:").size()));
  EXPECT_EQ(-ECONNREFUSED, connectTo(port));
}

TEST(SoapMessage, SplitsARequestIntoItsParts) {
  const std::string raw =
      "POST /p HTTP/1.1\r\nHost: h\r\ncontent-length: 10\r\n\r\n"
      "<?xml version=\"1.0\"?>\n<e:Envelope xmlns:e=\"u\"><e:Body><ns1:op><a>x</a><b/><c></c>"
      "<ns2:d>y</ns2:d></ns1:op></e:Body></e:Envelope>";
  EXPECT_EQ("POST /p HTTP/1.1\r\nHost: h\r\ncontent-length: 10", nvtest::requestHead(raw));
  EXPECT_EQ("10", nvtest::headerValue(raw, "Content-Length"));
  EXPECT_EQ("", nvtest::headerValue(raw, "SOAPAction"));
  std::string body = nvtest::requestBody(raw);
  EXPECT_EQ("op", nvtest::wrapperName(body));
  nvtest::Members expected = {{"a", "x"}, {"b", ""}, {"c", ""}, {"ns2:d", "y"}};
  EXPECT_EQ(expected, nvtest::wrapperMembers(body));
}

TEST(SoapMessage, Base64RoundTrips) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},        {"f", "Zg=="},        {"fo", "Zm8="},
      {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {std::string("\xD5\xC5\xC8\xFD", 4), "1cXI/Q=="}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.second, nvtest::base64Encode(c.first));
    EXPECT_EQ(c.first, nvtest::base64Decode(c.second));
  }
}

}  // namespace
