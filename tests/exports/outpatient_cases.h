// SPDX-License-Identifier: MIT
// Helpers shared by the outpatient export tests: calls of the short exports,
// records as the centre writes them.
#ifndef NV_TESTS_EXPORTS_OUTPATIENT_CASES_H
#define NV_TESTS_EXPORTS_OUTPATIENT_CASES_H

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "NvInterFace.h"
#include "tests/support/argument_rules.h"
#include "tests/support/export_cases.h"

namespace nvtest {

// The exports of two and of three texts, called on Args.
using TwoTextExport = char*(NV_CALL*)(NvText, NvText);
using ThreeTextExport = char*(NV_CALL*)(NvText, NvText, NvText);
ArgsCall byArgs(TwoTextExport fn);
ArgsCall byArgs(ThreeTextExport fn);

// An export of (key, centre code) that sends the key as one member: its
// function_id, the operation, and the member sent or the column shown.
struct KeyedExport {
  const char* functionId;
  TwoTextExport call;
  const char* operation;
  const char* name;
};
// The call of e on (key, centre), for a case table.
std::function<char*()> callingKeyed(const KeyedExport& e, std::string key, std::string centre);

// (member, plain value): written base64, as the centre sends every text.
using Fields = std::vector<std::pair<std::string, std::string>>;
// <tag><member>base64</member>...</tag>
std::string recordXml(const std::string& tag, const Fields& fields);
// The response member `return` holding one text, base64.
std::string returnText(const std::string& plain);

}  // namespace nvtest

#endif
