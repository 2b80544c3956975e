// SPDX-License-Identifier: MIT
#include "tests/windows/wine_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace nvwine {
namespace {

namespace fs = std::filesystem;

// The test's environment, with Wine told where its prefix is, to stay
// silent, to skip the .NET and browser add-on installers, and that there is
// no display.
std::vector<std::string> wineEnvironment(const std::string& prefix) {
  const char* replaced[] = {
      "WINEPREFIX=", "WINEDEBUG=", "WINEDLLOVERRIDES=", "WINEARCH=", "DISPLAY=", "WAYLAND_DISPLAY="};
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    bool keep = true;
    for (const char* r : replaced)
      if (std::strncmp(*e, r, std::strlen(r)) == 0) keep = false;
    if (keep) env.emplace_back(*e);
  }
  env.push_back("WINEPREFIX=" + prefix);
  env.push_back("WINEDEBUG=-all");
  env.push_back("WINEDLLOVERRIDES=mscoree,mshtml=");
  return env;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
  std::vector<char*> out;
  for (std::string& t : texts) out.push_back(t.data());
  out.push_back(nullptr);
  return out;
}

}  // namespace

std::string findWine() {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    std::string candidate = (dir.empty() ? std::string(".") : dir) + "/wine";
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return "";
}

std::string findWine64() {
  // Debian keeps it beside the other loaders, off PATH.
  for (const char* candidate : {"/usr/lib/wine/wine64", "/usr/lib64/wine/wine64", "/usr/bin/wine64"})
    if (access(candidate, X_OK) == 0) return candidate;
  return "";
}

std::string i386Emulator(const std::string& binfmtDir) {
  namespace fs = std::filesystem;
  const fs::path binfmt = binfmtDir;
  std::ifstream status(binfmt / "status");
  std::string state;
  if (!(status >> state) || state != "enabled") return "";
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(binfmt, error)) {
    const std::string name = entry.path().filename();
    if (name == "status" || name == "register") continue;
    std::ifstream in(entry.path());
    std::string line, interpreter, magic;
    bool enabled = false;
    while (std::getline(in, line)) {
      if (line == "enabled") enabled = true;
      if (line.rfind("interpreter ", 0) == 0) interpreter = line.substr(12);
      if (line.rfind("magic ", 0) == 0) magic = line.substr(6);
    }
    // ELF, 32-bit, little endian, and e_machine (bytes 18 and 19) EM_386.
    if (enabled && magic.rfind("7f454c460101", 0) == 0 && magic.size() >= 40 && magic.substr(36, 4) == "0300")
      return interpreter + " (binfmt_misc entry " + name + ")";
  }
  return "";
}

RunOutcome runWithWine(const std::vector<std::string>& argv, const std::string& workDir, const std::string& prefix,
                       int timeoutSeconds) {
  RunOutcome outcome;
  std::string outputPath = workDir + "/wine-output.txt";
  std::vector<std::string> args = argv, env = wineEnvironment(prefix);
  std::vector<char*> argp = pointers(args), envp = pointers(env);

  int outputFd = open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (outputFd < 0) return outcome;
  // Output goes to a file, not a pipe: wineserver outlives the program and
  // would hold a pipe open.
  pid_t pid = fork();
  if (pid == 0) {
    setpgid(0, 0);
    int devNull = open("/dev/null", O_RDONLY);
    if (devNull < 0 || dup2(devNull, 0) < 0 || dup2(outputFd, 1) < 0 || dup2(outputFd, 2) < 0 ||
        chdir(workDir.c_str()) != 0)
      _exit(127);
    execve(argp[0], argp.data(), envp.data());
    _exit(127);
  }
  close(outputFd);
  if (pid < 0) return outcome;
  outcome.started = true;

  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(-pid, SIGKILL);
      waitpid(pid, &status, 0);
      outcome.timedOut = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (!outcome.timedOut && WIFEXITED(status)) outcome.exitCode = WEXITSTATUS(status);

  std::ifstream in(outputPath, std::ios::binary);
  outcome.output.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return outcome;
}

std::string ensurePrefix(const std::string& wine, const std::string& prefix) {
  std::error_code ignored;
  fs::create_directories(fs::path(prefix).parent_path(), ignored);
  int lock = open((prefix + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (lock < 0 || flock(lock, LOCK_EX) != 0) {
    if (lock >= 0) close(lock);
    return "cannot lock " + prefix + ".lock";
  }
  // Marked ready only once wineboot has finished: an interrupted first
  // start leaves a prefix that is there but incomplete.
  const std::string ready = prefix + "/.nv-ready";
  std::string problem;
  if (!fs::exists(ready)) {
    std::string workDir = fs::path(prefix).parent_path().string();
    RunOutcome boot = runWithWine({wine, "wineboot", "-i"}, workDir, prefix, 900);
    // The registry reaches the disk only when the prefix's wineserver ends:
    // wait for it before judging the prefix.
    std::string wineserver = (fs::path(wine).parent_path() / "wineserver").string();
    if (access(wineserver.c_str(), X_OK) == 0) runWithWine({wineserver, "-w"}, workDir, prefix, 300);
    if (!boot.timedOut && fs::exists(prefix + "/system.reg"))
      std::ofstream(ready).put('\n');
    else
      problem =
          "wineboot could not make the prefix " + prefix + (boot.timedOut ? " (timed out): " : ": ") + boot.output;
  }
  close(lock);
  return problem;
}

std::string windowsPath(const std::string& linuxPath) {
  std::string path = "Z:" + fs::absolute(linuxPath).lexically_normal().string();
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

}  // namespace nvwine
