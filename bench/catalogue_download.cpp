// SPDX-License-Identifier: MIT
// Catalogue downloads of many entries: the wall time and CPU time of one
// updateLeechdom or updateDisease call, the peak memory of the calling
// process, and the sizes of the centre's response and of the result.
//
//   catalogue_bench [entries]                  both downloads (default 100000)
//   catalogue_bench --one <export> <entries>   one download (run by the above)
//
// Each download runs in a fresh process of its own, and the loopback server
// that answers it runs in a forked child holding the canned response, so the
// measured peak memory is the call's and not the server's.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "NvInterFace.h"
#include "bench/answering_server.h"
#include "bench/canned_responses.h"
#include "text/codec.h"

extern char** environ;

namespace {

using nv::base64Encode;

// One catalogue download: the export that makes it and the centre's answer
// of `entries` items (bench/canned_responses.h).
struct Download {
  const char* exportName;
  std::string (*answer)(int entries);
  char* (*call)(NvText lastTime, NvText centreCode);
};

const Download kDrugs{"updateLeechdom", nvbench::leechdomResponse, updateLeechdom};
const Download kDiseases{"updateDisease", nvbench::diseaseResponse, updateDisease};

// ---- The server child -------------------------------------------------------

struct ServerChild {
  pid_t pid = -1;
  int keepAlive = -1;  // the child serves until this pipe closes
  int port = 0;
  size_t responseBytes = 0;
};

// Forks a child that builds the response, serves it on a loopback port and
// reports the port and the response size; it ends when keepAlive closes.
ServerChild startServer(const Download& download, int entries) {
  int report[2], alive[2];
  if (pipe(report) != 0 || pipe(alive) != 0) std::exit(2);
  ServerChild child;
  child.pid = fork();
  if (child.pid < 0) std::exit(2);
  if (child.pid == 0) {
    close(report[0]);
    close(alive[1]);
    nvbench::AnsweringServer server(download.answer(entries));
    long long figures[2] = {server.port(), static_cast<long long>(server.response().size())};
    if (write(report[1], figures, sizeof figures) != sizeof figures) _exit(3);
    char byte;
    while (read(alive[0], &byte, 1) > 0) {
    }
    _exit(0);  // no destructors: the answering thread may still be running
  }
  close(report[1]);
  close(alive[0]);
  long long figures[2] = {0, 0};
  if (read(report[0], figures, sizeof figures) != sizeof figures) std::exit(2);
  close(report[0]);
  child.keepAlive = alive[1];
  child.port = static_cast<int>(figures[0]);
  child.responseBytes = static_cast<size_t>(figures[1]);
  return child;
}

void stopServer(const ServerChild& child) {
  close(child.keepAlive);
  waitpid(child.pid, nullptr, 0);
}

// ---- The measured call ------------------------------------------------------

std::string configLine(const char* key, const std::string& value) {
  return std::string(key) + "=" + base64Encode(value) + "\n";
}

// A fresh working directory whose NvConfiguration.ini names the server.
void enterWorkingDirectory(int port) {
  char pattern[] = "/tmp/nvbench-catalogue-XXXXXX";
  if (mkdtemp(pattern) == nullptr || chdir(pattern) != 0) std::exit(2);
  std::ofstream file("NvConfiguration.ini", std::ios::binary);
  file << configLine("f7ad02e", "341122")
       << configLine("957b527", "http://127.0.0.1:" + std::to_string(port) + "/clinic/webservice/inpatientRedeem")
       << configLine("1c1be9c", "H0001") << configLine("170e2c1", "1") << configLine("8e44f00", "op01")
       << configLine("8e44f01", "");
}

void leaveWorkingDirectory() {
  char path[4096];
  if (getcwd(path, sizeof path) == nullptr) return;
  std::remove((std::string(path) + "/NvConfiguration.ini").c_str());
  if (chdir("/tmp") == 0) rmdir(path);
}

double cpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long peakRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;  // KiB on Linux
}

// The row count the document declares.
long declaredRows(std::string_view doc) {
  const std::string_view key = "rowcount=\\\"";
  size_t at = doc.find(key);
  return at == std::string_view::npos ? -1 : std::atol(doc.data() + at + key.size());
}

int measureOne(const Download& download, int entries) {
  ServerChild server = startServer(download, entries);
  enterWorkingDirectory(server.port);
  const char lastTime[] = "2024-01-01 00:00:00";

  long rssBefore = peakRssKb();
  double cpuBefore = cpuSeconds();
  auto start = std::chrono::steady_clock::now();
  char* result = download.call(lastTime, "341122");
  double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  double cpu = cpuSeconds() - cpuBefore;
  long rssPeak = peakRssKb();

  std::unique_ptr<char, decltype(&std::free)> owned(result, &std::free);
  std::string_view doc = result ? std::string_view(result) : std::string_view();
  long rows = declaredRows(doc);
  std::printf(
      "%-15s entries=%d response_bytes=%zu result_bytes=%zu rows=%ld wall_s=%.3f cpu_s=%.3f "
      "peak_rss_kb=%ld peak_rss_before_call_kb=%ld\n",
      download.exportName, entries, server.responseBytes, doc.size(), rows, wall, cpu, rssPeak, rssBefore);
  std::fflush(stdout);
  if (rows != entries)
    std::fprintf(stderr, "%s did not return the catalogue: %.400s\n", download.exportName, doc.data());

  leaveWorkingDirectory();
  stopServer(server);
  return rows == entries ? 0 : 1;
}

// Runs this program again for one download, so each has a process of its own.
int runInOwnProcess(const char* self, const char* exportName, int entries) {
  std::string count = std::to_string(entries);
  std::vector<char*> argv = {const_cast<char*>(self), const_cast<char*>("--one"), const_cast<char*>(exportName),
                             count.data(), nullptr};
  pid_t pid;
  if (posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, argv.data(), environ) != 0) return 2;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--one") == 0) {
    const Download& download = std::strcmp(argv[2], "updateDisease") == 0 ? kDiseases : kDrugs;
    return measureOne(download, std::atoi(argv[3]));
  }
  int entries = argc >= 2 ? std::atoi(argv[1]) : 100000;
  if (entries <= 0) {
    std::fprintf(stderr, "usage: %s [entries]\n", argv[0]);
    return 2;
  }
  int failures = 0;
  for (const char* exportName : {"updateLeechdom", "updateDisease"})
    failures += runInOwnProcess(argv[0], exportName, entries) != 0;
  return failures == 0 ? 0 : 1;
}
