// SPDX-License-Identifier: MIT
// The order a sheet's checks run in, which decides the failure reported
// when several arguments are wrong.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/export_sheet.h"

namespace {

struct Request {
  std::string* member;
};
using Row = nv::ArgumentRow<Request>;

Row checked(const char* name, nv::CheckedAfter after = {0}) {
  return {name, nv::stringCheck(name, 4, nv::kRequired), &Request::member, {"", ""}, after};
}
Row unchecked(const char* name) { return {name, nv::kNotChecked, nullptr, {"", ""}}; }

struct OrderCase {
  const char* label;
  std::vector<Row> rows;
  std::vector<int> order;  // the arguments checked, in the order they run
};

TEST(ExportSheetChecks, RunInTheArgumentsOrderUnlessTheyAreToldWhereTo) {
  const OrderCase cases[] = {
      {"in order", {checked("a"), checked("b"), checked("c")}, {1, 2, 3}},
      {"unchecked left out", {checked("a"), unchecked("b"), checked("c")}, {1, 3}},
      {"moved later", {checked("a"), checked("b", {3}), checked("c"), checked("d")}, {1, 3, 2, 4}},
      {"moved earlier", {checked("a"), checked("b"), checked("c"), checked("d", {1})}, {1, 4, 2, 3}},
      {"centre code after the next", {checked("a"), nv::centreCodeArgument({3}), checked("c")}, {1, 3, 2}},
      {"unchecked centre code", {checked("a"), nv::uncheckedCentreCodeArgument()}, {1}},
  };
  for (const OrderCase& c : cases) {
    SCOPED_TRACE(c.label);
    std::vector<int> order;
    for (const nv::Check& check : nv::checksInOrder(c.rows)) {
      order.push_back(check.argument);
      EXPECT_STREQ(check.label, c.rows[static_cast<size_t>(check.argument) - 1].check.label);
    }
    EXPECT_EQ(order, c.order);
  }
}

}  // namespace
