// SPDX-License-Identifier: MIT
// The library's seams for tests and fuzzing, each held for a scope on the
// calling thread. Seams nest: an inner one keeps what the outer ones set.
//
//   nvtest::ScopedSessionLimits    scaled-down bounds on every wait
//   nvtest::ScopedSessionTransport the centre's answer from memory: each
//                                  connection is made by the test on loopback,
//                                  its other end reads the request and answers
//   nvtest::ScopedResolve          the addresses of a name of the test's
//   nvtest::ScopedAnswerReader     the generated reader instead of the streaming one
//   nvtest::ScopedTraceSettings    trace settings instead of NvTrace.ini's
#ifndef NVTEST_SESSION_SEAMS_H
#define NVTEST_SESSION_SEAMS_H

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "client/session_seams.h"
#include "frame/trace_seams.h"
#include "tests/support/loopback_socket.h"

namespace nvtest {

class ScopedSessionSeams {
 protected:
  ScopedSessionSeams();
  ~ScopedSessionSeams();
  ScopedSessionSeams(const ScopedSessionSeams&) = delete;
  ScopedSessionSeams& operator=(const ScopedSessionSeams&) = delete;
  // Call once the fields are set.
  void install();

  nv::seams::SessionSeams seams_;

 private:
  const nv::seams::SessionSeams* previous_;
  bool installed_ = false;
};

class ScopedSessionLimits : public ScopedSessionSeams {
 public:
  explicit ScopedSessionLimits(nv::SessionLimits limits);

 private:
  nv::SessionLimits limits_;
};

// Bounds of tests: connecting within `connect`, and the low-speed limit at
// `bytesPerSecond` over `seconds`.
nv::SessionLimits scaledLimits(std::chrono::milliseconds connect, long bytesPerSecond = 1024, long seconds = 1);

class ScopedSessionTransport : public ScopedSessionSeams {
 public:
  // `response` must outlive the instance.
  explicit ScopedSessionTransport(std::string_view response);
  ~ScopedSessionTransport();

  // Every byte the library sent, on every connection.
  std::string sent() const;

 private:
  void accept();
  void serve(int fd);

  std::string_view response_;
  LoopbackSocket listener_;
  std::string connectTo_;
  std::atomic<bool> stopping_{false};
  int wake_[2] = {-1, -1};  // a pipe that wakes the acceptor to stop
  std::thread acceptor_;
  mutable std::mutex mutex_;
  std::string sent_;
  std::vector<std::thread> servers_;
};

// The addresses of a name ("host:port:address[,address...]"), so a test
// can give one name several addresses; none when entry is empty.
class ScopedResolve : public ScopedSessionSeams {
 public:
  explicit ScopedResolve(std::string entry);

 private:
  std::string entry_;
};

class ScopedAnswerReader : public ScopedSessionSeams {
 public:
  using Factory = std::unique_ptr<nv::BodyReader> (*)(const nv::AnswerPlan& plan, nv::AnswerSink& sink);
  explicit ScopedAnswerReader(Factory reader);
};

class ScopedTraceSettings {
 public:
  using Sink = void (*)(const std::string& entry, void* context);
  explicit ScopedTraceSettings(nv::TraceSettings settings, Sink sink = nullptr, void* context = nullptr);
  ~ScopedTraceSettings();
  ScopedTraceSettings(const ScopedTraceSettings&) = delete;
  ScopedTraceSettings& operator=(const ScopedTraceSettings&) = delete;

 private:
  nv::seams::TraceSeams seams_;
  const nv::seams::TraceSeams* previous_;
};

}  // namespace nvtest

#endif
