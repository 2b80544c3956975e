// SPDX-License-Identifier: MIT
// The runtime must never fall back to the process's standard input and
// output: an endpoint without a host fails at once, writing nothing to fd 1
// and reading nothing from fd 0.
#include "service/session_guard.h"
#include "tests/contract/client_context.h"
#include "tests/support/scripted_server.h"

#include <gtest/gtest.h>

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <stdexcept>

namespace {

using nvcontract::ClientContext;
using nvtest::Reply;
using nvtest::ScriptedServer;

// For its lifetime, fd 0 reads a pipe holding `input` (its writing end
// closed, so a read never blocks) and fd 1 writes to a temporary file.
// Nothing may assert while it is in place: gtest reports on stdout.
class SwappedStdio {
 public:
  explicit SwappedStdio(const std::string& input) {
    std::fflush(stdout);
    output_ = std::tmpfile();
    int fds[2];
    if (output_ == nullptr || ::pipe(fds) != 0) throw std::runtime_error("cannot prepare stdio");
    if (::write(fds[1], input.data(), input.size()) != static_cast<ssize_t>(input.size()))
      throw std::runtime_error("cannot fill the stdin pipe");
    ::close(fds[1]);
    savedIn_ = ::dup(0);
    savedOut_ = ::dup(1);
    ::dup2(fds[0], 0);
    ::close(fds[0]);
    ::dup2(::fileno(output_), 1);
  }
  ~SwappedStdio() { restore(); }

  // Puts fd 0 and fd 1 back; returns what was written to fd 1 and tells
  // how many bytes of the input are still unread.
  std::string restore(std::size_t* unreadInput = nullptr) {
    if (savedOut_ < 0) return written_;
    int unread = 0;
    ::ioctl(0, FIONREAD, &unread);
    ::dup2(savedIn_, 0);
    ::dup2(savedOut_, 1);
    ::close(savedIn_);
    ::close(savedOut_);
    savedIn_ = savedOut_ = -1;
    struct stat info {};
    ::fstat(::fileno(output_), &info);
    written_.assign(static_cast<std::size_t>(info.st_size), '\0');
    if (!written_.empty() && ::pread(::fileno(output_), &written_[0], written_.size(), 0) < 0)
      written_ = "(unreadable)";
    std::fclose(output_);
    unread_ = static_cast<std::size_t>(unread);
    if (unreadInput) *unreadInput = unread_;
    return written_;
  }

 private:
  std::FILE* output_ = nullptr;
  int savedIn_ = -1;
  int savedOut_ = -1;
  std::string written_;
  std::size_t unread_ = 0;
};

// A complete answer, so that a call that did read stdin would succeed.
std::string answerOnStdin() { return Reply::soap("cliSeek", "<return>c3RkaW4=</return>").bytes; }

struct StdioOutcome {
  int status;
  bool fault;
  std::string written;
  std::size_t unreadInput;
  double seconds;
};

StdioOutcome callWithSwappedStdio(const char* endpoint, bool guarded) {
  const std::string input = answerOnStdin();
  ClientContext client(2, 2);
  if (guarded) nvGuardAgainstStdio(client.get());
  std::string memberNo = "bm8=";
  ns1__cliSeek request;
  request.memberNo = &memberNo;
  ns1__cliSeekResponse response;
  StdioOutcome outcome{};
  SwappedStdio stdio(input);
  auto start = std::chrono::steady_clock::now();
  outcome.status = soap_call___ns1__cliSeek(client.get(), endpoint, nullptr, &request, response);
  outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  outcome.written = stdio.restore(&outcome.unreadInput);
  outcome.fault = client.get()->fault != nullptr;
  return outcome;
}

// Endpoints from which the runtime reads no host.
const char* const hostlessEndpoints[] = {"",
                                         "http://",
                                         "http:///clinic/webservice/inpatientRedeem",
                                         "http://:8888/clinic",
                                         "http://?wsdl",
                                         "https://",
                                         "HTTP://",
                                         "http://user@/clinic"};

TEST(StdioFallback, IsWhatTheUnguardedRuntimeDoes) {
  StdioOutcome outcome = callWithSwappedStdio("", false);
  EXPECT_NE(std::string::npos, outcome.written.find("<ns1:cliSeek><memberNo>bm8=</memberNo></ns1:cliSeek>"));
  EXPECT_EQ(0u, outcome.unreadInput);
}

class GuardedContext : public ::testing::TestWithParam<const char*> {};

TEST_P(GuardedContext, FailsAtOnceWithoutTouchingStdio) {
  StdioOutcome outcome = callWithSwappedStdio(GetParam(), true);
  EXPECT_EQ(SOAP_TCP_ERROR, outcome.status);
  EXPECT_FALSE(outcome.fault);
  EXPECT_EQ("", outcome.written);
  EXPECT_EQ(answerOnStdin().size(), outcome.unreadInput);
  EXPECT_LT(outcome.seconds, 1.0);
}

TEST_P(GuardedContext, EndpointIsNotAnHttpUrlWithAHost) { EXPECT_FALSE(nvIsHttpEndpoint(GetParam())); }

INSTANTIATE_TEST_SUITE_P(Contract, GuardedContext, ::testing::ValuesIn(hostlessEndpoints));

TEST(GuardedContext, StillCallsARealServerAndStaysGuardedAfterwards) {
  ScriptedServer server;
  server.enqueue(Reply::soap("cliSeek", "<return>b2s=</return>"));
  ClientContext client;
  nvGuardAgainstStdio(client.get());
  ns1__cliSeek request;
  ns1__cliSeekResponse response;
  ASSERT_EQ(SOAP_OK, soap_call___ns1__cliSeek(client.get(), server.url().c_str(), nullptr, &request, response));
  ASSERT_NE(nullptr, response.return_);
  EXPECT_EQ("b2s=", *response.return_);

  int status = 0;
  std::string written;
  std::size_t unread = 0;
  {
    SwappedStdio stdio(answerOnStdin());
    status = soap_call___ns1__cliSeek(client.get(), "", nullptr, &request, response);
    written = stdio.restore(&unread);
  }
  EXPECT_EQ(SOAP_TCP_ERROR, status);
  EXPECT_EQ("", written);
  EXPECT_EQ(answerOnStdin().size(), unread);
}

struct EndpointCase {
  const char* endpoint;
  bool http;
};

void PrintTo(const EndpointCase& c, std::ostream* out) {
  *out << (c.endpoint ? "\"" + std::string(c.endpoint) + "\"" : std::string("NULL"));
}

class HttpEndpoint : public ::testing::TestWithParam<EndpointCase> {};

TEST_P(HttpEndpoint, IsAnHttpUrlWithAHost) {
  EXPECT_EQ(GetParam().http, nvIsHttpEndpoint(GetParam().endpoint))
      << (GetParam().endpoint ? GetParam().endpoint : "NULL");
}

INSTANTIATE_TEST_SUITE_P(
    Contract, HttpEndpoint,
    ::testing::Values(EndpointCase{"http://127.0.0.1:8888/clinic/webservice/inpatientRedeem", true},
                      EndpointCase{"http://centre", true}, EndpointCase{"HTTP://Centre.Example/x", true},
                      EndpointCase{"hTtP://centre:80", true}, EndpointCase{"http://[::1]:8888/x", true},
                      EndpointCase{"http://user@centre/x", true}, EndpointCase{nullptr, false},
                      EndpointCase{"https://centre/x", true}, EndpointCase{"HTTPS://[::1]:8443/x", true},
                      EndpointCase{"https://", false}, EndpointCase{"https:/centre", false},
                      EndpointCase{"httpss://centre/x", false}, EndpointCase{"ftp://centre/x", false},
                      EndpointCase{"soap.udp://centre:8888", false}, EndpointCase{"centre:8888/x", false},
                      EndpointCase{"http:/centre/x", false}, EndpointCase{"http:centre", false},
                      EndpointCase{" http://centre", false}, EndpointCase{"http://[]/x", false},
                      EndpointCase{"http://[", false}, EndpointCase{"http://:/", false},
                      EndpointCase{"http://user@/x", false}, EndpointCase{"http://user:pw@:80/x", false},
                      EndpointCase{"http://centre/x@y", true}));

TEST(HttpEndpoint, IsRefusedWhenTooLongForTheRuntimeToHoldWhole) {
  const std::size_t capacity = sizeof(static_cast<struct soap*>(nullptr)->endpoint);
  std::string endpoint = "http://centre/";
  endpoint += std::string(capacity - 1 - endpoint.size(), 'p');
  EXPECT_TRUE(nvIsHttpEndpoint(endpoint.c_str()));
  endpoint += "p";
  EXPECT_FALSE(nvIsHttpEndpoint(endpoint.c_str()));
}

}  // namespace
