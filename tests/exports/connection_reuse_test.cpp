// SPDX-License-Identifier: MIT
// Kept-alive connections: back-to-back calls share one, none is used past
// the idle limit or after the centre said it closes, a read is sent again
// once on a new connection when a kept one closes unanswered, a change never
// is; the pool is shared by threads, TLS sessions are kept and resumed, and
// the switch in NvNetwork.ini turns reuse off.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

#include "NvInterFace.h"
#include "client/connection_pool.h"
#include "client/library_lifetime.h"
#include "tests/support/export_cases.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/session_seams.h"
#include "tests/support/test_certificates.h"

namespace {
// Set in a forked child of these tests before it exits.
bool forkedChild = false;
}  // namespace

// A forked child leaves its parent's caches to the parent, unfreed, by
// design (its threads may hold them), and may exit with a call running: the
// sanitizer build's leak check is for the test process, not for them.
extern "C" __attribute__((visibility("default"))) int __lsan_is_turned_off() { return forkedChild ? 1 : 0; }

namespace {

using namespace nvtest;

const Reply kAnswerToRead = Reply::soap("getPersonInfo", "<return><list><name>YQ==</name></list></return>");
const Reply kAnswerToChange = Reply::soap("cliSettlement", "<return>MTIz</return>");

std::string read() { return take(getPersonInfo("341122000123", "op", Centres::kMain)); }
// A settlement: a change at the centre.
std::string change() { return take(cliSettlement("10000001", Centres::kMain)); }

std::string outCodeOf(const std::string& doc) {
  size_t at = doc.find("<out_code>");
  return at == std::string::npos ? "" : doc.substr(at + 10, 3);
}

struct Step {
  bool isChange;
  std::vector<Reply> replies;  // what the centre does with each request of the call
  std::string outCode;
  int pauseMs = 0;  // before the call
};

struct ReuseCase {
  const char* name;
  std::vector<Step> steps;
  size_t connections, requests;
  bool overTls = false;
};

// An HTTPS centre, trusted, configured as the main centre.
struct TlsCentre {
  explicit TlsCentre(const ScratchDir& dir)
      : certificates(dir.path()), trust("SSL_CERT_FILE", certificates.trustedRoot), server(certificates.localhost) {
    dir.writeCentres({{Centres::kMain, server.url(), Centres::kHospCode, Centres::kOrgLevel, Centres::kUserNo, ""}});
  }
  TestCertificates certificates;
  ScopedEnvironment trust;
  ScriptedServer server;
};

class ConnectionReuse : public ExportTest {
 protected:
  std::vector<std::string> trace;
  static void collect(const std::string& entry, void* into) {
    static_cast<std::vector<std::string>*>(into)->push_back(entry);
  }
};

TEST_F(ConnectionReuse, KeptConnectionsServeTheirCallsAndNothingTwice) {
  const Reply readKept = kAnswerToRead.keptAlive(), changeKept = kAnswerToChange.keptAlive();
  const Reply unanswered = Reply::closeWithoutAnswer();
  const Reply http10 =
      Reply::raw("HTTP/1.0 200 OK\r\nContent-Type: text/xml\r\nContent-Length: " +
                 std::to_string(kAnswerToRead.bytes.size() - kAnswerToRead.bytes.find("\r\n\r\n") - 4) + "\r\n\r\n" +
                 kAnswerToRead.bytes.substr(kAnswerToRead.bytes.find("\r\n\r\n") + 4));
  const Reply http10kept =
      Reply::raw(std::string(http10.bytes).insert(http10.bytes.find("\r\n") + 2, "Connection: keep-alive\r\n"));
  const std::string requestTimeout = "HTTP/1.1 408 Request Timeout\r\nConnection: close\r\nContent-Length: 0\r\n\r\n";
  const ReuseCase cases[] = {
      {"back-to-back reads share one connection",
       {{false, {readKept}, "000"}, {false, {readKept}, "000"}, {false, {readKept}, "000"}},
       1,
       3},
      {"back-to-back changes share one connection",
       {{true, {changeKept}, "000"}, {true, {changeKept}, "000"}, {true, {changeKept}, "000"}},
       1,
       3},
      {"an answer saying Connection: close ends its connection",
       {{false, {kAnswerToRead}, "000"}, {false, {readKept}, "000"}},
       2,
       2},
      {"an HTTP/1.0 answer ends its connection", {{false, {http10}, "000"}, {false, {readKept}, "000"}}, 2, 2},
      {"a read is sent again on a new connection when a kept one closes unanswered",
       {{false, {readKept}, "000"}, {false, {unanswered, readKept}, "000"}},
       2,
       3},
      {"a read is sent again only once",
       {{false, {readKept}, "000"}, {false, {unanswered, unanswered}, "600"}, {false, {readKept}, "000"}},
       3,
       4},
      {"a change is never sent again",
       {{true, {changeKept}, "000"}, {true, {unanswered}, "600"}, {true, {changeKept}, "000"}},
       2,
       3},
      {"no connection is used past the idle limit",
       {{false, {readKept}, "000"}, {false, {readKept}, "000", 1300}},
       2,
       2},
      // A kept connection carries a request only when nothing waits on it.
      {"an HTTP/1.0 answer saying keep-alive ends its connection",
       {{false, {http10kept}, "000"}, {false, {readKept}, "000"}},
       2,
       2},
      {"a connection the centre closed while idle is not used: the change goes once, on a new one",
       {{true, {changeKept.closedWhenIdleFor(100)}, "000"}, {true, {changeKept}, "000", 400}},
       2,
       2},
      {"over TLS, a connection closed while idle (a close-notify waiting) is not used",
       {{true, {changeKept.closedWhenIdleFor(100)}, "000"}, {true, {changeKept}, "000", 400}},
       2,
       2,
       true},
      {"an idle centre's 408 and close: the next read goes on a new connection",
       {{false, {readKept.closedWhenIdleFor(100, requestTimeout)}, "000"}, {false, {readKept}, "000", 400}},
       2,
       2},
      {"a stray line end after an answer: the next change goes on a new connection",
       {{true, {changeKept.followedBy("\r\n")}, "000"}, {true, {changeKept}, "000", 100}},
       2,
       2},
  };
  nv::SessionLimits limits;
  limits.idleReuse = std::chrono::seconds(1);
  nvtest::ScopedSessionLimits idleLimit(limits);
  TestCertificates certificates(dir.path());
  ScopedEnvironment trust("SSL_CERT_FILE", certificates.trustedRoot);
  for (const ReuseCase& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedServer centre(c.overTls ? certificates.localhost : "");
    dir.writeCentres({{Centres::kMain, centre.url(), Centres::kHospCode, Centres::kOrgLevel, Centres::kUserNo, ""}});
    for (const Step& step : c.steps)
      for (const Reply& reply : step.replies) centre.enqueue(reply);
    for (size_t i = 0; i < c.steps.size(); ++i) {
      const Step& step = c.steps[i];
      if (step.pauseMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(step.pauseMs));
      trace.clear();
      nvtest::ScopedTraceSettings traced({1, ""}, collect, &trace);
      EXPECT_EQ(outCodeOf(step.isChange ? change() : read()), step.outCode) << "call " << i << ": " << trace.back();
    }
    EXPECT_EQ(centre.connectionCount(), c.connections);
    EXPECT_EQ(centre.requests().size(), c.requests);
    // On a kept handle as on a new one: its address and the options set
    // once for its life still hold.
    const std::vector<std::string> requests = centre.requests();
    for (const std::string& request : requests) {
      EXPECT_EQ(headerValue(request, "Connection"), "keep-alive");
      EXPECT_EQ(headerValue(request, "User-Agent"), "gSOAP/2.8");
      EXPECT_EQ(request.substr(0, request.find("\r\n")), requests[0].substr(0, requests[0].find("\r\n")));
    }
  }
}

// The trace tells how each call's connection came about, and that a change
// whose connection broke may have been applied.
long traceNumber(const std::string& line, const std::string& field) {
  const size_t at = line.find(" " + field + "=");
  return at == std::string::npos ? -2 : std::atol(line.c_str() + at + field.size() + 2);
}

TEST_F(ConnectionReuse, TheTraceTellsNewReusedResentAndUnknownOutcomes) {
  nvtest::ScopedTraceSettings traced({1, ""}, collect, &trace);
  const Reply readKept = kAnswerToRead.keptAlive(), changeKept = kAnswerToChange.keptAlive();
  // The third call's kept connection closes 300 ms after taking the request.
  for (const Reply& reply : {readKept, readKept, Reply::closeWithoutAnswer().delayedBy(300), readKept, changeKept,
                             Reply::closeWithoutAnswer()})
    server.enqueue(reply);
  read();
  read();
  read();
  change();
  change();
  ASSERT_EQ(trace.size(), 5u);
  EXPECT_NE(trace[0].find(" connection=new "), std::string::npos) << trace[0];
  EXPECT_NE(trace[1].find(" connection=reused "), std::string::npos) << trace[1];
  EXPECT_NE(trace[2].find(" connection=new "), std::string::npos) << trace[2];
  EXPECT_NE(trace[2].find(" resent=1 "), std::string::npos) << trace[2];
  EXPECT_EQ(trace[3].find(" outcome=unknown"), std::string::npos) << trace[3];
  EXPECT_NE(trace[4].find(" outcome=unknown"), std::string::npos) << trace[4];
  // Each phase of the resent read counts from the call's start, as its
  // duration does: its new connection came after the first 300 ms.
  EXPECT_GE(traceNumber(trace[2], "connect_ms"), 300) << trace[2];
  EXPECT_GE(traceNumber(trace[2], "first_byte_ms"), traceNumber(trace[2], "connect_ms")) << trace[2];
  EXPECT_LE(traceNumber(trace[2], "first_byte_ms"), traceNumber(trace[2], "ms")) << trace[2];
  // What was sent, counted once: the bytes the centre received for each
  // call (both attempts of the resent read).
  const std::vector<std::string> requests = server.requests();
  ASSERT_EQ(requests.size(), 6u);
  const size_t perCall[] = {requests[0].size(), requests[1].size(), requests[2].size() + requests[3].size(),
                            requests[4].size(), requests[5].size()};
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(traceNumber(trace[i], "sent"), static_cast<long>(perCall[i])) << trace[i];
}

// 8 threads × 25 reads; every `closeEvery`-th answer closes its connection.
void readFromEightThreads(ScriptedServer& centre, int closeEvery) {
  constexpr int kThreads = 8, kCallsEach = 25;
  for (int i = 0; i < kThreads * kCallsEach; ++i)
    centre.enqueue(closeEvery > 0 && i % closeEvery == 0 ? kAnswerToRead : kAnswerToRead.keptAlive());
  std::vector<int> failures(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < kCallsEach; ++i) failures[t] += outCodeOf(read()) != "000";
    });
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(failures[t], 0) << "thread " << t;
  EXPECT_EQ(centre.requests().size(), static_cast<size_t>(kThreads * kCallsEach));
}

TEST_F(ConnectionReuse, EightThreadsShareThePool) {
  readFromEightThreads(server, 0);
  // One connection a thread at most, give or take a handle the pool was full for.
  EXPECT_LE(server.connectionCount(), 16u);
}

// The TLS session cache and the trusted roots, shared by threads making new
// connections at once.
TEST_F(ConnectionReuse, EightThreadsShareTlsSessionsAndRoots) {
  TlsCentre tls(dir);
  ScriptedServer& centre = tls.server;
  readFromEightThreads(centre, 5);
  EXPECT_GE(centre.connectionCount(), 40u);
  EXPECT_GT(centre.resumedSessions(), 0u);
}

TEST_F(ConnectionReuse, TlsConnectionsAreKeptAndSessionsResumed) {
  TlsCentre tls(dir);
  ScriptedServer& centre = tls.server;
  nvtest::ScopedTraceSettings traced({1, ""}, collect, &trace);
  // Three calls on one kept connection, then the centre closes after each
  // answer (the fourth call still comes on the kept one): the new
  // connections resume the TLS session.
  for (int i = 0; i < 3; ++i) centre.enqueue(kAnswerToRead.keptAlive());
  for (int i = 0; i < 3; ++i) centre.enqueue(kAnswerToRead);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(outCodeOf(read()), "000") << i;
  EXPECT_EQ(centre.connectionCount(), 3u);
  EXPECT_EQ(centre.resumedSessions(), 2u);
  ASSERT_EQ(trace.size(), 6u);
  EXPECT_NE(trace[1].find(" connection=reused "), std::string::npos) << trace[1];
  EXPECT_NE(trace[4].find(" connection=resumed "), std::string::npos) << trace[4];
  // With reuse off every call makes a new connection, and resumes.
  std::ofstream("NvNetwork.ini") << "keepalive=0\n";
  for (int i = 0; i < 2; ++i) centre.enqueue(kAnswerToRead);
  for (int i = 0; i < 2; ++i) EXPECT_EQ(outCodeOf(read()), "000") << i;
  EXPECT_EQ(centre.connectionCount(), 5u);
  EXPECT_EQ(centre.resumedSessions(), 4u);
}

TEST_F(ConnectionReuse, TheSwitchMakesEveryCallANewConnection) {
  std::ofstream("NvNetwork.ini") << "# this centre mishandles kept connections\nkeepalive = 0\n";
  for (int i = 0; i < 3; ++i) server.enqueue(kAnswerToRead.keptAlive());
  for (int i = 0; i < 3; ++i) EXPECT_EQ(outCodeOf(read()), "000");
  EXPECT_EQ(server.connectionCount(), 3u);
  for (const std::string& request : server.requests()) EXPECT_EQ(headerValue(request, "Connection"), "close");
}

// A process the HIS forks starts with no kept connection: it never sends on,
// nor closes the TLS state of, its parent's, which serves the parent's next
// call as before.
TEST_F(ConnectionReuse, AForkedChildLeavesItsParentsConnectionsAlone) {
  TlsCentre tls(dir);
  ScriptedServer& centre = tls.server;
  for (int i = 0; i < 3; ++i) centre.enqueue(kAnswerToRead.keptAlive());
  nvtest::ScopedTraceSettings traced({1, ""}, collect, &trace);
  ASSERT_EQ(outCodeOf(read()), "000");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    forkedChild = true;
    const bool answered = outCodeOf(read()) == "000";
    const bool fresh = !trace.empty() && trace.back().find(" connection=new ") != std::string::npos;
    // Through the library's exit path: what it closes then is the child's own.
    std::exit(answered && fresh ? 0 : 1);
  }
  int status = -1;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child's call, on a connection of its own";
  ASSERT_EQ(outCodeOf(read()), "000");
  EXPECT_NE(trace.back().find(" connection=reused "), std::string::npos) << trace.back();
  EXPECT_EQ(centre.connectionCount(), 2u);
}

// Unloading, on every platform: while a call may run nothing is freed;
// otherwise the kept connections, the pool and the caches of the layers
// above are, and the next call starts afresh on a new connection.
int cachesReleased = 0;
void countRelease() { ++cachesReleased; }

TEST_F(ConnectionReuse, UnloadingReleasesWhatTheLibraryKeeps) {
  for (int i = 0; i < 2; ++i) server.enqueue(kAnswerToRead.keptAlive());
  ASSERT_EQ(outCodeOf(read()), "000");
  nv::releaseAlsoWithLibrary(countRelease);
  cachesReleased = 0;
  {
    nv::CallInFlight running;
    EXPECT_FALSE(nv::releaseOnUnload());
  }
  ASSERT_NE(nv::ConnectionPool::ifMade(), nullptr);
  EXPECT_GE(nv::ConnectionPool::ifMade()->idleCount(), 1u);
  EXPECT_EQ(cachesReleased, 0);

  EXPECT_TRUE(nv::releaseOnUnload());
  EXPECT_EQ(nv::ConnectionPool::ifMade(), nullptr);
  EXPECT_EQ(cachesReleased, 1);
  ASSERT_EQ(outCodeOf(read()), "000");
  EXPECT_EQ(server.connectionCount(), 2u);
}

// The process ends while a call runs on another thread: what that call uses
// is not freed under it (the sanitizer build sees any use after a free).
TEST_F(ConnectionReuse, AnExitDuringACallLeavesItsStateAlone) {
  server.enqueue(kAnswerToRead.keptAlive());
  server.enqueue(kAnswerToRead.keptAlive().delayedBy(1000));
  ASSERT_EQ(outCodeOf(read()), "000");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    forkedChild = true;
    std::thread running([] { read(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    std::exit(0);
  }
  int status = -1;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

}  // namespace
