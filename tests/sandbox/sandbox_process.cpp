// SPDX-License-Identifier: MIT
#include "tests/sandbox/sandbox_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

extern char** environ;

namespace nvtest {
namespace {

// Reads one line from fd within the time limit.
std::string readLine(int fd, int timeoutMs) {
  std::string line;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (line.find('\n') == std::string::npos) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
    char c;
    if (read(fd, &c, 1) != 1) break;
    line += c;
  }
  return line;
}

}  // namespace

SandboxProcess::SandboxProcess(const std::string& databasePath, const std::string& logPath, const std::string& tlsPem)
    : tls_(!tlsPem.empty()), logPath_(logPath) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) throw std::runtime_error("pipe");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  std::vector<std::string> args = {NV_SANDBOX_BINARY, "--port", "0", "--db", databasePath};
  if (tls_) args.insert(args.end(), {"--tls", tlsPem});
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  int rc = posix_spawn(&pid_, NV_SANDBOX_BINARY, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  stdoutFd_ = pipeFds[0];
  if (rc != 0) {
    pid_ = -1;
    throw std::runtime_error("cannot start " NV_SANDBOX_BINARY);
  }
  std::string line = readLine(stdoutFd_, 20000);
  try {
    port_ = std::stoi(line);
  } catch (...) {
    stop();
    throw std::runtime_error("the sandbox reported no port; its log: " + log());
  }
}

SandboxProcess::~SandboxProcess() {
  stop();
  if (stdoutFd_ >= 0) close(stdoutFd_);
}

std::string SandboxProcess::url() const {
  return (tls_ ? "https://localhost:" : "http://127.0.0.1:") + std::to_string(port_) +
         "/clinic/webservice/inpatientRedeem";
}

bool SandboxProcess::running() const { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }

int SandboxProcess::stop() {
  if (pid_ <= 0) return -1;
  kill(pid_, SIGTERM);
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string SandboxProcess::log() const {
  std::ifstream in(logPath_, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string httpExchange(int port, const std::string& request, bool halfClose, int timeoutMs) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return "";
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string answer;
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    size_t sent = 0;
    while (sent < request.size()) {
      ssize_t n = send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) break;
      sent += static_cast<size_t>(n);
    }
    if (halfClose) shutdown(fd, SHUT_WR);
    char buffer[4096];
    while (true) {
      pollfd p{fd, POLLIN, 0};
      if (poll(&p, 1, timeoutMs) <= 0) break;
      ssize_t n = recv(fd, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      answer.append(buffer, static_cast<size_t>(n));
    }
  }
  close(fd);
  return answer;
}

std::string soapPost(const std::string& body) {
  return "POST /clinic/webservice/inpatientRedeem HTTP/1.1\r\nHost: 127.0.0.1\r\n"
         "Content-Type: text/xml; charset=utf-8\r\nSOAPAction: \"\"\r\nConnection: close\r\n"
         "Content-Length: " +
         std::to_string(body.size()) + "\r\n\r\n" + body;
}

}  // namespace nvtest
