// SPDX-License-Identifier: MIT
// Table-driven tests of template exports against the scripted centre: each
// case is data — the call, what the centre answers, the exact result the
// HIS must get and the request members the centre must receive.
#ifndef NV_TESTS_SUPPORT_EXPORT_CASES_H
#define NV_TESTS_SUPPORT_EXPORT_CASES_H

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/gbk.h"
#include "tests/support/result_text.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/scripted_server.h"
#include "tests/support/soap_message.h"

namespace nvtest {

// The configured centres every export test starts with.
struct Centres {
  // First in the file, so an empty centre code selects it; its service is
  // the scripted server.
  static constexpr const char* kMain = "341122";
  static constexpr const char* kHospCode = "H4401";
  static constexpr const char* kOrgLevel = "2";
  static constexpr const char* kUserNo = "op01";
  // Configured, but nothing listens at its address.
  static constexpr const char* kRefused = "341199";
  // Configured with no usable service address.
  static constexpr const char* kNoAddress = "341100";
  // Configured and 13 bytes long: found, then too long for a 12-byte check.
  static constexpr const char* kThirteen = "3411220000013";
  // Not configured at all.
  static constexpr const char* kUnknown = "999999";
};

// A centre configured after the others in SecondCentreTest, also answered
// by the scripted server, with codes of its own: a request must carry the
// chosen centre's codes, not the first centre's.
struct SecondCentre {
  static constexpr const char* kCode = "341123";
  static constexpr const char* kHospCode = "H7702";
  static constexpr const char* kOrgLevel = "3";
  // "收费员八" in GBK: an operator's name, decoded from the file and sent as is.
  static constexpr const char* kUserNo = "\xCA\xD5\xB7\xD1\xD4\xB1\xB0\xCB";
};

// (member name, decoded value) in the order sent.
using SentMembers = std::vector<std::pair<std::string, std::string>>;

struct ExportCase {
  std::string name;
  std::function<char*()> call;
  // What the centre answers; none means the call must not reach the centre.
  std::optional<Reply> reply;
  std::string expected;
  // The operation and members the centre must receive (checked when set).
  std::string operation = {};
  std::optional<SentMembers> sent = {};
};

// A call refused by a check before the centre is reached: the failure under
// code, with the message given in UTF-8.
ExportCase refusedCase(std::string name, std::function<char*()> call, const std::string& functionId,
                       const std::string& code, const std::string& message);

class ExportTest : public ::testing::Test {
 protected:
  ExportTest();

  // Runs every case, each against a fresh script, and checks all it says.
  void runCases(const std::vector<ExportCase>& cases);

  // The operation and decoded members of the last request received.
  std::pair<std::string, SentMembers> lastRequest() const;

  ScratchDir dir;
  ScriptedServer server;
};

// The same centres and SecondCentre last.
class SecondCentreTest : public ExportTest {
 protected:
  SecondCentreTest();
};

// The fixed failure outcomes every template export shares, for one export:
// an unconfigured centre, a SOAP fault with a GBK message in base64, a
// plain-text fault, a connection closed unanswered, malformed XML and a
// centre with no usable address. call(centre) makes the call with valid
// arguments otherwise. (Refused connections, HTTP errors and time-outs are
// covered once, in the template's own tests.)
std::vector<ExportCase> sharedFailureCases(const std::string& functionId,
                                           const std::function<char*(const char* centre)>& call);

}  // namespace nvtest

#endif
