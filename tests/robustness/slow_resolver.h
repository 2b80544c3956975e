// SPDX-License-Identifier: MIT
// Names under "slow-resolver.test" take this long to fail to resolve, in
// the programs that link tests/robustness/slow_resolver.cpp.
#ifndef NV_TESTS_ROBUSTNESS_SLOW_RESOLVER_H
#define NV_TESTS_ROBUSTNESS_SLOW_RESOLVER_H

namespace nvtest {

constexpr int kSlowResolverMs = 4000;

}  // namespace nvtest

#endif
