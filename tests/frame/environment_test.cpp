// SPDX-License-Identifier: MIT
// Seams put in force for the process nest: each hands on what it does not
// change to the one it wraps, and going out of scope puts that one back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/environment.h"
#include "tests/support/session_seams.h"

namespace {

using nvtest::ScopedResolve;
using nvtest::ScopedSessionLimits;
using nvtest::ScopedTraceSettings;

void collect(const std::string& entry, void* into) { static_cast<std::vector<std::string>*>(into)->push_back(entry); }

TEST(Environment, SeamsNestAndEachRestoresTheOneBefore) {
  const nv::Environment& standard = nv::Environment::standard();
  ASSERT_EQ(&nv::Environment::current(), &standard);
  std::vector<std::string> outer, inner;
  {
    ScopedSessionLimits limits(nvtest::scaledLimits(std::chrono::milliseconds(300)));
    ScopedTraceSettings traced({1, ""}, collect, &outer);
    {
      ScopedResolve resolve("centre.test:80:127.0.0.1");
      ScopedResolve none("");  // no entry: nothing put in force
      ScopedTraceSettings quieter({2, ""}, collect, &inner);
      const nv::Environment& now = nv::Environment::current();
      EXPECT_EQ(now.limits().connect, std::chrono::milliseconds(300));
      EXPECT_EQ(now.resolve(), "centre.test:80:127.0.0.1");
      EXPECT_EQ(now.connectTo(), standard.connectTo());
      EXPECT_EQ(now.traceSettings().level, 2);
      now.traceEntry("inner");
    }
    const nv::Environment& now = nv::Environment::current();
    EXPECT_EQ(now.resolve(), "");
    EXPECT_EQ(now.traceSettings().level, 1);
    EXPECT_EQ(now.limits().connect, std::chrono::milliseconds(300));
    now.traceEntry("outer");
  }
  EXPECT_EQ(&nv::Environment::current(), &standard);
  EXPECT_EQ(nv::Environment::current().limits().connect, nv::SessionLimits().connect);
  EXPECT_EQ(inner, std::vector<std::string>{"inner"});
  EXPECT_EQ(outer, std::vector<std::string>{"outer"});
}

}  // namespace
