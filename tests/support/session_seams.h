// SPDX-License-Identifier: MIT
// The library's seams for tests and fuzzing, each an environment put in
// force for the whole process for a scope: set one up before the test's
// threads call, and let it go after they have returned. Seams nest: an inner
// one keeps what the outer ones set (it hands on what it does not change).
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

#include "frame/environment.h"
#include "tests/support/loopback_socket.h"

namespace nvtest {

// Wraps the environment in force when made; in force itself from install()
// until destroyed, when the one it wraps is again.
class ScopedSessionSeams : public nv::EnvironmentWrapper {
 protected:
  ScopedSessionSeams();
  ~ScopedSessionSeams();
  ScopedSessionSeams(const ScopedSessionSeams&) = delete;
  ScopedSessionSeams& operator=(const ScopedSessionSeams&) = delete;
  // Call once what the overrides give is set.
  void install();

 private:
  const nv::Environment* previous_ = nullptr;
  bool installed_ = false;
};

class ScopedSessionLimits : public ScopedSessionSeams {
 public:
  explicit ScopedSessionLimits(nv::SessionLimits limits);
  nv::SessionLimits limits() const override { return limits_; }

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
  std::string_view connectTo() const override { return connectTo_; }

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
  std::string_view resolve() const override { return entry_; }

 private:
  std::string entry_;
};

class ScopedAnswerReader : public ScopedSessionSeams {
 public:
  using Factory = std::unique_ptr<nv::BodyReader> (*)(const nv::AnswerPlan& plan, nv::AnswerSink& sink);
  explicit ScopedAnswerReader(Factory reader);
  std::unique_ptr<nv::BodyReader> answerReader(const nv::AnswerPlan& plan, nv::AnswerSink& sink) const override {
    return reader_(plan, sink);
  }

 private:
  Factory reader_;
};

// The trace's settings, and where its entries go besides their file: in
// place of the outer ones' (an inner one without a sink has none).
class ScopedTraceSettings : public ScopedSessionSeams {
 public:
  using Sink = void (*)(const std::string& entry, void* context);
  explicit ScopedTraceSettings(nv::TraceSettings settings, Sink sink = nullptr, void* context = nullptr);
  nv::TraceSettings traceSettings() const override { return settings_; }
  void traceEntry(const std::string& entry) const override {
    if (sink_ != nullptr) sink_(entry, context_);
  }

 private:
  nv::TraceSettings settings_;
  Sink sink_;
  void* context_;
};

}  // namespace nvtest

#endif
