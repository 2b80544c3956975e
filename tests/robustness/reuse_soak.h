// SPDX-License-Identifier: MIT
// Calls from many threads over kept connections that a centre closes at
// random moments: while idle, between answers, before an answer and part
// way through one. Reads (cliSeek) must give the centre's answer or "600";
// changes (cliCancelFee, each for a visit number of its own) "000" or
// "600", and the centre must never receive one twice. Run short by the
// suite and long by nv_soak.
#ifndef NV_TESTS_ROBUSTNESS_REUSE_SOAK_H
#define NV_TESTS_ROBUSTNESS_REUSE_SOAK_H

#include <string>
#include <vector>

namespace nvtest {

struct ReuseSoakReport {
  long calls = 0, readsFailed = 0, changesFailed = 0;
  long connections = 0;  // the centre accepted
  long changesReceived = 0;
  long openDescriptorsBefore = 0, openDescriptorsAfter = 0;  // with every connection closed
  std::vector<std::string> problems;                         // the first few
};

// Makes `calls` calls from `threads` threads against a loopback centre in
// this process, then closes the kept connections and counts descriptors.
ReuseSoakReport runReuseSoak(int threads, long calls);

}  // namespace nvtest

#endif
