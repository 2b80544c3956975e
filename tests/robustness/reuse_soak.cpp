// SPDX-License-Identifier: MIT
#include "tests/robustness/reuse_soak.h"

#include <dirent.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <random>
#include <thread>

#include "NvInterFace.h"
#include "client/connection_pool.h"
#include "tests/support/document_check.h"
#include "tests/support/export_catalogue.h"
#include "tests/support/loopback_socket.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/soap_message.h"

namespace nvtest {
namespace {

long openDescriptors() {
  long count = 0;
  if (DIR* dir = ::opendir("/proc/self/fd")) {
    while (::readdir(dir) != nullptr) ++count;
    ::closedir(dir);
  }
  return count;
}

constexpr long kFirstVisit = 1000000;  // the change of call i is for visit kFirstVisit + i

// What the centre does after reading a request.
enum class Fate { Answer, AnswerThenClose, CloseUnanswered, CloseMidAnswer, AnswerThenCloseWhenIdle };

Fate fateOf(unsigned roll) {
  if (roll < 70) return Fate::Answer;
  if (roll < 78) return Fate::AnswerThenClose;
  if (roll < 86) return Fate::CloseUnanswered;
  if (roll < 93) return Fate::CloseMidAnswer;
  return Fate::AnswerThenCloseWhenIdle;
}

std::string member(const std::string& text, const std::string& name) {
  const size_t open = text.find("<" + name + ">");
  if (open == std::string::npos) return "";
  const size_t start = open + name.size() + 2, end = text.find("</" + name + ">", start);
  return end == std::string::npos ? "" : text.substr(start, end - start);
}

// A keep-alive centre: one thread per connection, each closing it as its
// dice say. Counts every change it receives by its visit number.
class ClosingCentre {
 public:
  explicit ClosingCentre(long calls)
      : received_(static_cast<size_t>(calls), 0),
        listener_(listenOnLoopback("reuse soak centre", 128)),
        readAnswer_(keptAlive(nvcheck::plainSuccessAnswer(nvcheck::exportNamed("cliSeek")))),
        changeAnswer_(keptAlive(nvcheck::plainSuccessAnswer(nvcheck::exportNamed("cliCancelFee")))) {
    acceptor_ = std::thread([this] { acceptLoop(); });
  }
  ~ClosingCentre() {
    stopping_ = true;
    ::shutdown(listener_.fd, SHUT_RDWR);
    acceptor_.join();
    std::unique_lock<std::mutex> held(lock_);
    ended_.wait(held, [this] { return serving_ == 0; });
    ::close(listener_.fd);
  }
  int port() const { return listener_.port; }
  long connections() const { return connections_; }
  // Visit numbers received more than once (or unknown), and how many changes came.
  std::vector<std::string> repeated(long& received) {
    std::lock_guard<std::mutex> held(lock_);
    received = changes_;
    return repeated_;
  }
  // Waits until every connection the centre served has ended.
  void awaitNoConnections() {
    std::unique_lock<std::mutex> held(lock_);
    ended_.wait_for(held, std::chrono::seconds(10), [this] { return serving_ == 0; });
  }

 private:
  static std::string keptAlive(std::string answer) {
    const size_t at = answer.find("Connection: close");
    if (at != std::string::npos) answer.replace(at, 17, "Connection: keep-alive");
    return answer;
  }

  void acceptLoop() {
    unsigned seed = 1;
    while (!stopping_) {
      const int fd = ::accept4(listener_.fd, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) continue;
      ++connections_;
      {
        std::lock_guard<std::mutex> held(lock_);
        ++serving_;
      }
      std::thread([this, fd, s = seed++] { serve(fd, s); }).detach();
    }
  }

  // Reads one request (headers and Content-Length bytes); false at its end.
  static bool readRequest(int fd, std::string& pending, std::string& request, int waitMs) {
    for (;;) {
      const size_t headEnd = pending.find("\r\n\r\n");
      if (headEnd != std::string::npos) {
        const size_t at = pending.find("Content-Length: ");
        const size_t bodyLength = at < headEnd ? std::strtoul(pending.c_str() + at + 16, nullptr, 10) : 0;
        if (pending.size() >= headEnd + 4 + bodyLength) {
          request = pending.substr(0, headEnd + 4 + bodyLength);
          pending.erase(0, request.size());
          return true;
        }
      }
      pollfd ready{fd, POLLIN, 0};
      if (::poll(&ready, 1, waitMs) <= 0) return false;
      char buffer[16384];
      const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
      if (n <= 0) return false;
      pending.append(buffer, static_cast<size_t>(n));
    }
  }

  static void sendAll(int fd, const char* data, size_t size) {
    while (size > 0) {
      const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
      if (n <= 0) return;
      data += n;
      size -= static_cast<size_t>(n);
    }
  }

  void serve(int fd, unsigned seed) {
    std::minstd_rand dice(seed);
    std::string pending, request;
    int waitMs = 5000;
    while (!stopping_ && readRequest(fd, pending, request, waitMs)) {
      const bool change = request.find("cliCancelFee") != std::string::npos;
      if (change) {
        const std::string visit = base64Decode(member(request, "clinicNo"));
        const long call = std::atol(visit.c_str()) - kFirstVisit;
        std::lock_guard<std::mutex> held(lock_);
        if (call < 0 || call >= static_cast<long>(received_.size()) || received_[static_cast<size_t>(call)]++ > 0)
          repeated_.push_back(visit);
        ++changes_;
      }
      const std::string& answer = change ? changeAnswer_ : readAnswer_;
      const Fate fate = fateOf(static_cast<unsigned>(dice() % 100));
      if (fate == Fate::CloseUnanswered) break;
      if (fate == Fate::CloseMidAnswer) {
        sendAll(fd, answer.data(), 1 + dice() % (answer.size() - 1));
        break;
      }
      sendAll(fd, answer.data(), answer.size());
      if (fate == Fate::AnswerThenClose) break;
      // Closed when idle: the next request must come within a few ms.
      waitMs = fate == Fate::AnswerThenCloseWhenIdle ? static_cast<int>(dice() % 5) : 5000;
    }
    ::close(fd);
    std::lock_guard<std::mutex> held(lock_);
    if (--serving_ == 0) ended_.notify_all();
  }

  std::vector<unsigned char> received_;  // by call: made up front, so memory stays flat
  LoopbackSocket listener_;
  const std::string readAnswer_, changeAnswer_;
  std::atomic<bool> stopping_{false};
  std::atomic<long> connections_{0};
  std::thread acceptor_;
  std::mutex lock_;
  std::condition_variable ended_;
  long serving_ = 0;
  long changes_ = 0;
  std::vector<std::string> repeated_;
};

}  // namespace

ReuseSoakReport runReuseSoak(int threads, long calls) {
  ReuseSoakReport report;
  nv::releaseClientCaches();
  report.openDescriptorsBefore = openDescriptors();
  {
    ClosingCentre centre(calls);
    ScratchDir dir;
    dir.writeCentres(
        {{"341122", "http://127.0.0.1:" + std::to_string(centre.port()) + "/ok", "H4401", "2", "op01", ""}});

    const nvcheck::ExportEntry& read = nvcheck::exportNamed("cliSeek");
    const nvcheck::ExportEntry& change = nvcheck::exportNamed("cliCancelFee");
    std::mutex lock;
    std::string expectedRead, expectedChange;  // the first "000" of each
    std::atomic<long> next{0}, readsFailed{0}, changesFailed{0};
    auto note = [&](const std::string& problem) {
      std::lock_guard<std::mutex> held(lock);
      if (report.problems.size() < 10) report.problems.push_back(problem);
    };
    auto judge = [&](const nvcheck::ExportEntry& e, char* result, std::string& expected, std::atomic<long>& failed) {
      const std::string doc = result ? result : "";
      freeResult(result);
      nvcheck::ResultDocumentView view;
      const std::string problem = nvcheck::readResultDocument(doc, e.functionId, view);
      if (!problem.empty()) return note(std::string(e.name) + ": " + problem + "\n" + doc);
      if (view.outCode == "600") {
        ++failed;
        return;
      }
      if (view.outCode != "000") return note(std::string(e.name) + ": neither 000 nor 600\n" + doc);
      std::lock_guard<std::mutex> held(lock);
      if (expected.empty()) expected = doc;
      if (doc != expected) note(std::string(e.name) + ": an answer unlike the centre's\n" + doc);
    };
    std::vector<std::thread> callers;
    for (int t = 0; t < threads; ++t)
      callers.emplace_back([&] {
        for (long i = next++; i < calls; i = next++) {
          if (i % 2 == 0) {
            judge(read, cliSeek("1001", ""), expectedRead, readsFailed);
          } else {
            const std::string visit = std::to_string(kFirstVisit + i);  // visit numbers are digits
            judge(change, cliCancelFee(visit.c_str(), ""), expectedChange, changesFailed);
          }
        }
      });
    for (std::thread& caller : callers) caller.join();
    report.calls = calls;
    report.readsFailed = readsFailed;
    report.changesFailed = changesFailed;
    report.connections = centre.connections();

    nv::releaseClientCaches();
    centre.awaitNoConnections();
    for (const std::string& visit : centre.repeated(report.changesReceived))
      note("the centre received the change for visit " + visit + " more than once");
    const long changesMade = calls / 2 - report.changesFailed;
    if (changesMade > report.changesReceived)
      note(std::to_string(changesMade) + " changes succeeded, but the centre received " +
           std::to_string(report.changesReceived));
  }
  report.openDescriptorsAfter = openDescriptors();
  return report;
}

}  // namespace nvtest
