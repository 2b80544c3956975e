// SPDX-License-Identifier: MIT
#include "bench/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace nvbench {

namespace {

long statusField(const char* name) {
  std::ifstream status("/proc/self/status");
  std::string line;
  size_t length = std::strlen(name);
  while (std::getline(status, line))
    if (line.compare(0, length, name) == 0 && line.size() > length && line[length] == ':')
      return std::stol(line.substr(length + 1));
  return -1;
}

}  // namespace

std::string runChild(const std::vector<std::string>& argv) { return *runChildWithin(argv, 0); }

// seconds 0: no limit.
std::optional<std::string> runChildWithin(const std::vector<std::string>& argv, double seconds) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline =
      Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  int spawned = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  if (spawned != 0) {
    close(pipeFds[0]);
    throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(spawned));
  }
  std::string output;
  char chunk[4096];
  for (;;) {
    if (seconds > 0) {
      double left = std::chrono::duration<double>(deadline - Clock::now()).count();
      pollfd readable{pipeFds[0], POLLIN, 0};
      if (left <= 0 || poll(&readable, 1, static_cast<int>(std::ceil(left * 1000))) == 0) {
        kill(pid, SIGKILL);
        close(pipeFds[0]);
        while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        return std::nullopt;
      }
    }
    ssize_t n = read(pipeFds[0], chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    output.append(chunk, static_cast<size_t>(n));
  }
  close(pipeFds[0]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::string how = WIFEXITED(status) ? "exit status " + std::to_string(WEXITSTATUS(status))
                                        : "signal " + std::to_string(WTERMSIG(status));
    throw std::runtime_error(argv[0] + " " + (argv.size() > 1 ? argv[1] : "") + " failed (" + how + ")");
  }
  return output;
}

std::map<std::string, std::string> parseReport(const std::string& line) {
  std::map<std::string, std::string> pairs;
  std::istringstream words(line);
  std::string word;
  while (words >> word) {
    size_t equals = word.find('=');
    if (equals != std::string::npos) pairs[word.substr(0, equals)] = word.substr(equals + 1);
  }
  return pairs;
}

long peakResidentKb() { return statusField("VmHWM"); }
long residentKb() { return statusField("VmRSS"); }

}  // namespace nvbench
