// SPDX-License-Identifier: MIT
// The short reuse soak; tools/soak.sh runs the long one (nv_soak reuse).
#include <gtest/gtest.h>

#include "tests/robustness/reuse_soak.h"

namespace {

TEST(ReuseSoak, KeptConnectionsClosedAtRandomLoseNothingAndSendNothingTwice) {
  const nvtest::ReuseSoakReport report = nvtest::runReuseSoak(8, 20000);
  for (const std::string& problem : report.problems) ADD_FAILURE() << problem;
  // The centre's dice closed connections often enough for every way of
  // closing to come up, and far from every call failed.
  EXPECT_GT(report.connections, 200);
  EXPECT_LT(report.readsFailed + report.changesFailed, report.calls / 3);
  EXPECT_GE(report.changesReceived, report.calls / 2 - report.changesFailed);
  EXPECT_EQ(report.openDescriptorsAfter, report.openDescriptorsBefore) << "descriptors left open";
}

}  // namespace
