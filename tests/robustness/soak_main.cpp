// SPDX-License-Identifier: MIT
// The long run: 100,000 mixed calls (every export; successes, faults,
// connections closed unanswered or refused, unknown centres, bad arguments,
// the codecs)
// against a loopback centre in a child process, with the resident memory
// of this process sampled along the way. Run by tools/soak.sh:
//   nv_soak [calls]
// or, with "reuse", 100,000 calls from 8 threads over kept connections the
// centre closes at random (tests/robustness/reuse_soak.h):
//   nv_soak reuse [calls]
// Exits non-zero when a document is malformed or has the wrong code, or
// when resident memory grows by more than 4 MB from the first sample (not
// judged under AddressSanitizer, whose quarantine holds freed memory; there
// LeakSanitizer judges at exit).
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "NvInterFace.h"
#include "tests/robustness/reuse_soak.h"
#include "tests/support/document_check.h"
#include "tests/support/export_catalogue.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/scripted_server.h"

namespace {

using nvcheck::ExportEntry;

long residentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

// ---- the centre, in a child process: stateless, one connection at a time --

// What the centre does is chosen by the path of the service address.
std::string answerFor(const std::string& request) {
  std::string path = request.substr(request.find(' ') + 1);
  path = path.substr(0, path.find(' '));
  size_t wrapper = request.find("<ns1:");
  std::string op = wrapper == std::string::npos ? "" : request.substr(wrapper + 5);
  op = op.substr(0, op.find_first_of(" >/"));
  if (path == "/fault") return nvcheck::faultAnswer("c29hayBmYXVsdA==");  // "soak fault"
  if (path == "/close") return "";
  for (const ExportEntry& e : nvcheck::documentExports())
    if (op == e.operation) return nvcheck::plainSuccessAnswer(e);
  return nvcheck::faultAnswer("unknown operation");
}

void serveForever(int listenFd) {
  for (;;) {
    int fd = ::accept(listenFd, nullptr, nullptr);
    if (fd < 0) continue;
    std::string request;
    char buffer[8192];
    while (request.find("Envelope>") == std::string::npos) {
      pollfd p{fd, POLLIN, 0};
      if (::poll(&p, 1, 5000) <= 0) break;
      ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      request.append(buffer, static_cast<size_t>(n));
    }
    std::string answer = answerFor(request);
    size_t sent = 0;
    while (sent < answer.size()) {
      ssize_t n = ::send(fd, answer.data() + sent, answer.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) break;
      sent += static_cast<size_t>(n);
    }
    ::close(fd);
  }
}

pid_t startCentre(int& port) {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 128) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    std::perror("soak: listen");
    std::exit(2);
  }
  port = ntohs(addr.sin_port);
  pid_t child = ::fork();
  if (child == 0) serveForever(fd);
  ::close(fd);
  return child;
}

// ---- the calls --------------------------------------------------------------

enum class Scenario { Success, Fault, Closed, Refused, UnknownCentre, BadArguments };
constexpr int kScenarios = 6;
const char* const kScenarioNames[] = {"success", "fault", "closed", "refused", "unknown centre", "bad arguments"};
const char* const kCentreOf[] = {"341122", "341101", "341102", "341199", "999999", "341122"};

struct Tally {
  long calls = 0;
  long problems = 0;
};

void check(const ExportEntry& e, Scenario s, const std::string& doc, Tally& tally) {
  ++tally.calls;
  nvcheck::ResultDocumentView view;
  std::string problem = nvcheck::readResultDocument(doc, e.functionId, view, nullptr, !e.contactsCentre());
  if (problem.empty() && e.contactsCentre()) {
    const char* expected = s == Scenario::Success         ? "000"
                           : s == Scenario::UnknownCentre ? "300"
                           : s == Scenario::BadArguments  ? e.checkFailureCode
                                                          : "600";
    if (view.outCode != expected) problem = std::string("out_code ") + view.outCode + ", expected " + expected;
    if (s == Scenario::Fault && view.outText != "soak fault") problem = "fault text " + view.outText;
  }
  if (!problem.empty() && ++tally.problems <= 10)
    std::fprintf(stderr, "soak: %s (%s): %s\n%.300s\n", e.name, kScenarioNames[static_cast<int>(s)], problem.c_str(),
                 doc.c_str());
}

void callOnce(long i, Tally& tally) {
  const auto& exports = nvcheck::documentExports();
  const ExportEntry& e = exports[i % exports.size()];
  const Scenario s = static_cast<Scenario>((i / exports.size()) % kScenarios);
  std::vector<std::string> args = e.argumentsWithCentre(kCentreOf[static_cast<int>(s)]);
  if (s == Scenario::BadArguments)  // every argument empty but the centre code
    for (size_t a = 0; a < args.size(); ++a)
      if (static_cast<int>(a) + 1 != e.centreArgument) args[a].clear();
  nvcheck::CArguments cArgs;
  for (const std::string& a : args) cArgs.push_back(a.c_str());
  char* doc = e.call(cArgs);
  check(e, s, doc ? doc : "", tally);
  freeResult(doc);
  if (i % 10 == 0) {  // the codecs now and then
    char* encoded = Encypt("soak \xD5\xC5\xC8\xFD");
    char* decoded = DeEncypt(encoded);
    if (std::string(decoded) != "soak \xD5\xC5\xC8\xFD") ++tally.problems;
    freeResult(encoded);
    freeResult(decoded);
  }
}

}  // namespace

int reuseSoak(long calls) {
  // Warmed up first: the HTTP library's set-up, the threads' heaps, the
  // centre's thread stacks.
  if (!nvtest::runReuseSoak(8, std::min(calls, 20000L)).problems.empty()) return 1;
  const long before = residentKilobytes();
  const auto start = std::chrono::steady_clock::now();
  const nvtest::ReuseSoakReport report = nvtest::runReuseSoak(8, calls);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const long after = residentKilobytes();
  for (const std::string& problem : report.problems) std::printf("soak: %s\n", problem.c_str());
  std::printf(
      "soak: reuse: %ld calls from 8 threads over %ld connections, %.1f s; %ld reads and %ld changes "
      "failed with 600; the centre received %ld changes, none twice\n",
      report.calls, report.connections, seconds, report.readsFailed, report.changesFailed, report.changesReceived);
  std::printf("soak: reuse: open descriptors %ld before, %ld after; resident memory %ld kB before, %ld kB after\n",
              report.openDescriptorsBefore, report.openDescriptorsAfter, before, after);
#if defined(__SANITIZE_ADDRESS__)
  const bool grew = false;  // LeakSanitizer judges at exit
#else
  const bool grew = after - before > 8192;
#endif
  if (grew) std::printf("soak: reuse: resident memory grew by more than 8 MB\n");
  return report.problems.empty() && !grew && report.openDescriptorsAfter == report.openDescriptorsBefore ? 0 : 1;
}

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "reuse") return reuseSoak(argc > 2 ? std::atol(argv[2]) : 100000);
  const long total = argc > 1 ? std::atol(argv[1]) : 100000;
  int port = 0;
  const pid_t centre = startCentre(port);
  const std::string base = "http://127.0.0.1:" + std::to_string(port);

  nvtest::ScratchDir dir;
  dir.writeCentres({{"341122", base + "/ok", "H4401", "2", "op01", ""},
                    {"341101", base + "/fault", "H4401", "2", "op01", ""},
                    {"341102", base + "/close", "H4401", "2", "op01", ""},
                    {"341199", nvtest::refusedUrl(), "H4401", "2", "op01", ""}});

  Tally tally;
  const long warmUp = std::min(total, 2000L);
  for (long i = 0; i < warmUp; ++i) callOnce(i, tally);
  const long first = residentKilobytes();
  long peak = first;
  std::printf("soak: %ld calls of %zu exports, 6 scenarios; resident memory after %ld warm-up calls: %ld kB\n", total,
              nvcheck::documentExports().size(), warmUp, first);
  auto start = std::chrono::steady_clock::now();
  for (long i = warmUp; i < total; ++i) {
    callOnce(i, tally);
    if ((i + 1) % 10000 == 0) {
      long rss = residentKilobytes();
      peak = std::max(peak, rss);
      std::printf("soak: %7ld calls: %ld kB\n", i + 1, rss);
      std::fflush(stdout);
    }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const long last = residentKilobytes();
  ::kill(centre, SIGTERM);
  ::waitpid(centre, nullptr, 0);

  std::printf("soak: resident memory %ld kB at the first sample, %ld kB at the end (%+ld kB), peak %ld kB\n", first,
              last, last - first, peak);
  std::printf("soak: %ld documents checked, %ld problems, %.1f s (%.0f calls/s)\n", tally.calls, tally.problems,
              seconds, (total - warmUp) / seconds);
#if defined(__SANITIZE_ADDRESS__)
  const bool judgeMemory = false;
#else
  const bool judgeMemory = true;
#endif
  bool grew = judgeMemory && last - first > 4096;
  if (grew) std::printf("soak: resident memory grew by more than 4 MB\n");
  return tally.problems == 0 && !grew ? 0 : 1;
}
