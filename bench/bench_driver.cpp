// SPDX-License-Identifier: MIT
// The benchmark driver: runs every scenario against loopback answering
// servers and prints one table of our figures, the floor's and the peer's.
//
//   bench_driver [--short] [--strict] [--no-peer] [--library SO] [--baseline SO]
//                [--wsdl WSDL] [--peer SCRIPT] [--python PYTHON]
//                [--attributes N] [--attributes-limit SECONDS] [--profile DIR] [--counts]
//
// Scenarios: the small call (getPersonInfo, one member, one thread) on a new
// connection against a centre that closes every connection, and on a kept
// connection against one that keeps them (each of ours, the floor's and the
// peer's against a keeping centre of its own, which counts the connections
// it accepts: all the kept calls of one party must come on one), the big
// download (updateLeechdom, one call in a process of its own so its peak
// memory is its own), one catalogue entry whose element carries 200,000
// attributes, throughput at 1, 2, 4 and 8 threads, and at 1 and 8 threads
// against a centre that answers after 5 ms. The floor is a plain socket
// client sending the request bytes the library sent; the reference
// (expat_reference.c) is a minimal streaming client on expat that reads the
// same answers into rows; the peer is python3-zeep (peer_zeep.py) against the
// same servers. --baseline loads an earlier build of the library too and
// times its small call alike ("no slower than before"). --strict makes a
// missed target the exit status 1; otherwise only a failure to run is.
//
// --serve runs no scenario: it starts the servers, prints the working
// directory holding their NvConfiguration.ini, and serves until stdin ends
// (for strace, perf and the like on `--child` runs started by hand).
//
// --counts runs no timing: it counts the system calls (strace -c -f) and the
// instructions (valgrind callgrind) of small calls on a kept connection,
// ours and the kept floor's, each as a run of many calls less a run of few.
//
// --profile DIR runs no timing: it records valgrind callgrind profiles of the
// library's small calls and of one big download into DIR (instruction counts
// are repeatable where times on a shared machine are not).
//
// Internal: `bench_driver --child download|floor-download|reference-download|
// small-calls|kept-floor-calls ...` is one measured run in a child process.
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "bench/answering_server.h"
#include "bench/call_counts.h"
#include "bench/canned_responses.h"
#include "bench/child_process.h"
#include "bench/expat_reference.h"
#include "bench/floor_client.h"
#include "bench/library_handle.h"
#include "bench/report_table.h"

namespace nvbench {
namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// CPU time of the calling thread (user and system), in seconds. Unlike wall
// time it does not count the waits for a CPU on a machine busy with others.
double threadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The arguments of the calls: a certificate number, an operator, the two
// configured centres and the last update time of the catalogue.
const char kBookNo[] = "34112200001";
const char kSmallCentre[] = "341122";
const char kBigCentre[] = "341199";
const char kSlowCentre[] = "341133";        // answers getPersonInfo after a delay
const char kAttributesCentre[] = "341188";  // one entry with many attributes
const char kKeptCentre[] = "341144";        // keeps its connections
const char kHospCode[] = "H0001";
const char kLastTime[] = "2024-01-01 00:00:00";

struct Options {
  bool shortRun = false;
  bool strict = false;
  bool peer = true;
  std::string library = NV_BENCH_LIBRARY;
  std::string baseline;  // an earlier build of the library, or none
  std::string wsdl = NV_BENCH_WSDL;
  std::string peerScript = NV_BENCH_PEER;
  std::string python = "/usr/bin/python3";
  std::string profileDir;
  bool serve = false;
  bool counts = false;
  // Small calls on a kept connection in the counted runs: many less few.
  int countedCalls = 1100;
  int countedFewCalls = 100;
  // Sizes of the run.
  int smallCalls = 2000;
  int peerSmallCalls = 2000;
  int entries = 100000;
  int downloadRepeats = 3;
  double concurrencySeconds = 3.0;  // per thread count, for ours and for the floor each
  int concurrencyRounds = 3;
  int attributes = 200000;
  double attributesLimitSeconds = 30;  // a reader slower than this is stopped
  std::chrono::milliseconds slowCentreDelay{5};
  double slowCentreSeconds = 3.0;  // per thread count, for ours and for the floor each
};

std::string selfPath() {
  std::vector<char> path(4096);
  ssize_t n = readlink("/proc/self/exe", path.data(), path.size() - 1);
  if (n <= 0) throw std::runtime_error("cannot find the driver's own path");
  return std::string(path.data(), static_cast<size_t>(n));
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double percentile99(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t rank = (values.size() * 99 + 99) / 100;  // ceiling of 0.99 n, from 1
  return values[std::min(values.size(), std::max<size_t>(rank, 1)) - 1];
}

bool isSuccessWithRows(const std::string& doc, long rows) {
  return doc.find("<out_code>000</out_code>") != std::string::npos &&
         doc.find("<data rowcount=\\\"" + std::to_string(rows) + "\\\"") != std::string::npos;
}

// ---- the working directory: NvConfiguration.ini with the two centres ------

std::string configLine(const char* key, const std::string& value) {
  return std::string(key) + "=" + base64(value) + "\n";
}

class ScratchDirectory {
 public:
  ScratchDirectory() {
    char pattern[] = "/tmp/nvbench.XXXXXX";
    if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~ScratchDirectory() {
    for (const char* name :
         {"NvConfiguration.ini", "leechdom.request", "attributes.request", "kept.request", "counted.out"})
      std::remove((path_ + "/" + name).c_str());
    rmdir(path_.c_str());
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

void writeConfiguration(const std::string& dir, const std::vector<std::pair<const char*, std::string>>& centres) {
  std::ofstream file(dir + "/NvConfiguration.ini", std::ios::binary);
  for (const auto& [centre, url] : centres) {
    file << configLine("f7ad02e", centre) << configLine("957b527", url) << configLine("1c1be9c", kHospCode)
         << configLine("170e2c1", "1") << configLine("8e44f00", "op01") << configLine("8e44f01", "");
  }
  file.close();
  if (!file) throw std::runtime_error("cannot write NvConfiguration.ini");
  // A HIS's configuration was written long before its calls: dated back an
  // hour, so that no measured call falls in the 2 s after a write in which
  // the library reads the file on every call.
  const struct timespec anHourAgo[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
  if (utimensat(AT_FDCWD, (dir + "/NvConfiguration.ini").c_str(), anHourAgo, 0) != 0)
    throw std::runtime_error("cannot date NvConfiguration.ini back");
}

// ---- child processes: one measured download each --------------------------

int childMain(int argc, char** argv) {
  std::string kind = argc > 2 ? argv[2] : "";
  if (kind == "download" && argc == 6) {
    LibraryHandle library(argv[3]);
    if (!library.updateLeechdom) throw std::runtime_error("the library lacks updateLeechdom");
    long baseKb = residentKb();
    double cpuStart = threadCpuSeconds();
    Clock::time_point start = Clock::now();
    char* result = library.updateLeechdom(kLastTime, argv[4]);
    double seconds = secondsSince(start);
    double cpu = threadCpuSeconds() - cpuStart;
    long peakKb = peakResidentKb();
    size_t docBytes = result ? std::strlen(result) : 0;
    std::string head(result ? result : "", std::min<size_t>(docBytes, 512));
    library.freeResult(result);
    if (!isSuccessWithRows(head, std::atol(argv[5])))
      throw std::runtime_error("updateLeechdom did not return the catalogue: " + head);
    std::printf("seconds=%.6f cpu_seconds=%.6f doc_bytes=%zu base_kb=%ld peak_kb=%ld\n", seconds, cpu, docBytes, baseKb,
                peakKb);
    return 0;
  }
  if (kind == "floor-download" && argc == 6) {
    std::ifstream file(argv[4], std::ios::binary);
    std::string request((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    long baseKb = residentKb();
    double cpuStart = threadCpuSeconds();
    Clock::time_point start = Clock::now();
    Received response = floorExchange(std::atoi(argv[3]), request);
    double seconds = secondsSince(start);
    double cpu = threadCpuSeconds() - cpuStart;
    long peakKb = peakResidentKb();
    if (response.size != std::strtoull(argv[5], nullptr, 10)) throw std::runtime_error("the floor lost bytes");
    std::printf("seconds=%.6f cpu_seconds=%.6f bytes=%zu base_kb=%ld peak_kb=%ld\n", seconds, cpu, response.size,
                baseKb, peakKb);
    return 0;
  }
  if (kind == "reference-download" && argc == 6) {
    std::ifstream file(argv[4], std::ios::binary);
    std::string request((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    long baseKb = residentKb();
    double cpuStart = threadCpuSeconds();
    Clock::time_point start = Clock::now();
    nvref_download download{};
    const char* error = nullptr;
    int status = nvref_exchange(std::atoi(argv[3]), request.data(), request.size(), &download, &error);
    double seconds = secondsSince(start);
    double cpu = threadCpuSeconds() - cpuStart;
    long peakKb = peakResidentKb();
    nvref_release(&download);
    if (status != 0) throw std::runtime_error(std::string("the reference failed: ") + error);
    if (download.rows != std::atol(argv[5])) throw std::runtime_error("the reference lost catalogue entries");
    std::printf("seconds=%.6f cpu_seconds=%.6f doc_bytes=%zu base_kb=%ld peak_kb=%ld\n", seconds, cpu, download.length,
                baseKb, peakKb);
    return 0;
  }
  if (kind == "kept-floor-calls" && argc == 7) {
    std::ifstream file(argv[4], std::ios::binary);
    std::string request((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const size_t answerBytes = std::strtoull(argv[6], nullptr, 10);
    KeptFloor floor(std::atoi(argv[3]));
    for (int i = std::atoi(argv[5]); i > 0; --i)
      if (floor.exchange(request).size != answerBytes) throw std::runtime_error("the kept floor lost bytes");
    return 0;
  }
  if (kind == "small-calls" && argc == 6) {
    LibraryHandle library(argv[3]);
    for (int i = std::atoi(argv[5]); i > 0; --i) {
      std::string result = library.take(library.getPersonInfo(kBookNo, kOperatorGbk, argv[4]));
      if (!isSuccessWithRows(result, 1)) throw std::runtime_error("getPersonInfo failed: " + result);
    }
    return 0;
  }
  throw std::runtime_error("unknown child run");
}

double number(const std::map<std::string, std::string>& report, const std::string& key) {
  auto found = report.find(key);
  if (found == report.end()) throw std::runtime_error("a child report lacks " + key);
  return std::stod(found->second);
}

// ---- the scenarios ---------------------------------------------------------

struct SmallCallFigures {
  std::vector<double> oursUs, floorUs;
  double oursCpuSeconds = 0, floorCpuSeconds = 0;  // of the calling thread, over all calls
};

// Ours (calling `centre`) and the floor (one exchange of `floorExchangeOnce`,
// which must receive `answer`) in alternating blocks, so that a change in the
// load of the machine falls on both alike.
SmallCallFigures smallCall(const LibraryHandle& library, const char* centre, int calls, const std::string& reference,
                           const std::function<Received()>& floorExchangeOnce, const std::string& answer) {
  auto ourCall = [&] {
    Clock::time_point start = Clock::now();
    char* result = library.getPersonInfo(kBookNo, kOperatorGbk, centre);
    double us = secondsSince(start) * 1e6;
    bool same = result && reference == result;
    library.freeResult(result);
    if (!same) throw std::runtime_error("getPersonInfo returned another document");
    return us;
  };
  auto floorCall = [&] {
    Clock::time_point start = Clock::now();
    Received response = floorExchangeOnce();
    double us = secondsSince(start) * 1e6;
    if (response.view() != answer) throw std::runtime_error("the floor received other bytes");
    return us;
  };
  for (int i = 0; i < 50; ++i) ourCall(), floorCall();  // warm caches and the allocator
  SmallCallFigures figures;
  const int block = 100;
  for (int done = 0; done < calls; done += block) {
    int n = std::min(block, calls - done);
    double cpuStart = threadCpuSeconds();
    for (int i = 0; i < n; ++i) figures.oursUs.push_back(ourCall());
    double cpuMiddle = threadCpuSeconds();
    for (int i = 0; i < n; ++i) figures.floorUs.push_back(floorCall());
    figures.oursCpuSeconds += cpuMiddle - cpuStart;
    figures.floorCpuSeconds += threadCpuSeconds() - cpuMiddle;
  }
  return figures;
}

// Calls made by `threads` threads calling for `seconds`, and the time they
// took; each call returns whether its result was right.
struct Throughput {
  double calls = 0, seconds = 0;
  double perSecond() const { return calls / seconds; }
};

Throughput throughput(int threads, double seconds, const std::function<bool()>& call) {
  std::atomic<bool> stop{false};
  std::atomic<int> ready{0};
  std::atomic<long> calls{0}, wrong{0};
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t)
    workers.emplace_back([&] {
      ready.fetch_add(1);
      while (ready.load() < threads + 1) std::this_thread::yield();
      long mine = 0, bad = 0;
      while (!stop.load(std::memory_order_relaxed)) {
        bad += !call();
        ++mine;
      }
      calls.fetch_add(mine);
      wrong.fetch_add(bad);
    });
  while (ready.load() < threads) std::this_thread::yield();
  Clock::time_point start = Clock::now();
  ready.fetch_add(1);
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  stop.store(true);
  for (std::thread& worker : workers) worker.join();
  if (wrong.load() != 0) throw std::runtime_error(std::to_string(wrong.load()) + " calls went wrong under load");
  return {static_cast<double>(calls.load()), secondsSince(start)};
}

struct DownloadFigures {
  bool available = false;
  double oursSeconds = 0, floorSeconds = 0, referenceSeconds = 0;
  double oursCpuSeconds = 0, floorCpuSeconds = 0, referenceCpuSeconds = 0;
  double oursPeakKb = 0, floorPeakKb = 0, referencePeakKb = 0;
  double oursBaseKb = 0, referenceBaseKb = 0;
  double docBytes = 0, referenceDocBytes = 0;
};

DownloadFigures bigDownload(const Options& options, const LibraryHandle& library, const AnsweringServer& server,
                            const std::string& dir) {
  DownloadFigures figures;
  if (!library.updateLeechdom) return figures;
  figures.available = true;
  const std::string self = selfPath();
  const std::string requestFile = dir + "/leechdom.request";
  std::vector<double> ours, floor, oursCpu, floorCpu, oursPeak, floorPeak, oursBase;
  std::vector<double> reference, referenceCpu, referencePeak, referenceBase;
  for (int run = 0; run < options.downloadRepeats; ++run) {
    auto report = parseReport(
        runChild({self, "--child", "download", options.library, kBigCentre, std::to_string(options.entries)}));
    ours.push_back(number(report, "seconds"));
    oursCpu.push_back(number(report, "cpu_seconds"));
    oursPeak.push_back(number(report, "peak_kb"));
    oursBase.push_back(number(report, "base_kb"));
    figures.docBytes = number(report, "doc_bytes");
    if (run == 0) {
      std::ofstream file(requestFile, std::ios::binary);
      file << server.firstRequest();
    }
    report = parseReport(runChild({self, "--child", "floor-download", std::to_string(server.port()), requestFile,
                                   std::to_string(server.response().size())}));
    floor.push_back(number(report, "seconds"));
    floorCpu.push_back(number(report, "cpu_seconds"));
    floorPeak.push_back(number(report, "peak_kb"));
    report = parseReport(runChild({self, "--child", "reference-download", std::to_string(server.port()), requestFile,
                                   std::to_string(options.entries)}));
    reference.push_back(number(report, "seconds"));
    referenceCpu.push_back(number(report, "cpu_seconds"));
    referencePeak.push_back(number(report, "peak_kb"));
    referenceBase.push_back(number(report, "base_kb"));
    figures.referenceDocBytes = number(report, "doc_bytes");
  }
  figures.referenceSeconds = median(reference);
  figures.referenceCpuSeconds = median(referenceCpu);
  figures.referencePeakKb = median(referencePeak);
  figures.referenceBaseKb = median(referenceBase);
  figures.oursSeconds = median(ours);
  figures.floorSeconds = median(floor);
  figures.oursCpuSeconds = median(oursCpu);
  figures.floorCpuSeconds = median(floorCpu);
  figures.oursPeakKb = median(oursPeak);
  figures.floorPeakKb = median(floorPeak);
  figures.oursBaseKb = median(oursBase);
  return figures;
}

// One catalogue entry whose element carries many attributes: ours (stopped
// after the limit) and the reference, each in a process of its own.
struct AttributeFigures {
  bool available = false;
  std::optional<double> oursSeconds, oursCpuSeconds;  // none: stopped at the limit
  double referenceSeconds = 0, referenceCpuSeconds = 0;
};

AttributeFigures attributeHeavy(const Options& options, const LibraryHandle& library, const AnsweringServer& server,
                                const std::string& dir) {
  AttributeFigures figures;
  if (!library.updateLeechdom) return figures;
  figures.available = true;
  const std::string self = selfPath();
  std::optional<std::string> line = runChildWithin(
      {self, "--child", "download", options.library, kAttributesCentre, "1"}, options.attributesLimitSeconds);
  if (line) {
    auto report = parseReport(*line);
    figures.oursSeconds = number(report, "seconds");
    figures.oursCpuSeconds = number(report, "cpu_seconds");
  }
  // The request is in even when ours was stopped: it is sent before the answer is read.
  const std::string requestFile = dir + "/attributes.request";
  std::ofstream(requestFile, std::ios::binary) << server.firstRequest();
  auto report =
      parseReport(runChild({self, "--child", "reference-download", std::to_string(server.port()), requestFile, "1"}));
  figures.referenceSeconds = number(report, "seconds");
  figures.referenceCpuSeconds = number(report, "cpu_seconds");
  return figures;
}

struct PeerFigures {
  std::optional<double> smallMedianUs, smallP99Us, smallCpuUs, downloadSeconds, downloadCpuSeconds, downloadPeakKb;
  std::optional<double> keptMedianUs, keptP99Us, keptCpuUs, keptConnections;
};

PeerFigures peer(const Options& options, const AnsweringServer& small, const AnsweringServer& kept,
                 const AnsweringServer& big) {
  PeerFigures figures;
  if (!options.peer) return figures;
  auto smallCalls = [&](const AnsweringServer& server) {
    return parseReport(runChild({options.python, options.peerScript, "small", options.wsdl, server.url(),
                                 std::to_string(options.peerSmallCalls), base64(kBookNo), base64(kOperatorGbk)}));
  };
  auto report = smallCalls(small);
  figures.smallMedianUs = number(report, "median_us");
  figures.smallP99Us = number(report, "p99_us");
  figures.smallCpuUs = number(report, "cpu_us");
  // The peer's session keeps its connection where the centre does.
  const size_t acceptedBefore = kept.accepted();
  report = smallCalls(kept);
  figures.keptConnections = static_cast<double>(kept.accepted() - acceptedBefore);
  if (*figures.keptConnections != 1)
    throw std::runtime_error("the peer opened " + ReportTable::format(*figures.keptConnections, 0) +
                             " connections for its kept calls, not 1");
  figures.keptMedianUs = number(report, "median_us");
  figures.keptP99Us = number(report, "p99_us");
  figures.keptCpuUs = number(report, "cpu_us");
  report = parseReport(runChild({options.python, options.peerScript, "download", options.wsdl, big.url(),
                                 base64(kLastTime), base64(kBigCentre), base64(kHospCode)}));
  if (number(report, "items") != options.entries) throw std::runtime_error("the peer lost catalogue entries");
  figures.downloadSeconds = number(report, "seconds");
  figures.downloadCpuSeconds = number(report, "cpu_seconds");
  figures.downloadPeakKb = number(report, "peak_kb");
  return figures;
}

// Callgrind profiles of 200 small calls and of one download, for
// callgrind_annotate.
void profile(const Options& options, const LibraryHandle& library) {
  const std::string self = selfPath();
  auto callgrind = [&](const std::string& name) {
    return std::vector<std::string>{"/usr/bin/valgrind", "--tool=callgrind", "--quiet",
                                    "--callgrind-out-file=" + options.profileDir + "/" + name};
  };
  std::vector<std::string> small = callgrind("small.callgrind");
  small.insert(small.end(), {self, "--child", "small-calls", options.library, kSmallCentre, "200"});
  runChild(small);
  if (library.updateLeechdom) {
    std::vector<std::string> download = callgrind("download.callgrind");
    download.insert(download.end(),
                    {self, "--child", "download", options.library, kBigCentre, std::to_string(options.entries)});
    runChild(download);
  }
  std::printf("profiles in %s: callgrind_annotate --inclusive=yes %s/small.callgrind\n", options.profileDir.c_str(),
              options.profileDir.c_str());
}

// The program's path on PATH, or "" when there is none.
std::string findProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::istringstream directories(path ? path : "/usr/bin:/bin");
  for (std::string directory; std::getline(directories, directory, ':');) {
    std::string candidate = (directory.empty() ? "." : directory) + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return "";
}

// System calls (strace -c -f) and instructions (callgrind) per small call
// on a kept connection, ours and the kept floor's. Each figure is a run of
// many calls less a run of few, each in a process of its own, so loading,
// the first connection and exit cancel out. Every run must make all its
// calls on one connection. Ours includes the child's check of each result
// text (a search through about a kilobyte).
int counts(const Options& options, const AnsweringServer& kept, const AnsweringServer& keptFloor,
           const std::string& dir) {
  const std::string self = selfPath();
  const std::string requestFile = dir + "/kept.request";
  std::ofstream(requestFile, std::ios::binary) << kept.firstRequest();
  const std::string output = dir + "/counted.out";
  auto ours = [&](int calls) {
    return std::vector<std::string>{
        self, "--child", "small-calls", options.library, kKeptCentre, std::to_string(calls)};
  };
  auto floor = [&](int calls) {
    return std::vector<std::string>{self,
                                    "--child",
                                    "kept-floor-calls",
                                    std::to_string(keptFloor.port()),
                                    requestFile,
                                    std::to_string(calls),
                                    std::to_string(keptFloor.response().size())};
  };
  // The tool's output of one run.
  auto counted = [&](std::vector<std::string> tool, const AnsweringServer& server,
                     const std::vector<std::string>& run) {
    const size_t before = server.accepted();
    tool.insert(tool.end(), run.begin(), run.end());
    runChild(tool);
    const size_t opened = server.accepted() - before;
    if (opened != 1)
      throw std::runtime_error("a counted run of " + run[3] + " opened " + std::to_string(opened) +
                               " connections, not 1");
    std::ifstream file(output, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  };
  const int many = options.countedCalls, few = options.countedFewCalls, calls = many - few;
  ReportTable table;
  table.title = "NvInterFace counts, small call on a kept connection: " + std::to_string(many) + " calls less " +
                std::to_string(few) + ", in processes of their own";
  const std::string strace = findProgram("strace"), valgrind = findProgram("valgrind");
  if (!valgrind.empty()) {
    const std::vector<std::string> callgrind = {valgrind, "--tool=callgrind", "--quiet",
                                                "--callgrind-out-file=" + output};
    auto instructions = [&](const AnsweringServer& server, const std::function<std::vector<std::string>(int)>& run) {
      return (callgrindInstructions(counted(callgrind, server, run(many))) -
              callgrindInstructions(counted(callgrind, server, run(few)))) /
             calls;
    };
    std::fprintf(stderr, "bench: instructions (callgrind)...\n");
    double oursInstructions = instructions(kept, ours), floorInstructions = instructions(keptFloor, floor);
    table.addTime("instructions per small call, kept connection", "instr", oursInstructions, floorInstructions,
                  std::nullopt);
    table.target("instructions per small call, kept <= 200,000", oursInstructions, 200000, true, "instr");
  } else {
    table.addNote("no valgrind on PATH: no instruction counts");
  }
  if (!strace.empty()) {
    const std::vector<std::string> tracer = {strace, "-c", "-f", "-o", output};
    auto syscalls = [&](const AnsweringServer& server, const std::function<std::vector<std::string>(int)>& run) {
      return perCall(parseStraceSummary(counted(tracer, server, run(many))),
                     parseStraceSummary(counted(tracer, server, run(few))), calls);
    };
    std::fprintf(stderr, "bench: system calls (strace)...\n");
    SyscallCounts oursCalls = syscalls(kept, ours), floorCalls = syscalls(keptFloor, floor);
    auto total = [](const SyscallCounts& counts) {
      double sum = 0;
      for (const auto& entry : counts) sum += entry.second;
      return sum;
    };
    table.addTime("system calls per small call, kept connection", "calls", total(oursCalls), total(floorCalls),
                  std::nullopt);
    // Ours by name, most first; what rounds to none is left out.
    std::vector<std::pair<double, std::string>> byCount;
    for (const auto& [name, count] : oursCalls)
      if (count >= 0.005) byCount.emplace_back(count, name);
    std::sort(byCount.rbegin(), byCount.rend());
    for (const auto& [count, name] : byCount)
      table.addTime("  " + name, "calls", count, floorCalls[name], std::nullopt);
    table.target("system calls per small call, kept <= 12", total(oursCalls), 12, true, "calls");
  } else {
    table.addNote("no strace on PATH: no system call counts");
  }
  std::fflush(stderr);
  table.print(stdout);
  return options.strict && !table.allMet() ? 1 : 0;
}

// ---- the run ---------------------------------------------------------------

Options parseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) throw std::runtime_error(arg + " needs a value");
      return argv[++i];
    };
    if (arg == "--short") {
      options.shortRun = true;
      options.smallCalls = 300;
      options.peerSmallCalls = 100;
      options.entries = 5000;
      options.downloadRepeats = 1;
      options.concurrencySeconds = 0.3;
      options.concurrencyRounds = 1;
      options.attributesLimitSeconds = 5;
      options.slowCentreSeconds = 0.5;
      options.countedCalls = 120;
      options.countedFewCalls = 20;
    } else if (arg == "--strict") {
      options.strict = true;
    } else if (arg == "--no-peer") {
      options.peer = false;
    } else if (arg == "--library") {
      options.library = value();
    } else if (arg == "--baseline") {
      options.baseline = value();
      char* absolute = realpath(options.baseline.c_str(), nullptr);  // the run changes directory
      if (absolute == nullptr) throw std::runtime_error("no library " + options.baseline);
      options.baseline = absolute;
      std::free(absolute);
    } else if (arg == "--attributes") {
      options.attributes = std::stoi(value());
    } else if (arg == "--attributes-limit") {
      options.attributesLimitSeconds = std::stod(value());
    } else if (arg == "--wsdl") {
      options.wsdl = value();
    } else if (arg == "--peer") {
      options.peerScript = value();
    } else if (arg == "--python") {
      options.python = value();
    } else if (arg == "--counts") {
      options.counts = true;
    } else if (arg == "--serve") {
      options.serve = true;
    } else if (arg == "--profile") {
      options.profileDir = value();
      char* absolute = realpath(options.profileDir.c_str(), nullptr);  // the run changes directory
      if (absolute == nullptr) throw std::runtime_error("no directory " + options.profileDir);
      options.profileDir = absolute;
      std::free(absolute);
    } else {
      throw std::runtime_error("unknown option " + arg);
    }
  }
  return options;
}

int run(const Options& options) {
  AnsweringServer smallServer(personInfoResponse());
  AnsweringServer bigServer(leechdomResponse(options.entries));
  AnsweringServer slowServer(personInfoResponse(), options.slowCentreDelay);
  AnsweringServer attributesServer(attributeHeavyResponse(options.attributes));
  // Ours, the kept floor and the peer each on a keeping centre of its own,
  // so that each one's connections are counted apart.
  const std::string keptAnswer = keptAlive(personInfoResponse());
  AnsweringServer keptServer(keptAnswer, {}, Connections::kept);
  AnsweringServer keptFloorServer(keptAnswer, {}, Connections::kept);
  AnsweringServer keptPeerServer(keptAnswer, {}, Connections::kept);
  ScratchDirectory dir;
  writeConfiguration(dir.path(), {{kSmallCentre, smallServer.url()},
                                  {kBigCentre, bigServer.url()},
                                  {kSlowCentre, slowServer.url()},
                                  {kAttributesCentre, attributesServer.url()},
                                  {kKeptCentre, keptServer.url()}});
  // The library reads its configuration from the working directory.
  if (chdir(dir.path().c_str()) != 0) throw std::runtime_error("cannot enter " + dir.path());
  LibraryHandle library(options.library);
  if (!options.profileDir.empty()) return profile(options, library), 0;
  if (options.serve) {
    std::printf("serving in %s: centres %s (getPersonInfo) and %s (updateLeechdom, %d entries)\n", dir.path().c_str(),
                kSmallCentre, kBigCentre, options.entries);
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
  }

  const std::string reference = library.take(library.getPersonInfo(kBookNo, kOperatorGbk, kSmallCentre));
  if (!isSuccessWithRows(reference, 1)) throw std::runtime_error("getPersonInfo failed: " + reference);
  // The keeping centre's first call opens the one connection all its calls use.
  const std::string keptReference = library.take(library.getPersonInfo(kBookNo, kOperatorGbk, kKeptCentre));
  if (keptReference != reference) throw std::runtime_error("the keeping centre's answer reads differently");
  if (options.counts) return counts(options, keptServer, keptFloorServer, dir.path());

  std::fprintf(stderr, "bench: small call...\n");
  const std::string smallRequest = smallServer.firstRequest();
  auto closingFloor = [&] { return floorExchange(smallServer.port(), smallRequest); };
  SmallCallFigures small =
      smallCall(library, kSmallCentre, options.smallCalls, reference, closingFloor, smallServer.response());
  std::optional<SmallCallFigures> before;
  if (!options.baseline.empty()) {
    std::fprintf(stderr, "bench: small call of the baseline...\n");
    LibraryHandle baseline(options.baseline);
    const std::string baselineReference = baseline.take(baseline.getPersonInfo(kBookNo, kOperatorGbk, kSmallCentre));
    if (baselineReference != reference) throw std::runtime_error("the baseline returns another document");
    before = smallCall(baseline, kSmallCentre, options.smallCalls, reference, closingFloor, smallServer.response());
  }

  std::fprintf(stderr, "bench: small call on a kept connection...\n");
  const std::string keptRequest = keptServer.firstRequest();
  KeptFloor keptFloor(keptFloorServer.port());
  SmallCallFigures kept = smallCall(
      library, kKeptCentre, options.smallCalls, reference, [&] { return keptFloor.exchange(keptRequest); },
      keptFloorServer.response());
  // A kept figure made on new connections would be no kept figure at all.
  const size_t oursKeptConnections = keptServer.accepted(), floorKeptConnections = keptFloorServer.accepted();
  if (oursKeptConnections != 1 || floorKeptConnections != 1)
    throw std::runtime_error("the kept calls opened " + std::to_string(oursKeptConnections) +
                             " connections (ours) and " + std::to_string(floorKeptConnections) +
                             " (the floor's), not 1 each");

  std::fprintf(stderr, "bench: concurrency...\n");
  const int threadCounts[] = {1, 2, 4, 8};
  auto ourCall = [&] {
    char* result = library.getPersonInfo(kBookNo, kOperatorGbk, kSmallCentre);
    bool same = result && reference == result;
    library.freeResult(result);
    return same;
  };
  auto floorCall = [&] { return floorExchange(smallServer.port(), smallRequest).view() == smallServer.response(); };
  // In rounds of ours then the floor, so that a change in the machine's load
  // falls on both alike.
  std::vector<double> oursRate, floorRate;
  for (int threads : threadCounts) {
    Throughput ours, floor;
    double slice = options.concurrencySeconds / options.concurrencyRounds;
    for (int round = 0; round < options.concurrencyRounds; ++round) {
      Throughput o = throughput(threads, slice, ourCall), f = throughput(threads, slice, floorCall);
      ours.calls += o.calls, ours.seconds += o.seconds;
      floor.calls += f.calls, floor.seconds += f.seconds;
    }
    oursRate.push_back(ours.perSecond());
    floorRate.push_back(floor.perSecond());
  }

  std::fprintf(stderr, "bench: concurrency against a slow centre...\n");
  const std::string slowReference = library.take(library.getPersonInfo(kBookNo, kOperatorGbk, kSlowCentre));
  if (slowReference != reference) throw std::runtime_error("the slow centre's answer reads differently");
  const std::string slowRequest = slowServer.firstRequest();
  auto ourSlowCall = [&] {
    char* result = library.getPersonInfo(kBookNo, kOperatorGbk, kSlowCentre);
    bool same = result && reference == result;
    library.freeResult(result);
    return same;
  };
  auto floorSlowCall = [&] { return floorExchange(slowServer.port(), slowRequest).view() == slowServer.response(); };
  const int slowThreadCounts[] = {1, 8};
  std::vector<double> oursSlowRate, floorSlowRate;
  for (int threads : slowThreadCounts) {
    oursSlowRate.push_back(throughput(threads, options.slowCentreSeconds, ourSlowCall).perSecond());
    floorSlowRate.push_back(throughput(threads, options.slowCentreSeconds, floorSlowCall).perSecond());
  }

  std::fprintf(stderr, "bench: big download...\n");
  DownloadFigures download = bigDownload(options, library, bigServer, dir.path());

  std::fprintf(stderr, "bench: %d attributes on one element...\n", options.attributes);
  AttributeFigures attributes = attributeHeavy(options, library, attributesServer, dir.path());

  std::fprintf(stderr, "bench: peer...\n");
  PeerFigures peerFigures = peer(options, smallServer, keptPeerServer, bigServer);

  // ---- the table ----
  const double kMiB = 1024.0 * 1024.0;
  const double responseBytes = static_cast<double>(bigServer.response().size());
  ReportTable table;
  table.title = std::string("NvInterFace benchmarks, ") + (options.shortRun ? "short" : "full") +
                " run: " + std::to_string(options.smallCalls) + " small calls, " + std::to_string(options.entries) +
                "-entry download (median of " + std::to_string(options.downloadRepeats) + "), " +
                ReportTable::format(options.concurrencySeconds, 1) + " s per thread count";
  table.addTime("small call median", "us", median(small.oursUs), median(small.floorUs), peerFigures.smallMedianUs);
  table.addTime("small call p99", "us", percentile99(small.oursUs), percentile99(small.floorUs),
                peerFigures.smallP99Us);
  table.addTime("  client CPU per small call", "us", small.oursCpuSeconds * 1e6 / options.smallCalls,
                small.floorCpuSeconds * 1e6 / options.smallCalls, peerFigures.smallCpuUs);
  table.addTime("small call median, kept connection", "us", median(kept.oursUs), median(kept.floorUs),
                peerFigures.keptMedianUs);
  table.addTime("small call p99, kept connection", "us", percentile99(kept.oursUs), percentile99(kept.floorUs),
                peerFigures.keptP99Us);
  table.addTime("  client CPU per kept small call", "us", kept.oursCpuSeconds * 1e6 / options.smallCalls,
                kept.floorCpuSeconds * 1e6 / options.smallCalls, peerFigures.keptCpuUs);
  table.addCount("  connections the kept calls used", "conns", static_cast<double>(oursKeptConnections),
                 static_cast<double>(floorKeptConnections), peerFigures.keptConnections);
  if (before)
    table.addTime("small call median, baseline", "us", median(before->oursUs), median(before->floorUs), std::nullopt);
  if (download.available) {
    table.addTime("big download wall time", "s", download.oursSeconds, download.floorSeconds,
                  peerFigures.downloadSeconds);
    table.addTime("  CPU time of the call", "s", download.oursCpuSeconds, download.floorCpuSeconds,
                  peerFigures.downloadCpuSeconds);
    std::optional<double> peerPeak;
    if (peerFigures.downloadPeakKb) peerPeak = *peerFigures.downloadPeakKb / 1024;
    table.addTime("big download peak RSS", "MiB", download.oursPeakKb / 1024, download.floorPeakKb / 1024, peerPeak);
    table.addInfo("  response size", "MiB", responseBytes / kMiB);
    table.addInfo("  result document size", "MiB", download.docBytes / kMiB);
    table.addInfo("  process RSS before the call", "MiB", download.oursBaseKb / 1024);
    table.addRatio("  peak RSS / response size", download.oursPeakKb * 1024 / responseBytes,
                   download.floorPeakKb * 1024 / responseBytes);
    table.addReference("big download wall time", "s", download.oursSeconds, download.referenceSeconds);
    table.addReference("  CPU time of the call", "s", download.oursCpuSeconds, download.referenceCpuSeconds);
    table.addReference("  peak RSS", "MiB", download.oursPeakKb / 1024, download.referencePeakKb / 1024);
    table.addReference("  RSS growth in the call", "MiB", (download.oursPeakKb - download.oursBaseKb) / 1024,
                       (download.referencePeakKb - download.referenceBaseKb) / 1024);
    table.addReference("  document (rows text) size", "MiB", download.docBytes / kMiB,
                       download.referenceDocBytes / kMiB);
  } else {
    table.addNote("big download: the library has no updateLeechdom export yet");
  }
  for (size_t i = 0; i < oursRate.size(); ++i)
    table.addRate("getPersonInfo, " + std::to_string(threadCounts[i]) + (threadCounts[i] == 1 ? " thread" : " threads"),
                  oursRate[i], floorRate[i]);
  table.addRatio("  8 threads / 1 thread", oursRate.back() / oursRate.front(), floorRate.back() / floorRate.front());
  for (size_t i = 0; i < oursSlowRate.size(); ++i)
    table.addRate("slow centre (" + std::to_string(options.slowCentreDelay.count()) + " ms), " +
                      std::to_string(slowThreadCounts[i]) + (slowThreadCounts[i] == 1 ? " thread" : " threads"),
                  oursSlowRate[i], floorSlowRate[i]);
  table.addRatio("  8 threads / 1 thread", oursSlowRate.back() / oursSlowRate.front(),
                 floorSlowRate.back() / floorSlowRate.front());
  const std::string attributesScenario = std::to_string(options.attributes) + " attributes on one element";
  if (attributes.available && attributes.oursSeconds) {
    table.addReference(attributesScenario, "s", *attributes.oursSeconds, attributes.referenceSeconds);
    table.addReference("  CPU time of the call", "s", *attributes.oursCpuSeconds, attributes.referenceCpuSeconds);
  } else if (attributes.available) {
    table.addNote(attributesScenario + ": ours stopped after " +
                  ReportTable::format(options.attributesLimitSeconds, 0) + " s; the reference took " +
                  ReportTable::format(attributes.referenceSeconds, 3) + " s");
  }

  auto ratio = [](double a, double b) { return a / b; };
  table.target("small call median <= 1.5x floor", ratio(median(small.oursUs), median(small.floorUs)), 1.5, true);
  table.target("small call, new connection <= 1.3x closing floor", ratio(median(small.oursUs), median(small.floorUs)),
               1.3, true);
  table.target("small call, kept <= 1.3x keep-alive floor", ratio(median(kept.oursUs), median(kept.floorUs)), 1.3,
               true);
  if (download.available) {
    table.target("big download time <= 4x floor", ratio(download.oursSeconds, download.floorSeconds), 4, true);
    table.target("big download peak RSS <= 3x response size", download.oursPeakKb * 1024 / responseBytes, 3, true);
  }
  // 5 % for the noise of a shared machine: two runs of one build differ that much.
  if (before)
    table.target("small call median <= 1.05x the baseline's", ratio(median(small.oursUs), median(before->oursUs)), 1.05,
                 true);
  if (download.available) {
    table.target("big download time <= 1.3x the reference", ratio(download.oursSeconds, download.referenceSeconds), 1.3,
                 true);
    // The call's own growth: what the process held before is the driver's.
    table.target("big download RSS growth <= 1.3x the document",
                 (download.oursPeakKb - download.oursBaseKb) * 1024 / download.docBytes, 1.3, true);
  }
  if (attributes.available)
    table.target(attributesScenario + " < 1 s",
                 attributes.oursSeconds ? *attributes.oursSeconds : options.attributesLimitSeconds, 1, true, "s");
  table.target("8 threads >= 1.6x calls/s of 1 thread", oursRate.back() / oursRate.front(), 1.6, false);
  table.target("slow centre: 8 threads >= 7x calls/s of 1 thread", oursSlowRate.back() / oursSlowRate.front(), 7,
               false);
  if (peerFigures.smallMedianUs)
    table.target("small call median faster than the peer", ratio(median(small.oursUs), *peerFigures.smallMedianUs), 1,
                 true);
  if (peerFigures.keptMedianUs)
    table.target("small call against zeep (kept, both) faster by",
                 ratio(*peerFigures.keptMedianUs, median(kept.oursUs)), 20, false);
  if (peerFigures.smallP99Us)
    table.target("small call p99 faster than the peer", ratio(percentile99(small.oursUs), *peerFigures.smallP99Us), 1,
                 true);
  if (download.available && peerFigures.downloadSeconds)
    table.target("big download faster than the peer", ratio(download.oursSeconds, *peerFigures.downloadSeconds), 1,
                 true);
  if (download.available && peerFigures.downloadPeakKb)
    table.target("big download peak RSS below the peer's", ratio(download.oursPeakKb, *peerFigures.downloadPeakKb), 1,
                 true);
  std::fflush(stderr);
  table.print(stdout);
  // The attribute-heavy answer is cut off when ours is stopped at the limit.
  size_t broken = smallServer.broken() + bigServer.broken() + slowServer.broken() + keptServer.broken() +
                  keptFloorServer.broken() + keptPeerServer.broken();
  if (broken != 0) std::printf("note: %zu connections ended before a full exchange\n", broken);
  return options.strict && !table.allMet() ? 1 : 0;
}

}  // namespace
}  // namespace nvbench

int main(int argc, char** argv) {
  try {
    if (argc > 1 && std::strcmp(argv[1], "--child") == 0) return nvbench::childMain(argc, argv);
    return nvbench::run(nvbench::parseOptions(argc, argv));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "bench_driver: %s\n", error.what());
    return 2;
  }
}
