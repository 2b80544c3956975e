// SPDX-License-Identifier: MIT
// Table cases show in test output by their label (or name), not as raw
// bytes. GoogleTest looks for the operator beside the case type, so a test
// file brings it in there: `using nvtest::operator<<;`.
#ifndef NV_TESTS_SUPPORT_CASE_LABEL_H
#define NV_TESTS_SUPPORT_CASE_LABEL_H

#include <ostream>

namespace nvtest {

template <class Case>
auto operator<<(std::ostream& out, const Case& c) -> decltype(static_cast<const char*>(c.label), out) {
  return out << (c.label ? c.label : "");
}

template <class Case>
auto operator<<(std::ostream& out, const Case& c) -> decltype(c.name.c_str(), out) {
  return out << c.name;
}

}  // namespace nvtest

#endif
