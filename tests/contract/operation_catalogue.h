// SPDX-License-Identifier: MIT
// The 32 operations of the centre's service as a table, so that contract
// tests can drive every generated call procedure through one loop.
#ifndef NVCONTRACT_OPERATION_CATALOGUE_H
#define NVCONTRACT_OPERATION_CATALOGUE_H

#include "tests/support/case_label.h"

#include <functional>
#include <ostream>
#include <string>
#include <vector>

struct soap;

namespace nvcontract {

// Request member values in member order; nullptr leaves a member absent.
using Values = std::vector<std::string*>;

struct CallOutcome {
  int status;                  // what the call procedure returned
  bool responseMemberPresent;  // the response's `return` (or `diseaseList`)
};

struct OperationCase {
  std::string name;                  // "getPersonInfo"; wrapper ns1:<name>
  std::vector<std::string> members;  // request members, wire names, in order
  std::string responseMember;        // "return", "diseaseList" or "" (none)
  // Calls soap_call___ns1__<name> with request member i set to values[i]
  // (values must hold one entry per member) and a NULL SOAPAction.
  std::function<CallOutcome(struct soap*, const char* endpoint, const Values& values)> call;
};

const std::vector<OperationCase>& operationCatalogue();

using nvtest::operator<<;

}  // namespace nvcontract

#endif
