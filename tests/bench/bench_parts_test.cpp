// SPDX-License-Identifier: MIT
// The benchmark's own machinery: the answering server with its connections
// closed or kept, the floors that talk to it, and the readers of strace and
// callgrind output. A fault here would make a benchmark figure lie.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "bench/answering_server.h"
#include "bench/call_counts.h"
#include "bench/canned_responses.h"
#include "bench/floor_client.h"

namespace nvbench {
namespace {

const std::string kRequest = "POST /clinic HTTP/1.1\r\nHost: x\r\ncontent-length: 5\r\n\r\nhello";

// The server counts an answer once it is written, which the client may see first.
bool eventually(const std::function<bool()>& condition) {
  for (int i = 0; i < 200; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return condition();
}

struct ConnectionCase {
  const char* name;
  Connections connections;
  bool keptClient;
  std::chrono::microseconds delay;
  size_t acceptedAfterThree;
};

// clang-format off
const ConnectionCase kConnectionCases[] = {
  {"closing server, a connection a call",     Connections::closed, false, {},                             3},
  {"keeping server, one kept client",         Connections::kept,   true,  {},                             1},
  {"keeping server, clients that close",      Connections::kept,   false, {},                             3},
  {"keeping server that delays, kept client", Connections::kept,   true,  std::chrono::microseconds{2000}, 1},
};
// clang-format on

TEST(BenchServer, CountsTheConnectionsEachKindOfClientOpens) {
  for (const ConnectionCase& c : kConnectionCases) {
    SCOPED_TRACE(c.name);
    std::string response = personInfoResponse();
    if (c.connections == Connections::kept) response = keptAlive(response);
    AnsweringServer server(response, c.delay, c.connections);
    {
      KeptFloor kept(server.port());
      for (int call = 0; call < 3; ++call) {
        Received answer = c.keptClient ? kept.exchange(kRequest) : floorExchange(server.port(), kRequest);
        EXPECT_EQ(answer.view(), response);
      }
    }
    // The kept client above opened one connection of its own, used only here.
    const size_t opened = c.acceptedAfterThree + (c.keptClient ? 0 : 1);
    EXPECT_TRUE(eventually([&] { return server.answered() == 3; })) << server.answered();
    EXPECT_EQ(server.accepted(), opened);
    EXPECT_EQ(server.firstRequest(), kRequest);
    // A kept connection that its client closes between requests is no broken one;
    // the idle kept client of a closing-client case is (it never sent a request).
    const size_t idle = c.keptClient ? 0 : 1;
    EXPECT_TRUE(eventually([&] { return server.broken() == idle; })) << server.broken();
  }
}

TEST(BenchServer, AnswersRequestsThatArriveTogetherOnAKeptConnection) {
  const std::string response = keptAlive(personInfoResponse());
  AnsweringServer server(response, {}, Connections::kept);
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(server.port()));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  const std::string both = kRequest + kRequest;
  ASSERT_EQ(send(fd, both.data(), both.size(), 0), static_cast<ssize_t>(both.size()));
  std::string received;
  char chunk[4096];
  while (received.size() < 2 * response.size()) {
    ssize_t n = recv(fd, chunk, sizeof chunk, 0);
    if (n <= 0) break;
    received.append(chunk, static_cast<size_t>(n));
  }
  close(fd);
  EXPECT_EQ(received, response + response);
  EXPECT_EQ(server.accepted(), 1u);
}

TEST(BenchFloor, AKeptFloorFailsWhenTheServerClosesItsConnection) {
  AnsweringServer server(personInfoResponse());  // closes after each answer
  KeptFloor floor(server.port());
  EXPECT_EQ(floor.exchange(kRequest).view(), server.response());
  EXPECT_THROW(floor.exchange(kRequest), std::runtime_error);
}

TEST(BenchResponses, KeptAliveChangesOnlyTheConnectionHeader) {
  const std::string closing = personInfoResponse();
  const std::string kept = keptAlive(closing);
  EXPECT_EQ(kept.find("Connection: close"), std::string::npos);
  EXPECT_NE(kept.find("\r\nConnection: keep-alive\r\n"), std::string::npos);
  EXPECT_EQ(httpBody(kept), httpBody(closing));
  EXPECT_EQ(kept.size(), closing.size() + std::string("keep-alive").size() - std::string("close").size());
  EXPECT_THROW(keptAlive(kept), std::invalid_argument);
}

// What `strace -c` writes: the errors column is empty for most rows.
const char kStraceMany[] =
    "% time     seconds  usecs/call     calls    errors syscall\n"
    "------ ----------- ----------- --------- --------- ----------------\n"
    " 40.00    0.000400           1       330           poll\n"
    " 30.00    0.000300           1       210           sendto\n"
    " 20.00    0.000200           1       210        10 recvfrom\n"
    " 10.00    0.000100          50         2           execve\n"
    "------ ----------- ----------- --------- --------- ----------------\n"
    "100.00    0.001000           1       752        10 total\n";
const char kStraceFew[] =
    "% time     seconds  usecs/call     calls    errors syscall\n"
    "------ ----------- ----------- --------- --------- ----------------\n"
    " 50.00    0.000100           1        30           poll\n"
    " 25.00    0.000050           1        10           sendto\n"
    " 25.00    0.000050           1        10        10 recvfrom\n"
    "  0.00    0.000000           0         2           execve\n"
    "  0.00    0.000000           0         1           exit_group\n"
    "------ ----------- ----------- --------- --------- ----------------\n"
    "100.00    0.000200           1        53        10 total\n";

TEST(BenchCounts, SystemCallsPerCallAreTheDifferenceOfTwoRuns) {
  SyscallCounts many = parseStraceSummary(kStraceMany), few = parseStraceSummary(kStraceFew);
  EXPECT_EQ(many, (SyscallCounts{{"execve", 2}, {"poll", 330}, {"recvfrom", 210}, {"sendto", 210}}));
  SyscallCounts each = perCall(many, few, 200);
  EXPECT_EQ(each,
            (SyscallCounts{{"execve", 0}, {"exit_group", -0.005}, {"poll", 1.5}, {"recvfrom", 1}, {"sendto", 1}}));
  EXPECT_THROW(parseStraceSummary("strace: exec: No such file or directory\n"), std::runtime_error);
}

TEST(BenchCounts, InstructionsComeFromTheTotalsOrTheSummary) {
  EXPECT_EQ(callgrindInstructions("version: 1\nevents: Ir\nfn=main\n3 5\ntotals: 123456\n"), 123456);
  EXPECT_EQ(callgrindInstructions("events: Ir\nsummary: 987 12\nfn=x\n"), 987);
  EXPECT_THROW(callgrindInstructions("events: Ir\nfn=main\n"), std::runtime_error);
}

}  // namespace
}  // namespace nvbench
