// SPDX-License-Identifier: MIT
// The sandbox centre as a child process of a test: started on a free
// loopback port with its own database, stopped with SIGTERM.
#ifndef NV_TESTS_SANDBOX_SANDBOX_PROCESS_H
#define NV_TESTS_SANDBOX_SANDBOX_PROCESS_H

#include <sys/types.h>

#include <string>

namespace nvtest {

class SandboxProcess {
 public:
  // Starts nv_sandbox with --port 0 --db databasePath (and --tls tlsPem
  // when given: HTTPS); its log goes to logPath. Throws std::runtime_error
  // when it does not report a port.
  SandboxProcess(const std::string& databasePath, const std::string& logPath, const std::string& tlsPem = "");
  ~SandboxProcess();  // stops it, if still running
  SandboxProcess(const SandboxProcess&) = delete;
  SandboxProcess& operator=(const SandboxProcess&) = delete;

  int port() const { return port_; }
  // "http://127.0.0.1:<port>/clinic/webservice/inpatientRedeem", or with
  // TLS "https://localhost:<port>/...", the name its certificates carry.
  std::string url() const;
  bool running() const;

  // Sends SIGTERM and waits; the exit status (-1 when killed by a signal).
  int stop();

  std::string log() const;

 private:
  pid_t pid_ = -1;
  int stdoutFd_ = -1;
  int port_ = 0;
  bool tls_ = false;
  std::string logPath_;
};

// One HTTP exchange with a server on 127.0.0.1: sends the bytes, then
// returns all it answers until it closes (empty when nothing comes back
// within the time-out). With halfClose the client then shuts its sending
// side, so a server waiting for more sees the end at once (and, as the
// runtime does, may find no one left to answer).
std::string httpExchange(int port, const std::string& request, bool halfClose = false, int timeoutMs = 15000);

// A POST of an XML body to the service path, as any SOAP client sends it.
std::string soapPost(const std::string& body);

}  // namespace nvtest

#endif
