// SPDX-License-Identifier: MIT
// Bad input from the HIS, for every export that returns a result document:
// null pointers, 1 MB texts, GBK and invalid byte sequences, and a missing,
// empty, unreadable or huge configuration file. Every outcome is a
// well-formed document; nothing is cut short or converted on its way to the
// centre. The centre answers from memory, so each call is cheap.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <set>

#include "tests/support/session_seams.h"
#include "tests/support/document_check.h"
#include "tests/support/export_catalogue.h"
#include "tests/support/export_cases.h"
#include "tools/common/export_list.h"

namespace {

using namespace nvtest;
using nvcheck::ExportEntry;

struct Outcome {
  std::string document;
  nvcheck::ResultDocumentView view;
  std::string sent;
  std::vector<std::string> sentValues;  // the request members, decoded
};

// Calls with the given arguments (nullopt = a null pointer) against an
// answer of plain success, and checks the document is well formed.
Outcome callWith(const ExportEntry& e, const std::vector<std::optional<std::string>>& args) {
  nvcheck::CArguments cArgs;
  for (const auto& a : args) cArgs.push_back(a ? a->c_str() : nullptr);
  const std::string answer = nvcheck::plainSuccessAnswer(e);
  nvtest::ScopedSessionTransport transport(answer);
  Outcome o;
  o.document = take(e.call(cArgs));
  o.sent = transport.sent();
  if (!o.sent.empty())
    for (const auto& [name, text] : wrapperMembers(requestBody(o.sent))) o.sentValues.push_back(base64Decode(text));
  std::string problem =
      nvcheck::readResultDocument(o.document, e.functionId, o.view, nullptr, e.shape == nvcheck::Shape::Listing);
  EXPECT_EQ(problem, "") << e.name << ": " << o.document.substr(0, 400);
  return o;
}

std::vector<std::optional<std::string>> validArguments(const ExportEntry& e) {
  return {e.validArguments.begin(), e.validArguments.end()};
}

bool sentAsIs(const Outcome& o, const std::string& value) {
  for (const std::string& v : o.sentValues)
    if (v == value) return true;
  return false;
}

class HisInput : public ExportTest {
 protected:
  ~HisInput() override { EXPECT_EQ(server.connectionCount(), 0u) << "every answer comes from memory"; }
};

TEST_F(HisInput, ANullPointerIsTheEmptyText) {
  // Every export that returns a result document is in the catalogue, so none escapes these checks.
  std::set<std::string> documented, catalogued;
  for (const nvexports::Export& row : nvexports::kExports)
    if (row.returnsDocument) documented.insert(row.name);
  for (const ExportEntry& e : nvcheck::documentExports()) catalogued.insert(e.name);
  EXPECT_EQ(catalogued, documented);
  for (const ExportEntry& e : nvcheck::documentExports()) {
    for (size_t i = 0; i < e.arity; ++i) {
      SCOPED_TRACE(std::string(e.name) + " argument " + std::to_string(i + 1));
      auto withNull = validArguments(e), withEmpty = validArguments(e);
      withNull[i] = std::nullopt;
      withEmpty[i] = std::string();
      Outcome null = callWith(e, withNull), empty = callWith(e, withEmpty);
      EXPECT_EQ(null.document, empty.document);
      EXPECT_EQ(null.sent, empty.sent);
    }
    SCOPED_TRACE(e.name);
    std::vector<std::optional<std::string>> allNull(e.arity);
    Outcome o = callWith(e, allNull);
    // The code tables and the connection test take only the centre code, and
    // an empty one selects the first centre: they may succeed on nulls.
    if (e.contactsCentre() && e.arity > 1) {
      EXPECT_NE(o.view.outCode, "000") << "no export that takes more than a centre code succeeds on nothing but nulls";
    }
  }
}

// A 1 MB argument is either refused by its check, before anything is sent,
// or sent whole.
TEST_F(HisInput, OneMegabyteArguments) {
  const std::string huge(1 << 20, '7');
  for (const ExportEntry& e : nvcheck::documentExports()) {
    for (size_t i = 0; i < e.arity; ++i) {
      SCOPED_TRACE(std::string(e.name) + " argument " + std::to_string(i + 1));
      auto args = validArguments(e);
      args[i] = huge;
      Outcome o = callWith(e, args);
      if (o.view.outCode == "000" && e.contactsCentre()) {
        EXPECT_TRUE(sentAsIs(o, huge)) << "sent whole";
      } else if (e.contactsCentre()) {
        EXPECT_TRUE(o.sent.empty());
        EXPECT_EQ(o.view.outCode, static_cast<int>(i + 1) == e.centreArgument ? "300" : e.checkFailureCode);
      }
    }
  }
  // The one argument no check limits: the treatment code of a registration.
  auto args = validArguments(nvcheck::exportNamed("inpRegister"));
  args[17] = huge;
  Outcome o = callWith(nvcheck::exportNamed("inpRegister"), args);
  EXPECT_EQ(o.view.outCode, "000");
  EXPECT_TRUE(sentAsIs(o, huge));
}

// Texts are bytes: whatever passes its check reaches the centre unchanged;
// whatever does not is refused with the export's check code.
TEST_F(HisInput, GbkAndInvalidByteSequences) {
  const std::string oddValues[] = {
      gbk("张三"),  // GBK
      "\x81\x7C",   // a GBK character whose second byte is "|"
      "\xFF\xFE",   // bytes no text encoding starts with
      "\xC0\x80",   // an overlong zero in UTF-8
      "\x80",       // a lone continuation byte
      "<&\"'>",     // markup
      "\xE5\xB0",   // UTF-8 cut inside a character
  };
  for (const ExportEntry& e : nvcheck::documentExports()) {
    if (!e.contactsCentre()) continue;
    for (size_t i = 0; i < e.arity; ++i) {
      if (static_cast<int>(i + 1) == e.centreArgument) continue;
      for (const std::string& odd : oddValues) {
        SCOPED_TRACE(std::string(e.name) + " argument " + std::to_string(i + 1));
        auto args = validArguments(e);
        args[i] = odd;
        Outcome o = callWith(e, args);
        if (o.view.outCode == "000") {
          EXPECT_TRUE(sentAsIs(o, odd)) << "sent byte for byte";
        } else {
          EXPECT_EQ(o.view.outCode, e.checkFailureCode) << o.document;
          EXPECT_TRUE(o.sent.empty());
        }
      }
    }
  }
}

// The centre code is looked up byte for byte: odd bytes find no centre.
TEST_F(HisInput, OddCentreCodesFindNoCentre) {
  for (const ExportEntry& e : nvcheck::documentExports()) {
    if (e.centreArgument == 0) continue;
    for (const std::string& code :
         {gbk("中心"), std::string("\xFF\xFE"), std::string("341122 "), std::string(" 341122")}) {
      SCOPED_TRACE(e.name);
      auto args = validArguments(e);
      args[e.centreArgument - 1] = code;
      Outcome o = callWith(e, args);
      EXPECT_EQ(o.view.outCode, "300");
      EXPECT_TRUE(o.sent.empty());
    }
  }
}

class ConfigurationTrouble : public HisInput {};

enum class FileHolds { NoRecord, NoSuchCentre, TheCentre };

// Exports against the file in one state, with the centre code given (the
// empty one picks the file's first record): success, or the centre not
// found. Listing everything succeeds whenever the file holds a record.
void expectExports(FileHolds holds, const std::string& centreCode = "", const std::vector<std::string>& only = {}) {
  for (const ExportEntry& e : nvcheck::documentExports()) {
    if (!only.empty() && std::find(only.begin(), only.end(), e.name) == only.end()) continue;
    SCOPED_TRACE(e.name);
    std::vector<std::string> args = e.argumentsWithCentre(centreCode);
    Outcome o = callWith(e, {args.begin(), args.end()});
    bool listsAll = e.shape == nvcheck::Shape::Listing && e.arity == 0;
    if (holds == FileHolds::TheCentre || (listsAll && holds == FileHolds::NoSuchCentre)) {
      EXPECT_TRUE(o.view.outCode == "000" || o.view.listing) << o.document.substr(0, 300);
    } else {
      EXPECT_EQ(o.document, centreNotFound(e.functionId));
      EXPECT_TRUE(o.sent.empty());
    }
  }
}

TEST_F(ConfigurationTrouble, MissingEmptyOrUnreadable) {
  dir.removeConfig();
  expectExports(FileHolds::NoRecord);

  dir.writeConfig("");
  expectExports(FileHolds::NoRecord);

  dir.writeConfig(std::string(1 << 16, '\0'));
  expectExports(FileHolds::NoRecord);

  dir.removeConfig();
  ASSERT_EQ(mkdir("NvConfiguration.ini", 0755), 0);
  expectExports(FileHolds::NoRecord);
  ASSERT_EQ(rmdir("NvConfiguration.ini"), 0);

  dir.writeCentres({{Centres::kMain, "http://127.0.0.1:9/x", "H", "1", "op", ""}});
  ASSERT_EQ(chmod("NvConfiguration.ini", 0), 0);
  // Root reads a file whatever its mode; anyone else cannot.
  expectExports(geteuid() == 0 ? FileHolds::TheCentre : FileHolds::NoRecord);
  chmod("NvConfiguration.ini", 0644);
}

// Addresses the runtime cannot call as written are refused before any
// session opens.
TEST_F(ConfigurationTrouble, UnusableServiceAddresses) {
  const ExportEntry& e = nvcheck::exportNamed("cliSettlement");
  const std::string unusable = failureDoc(e.functionId, "600", "农合中心服务地址未配置或无效");
  const struct {
    const char* address;
    bool usable;
  } cases[] = {
      {"http://[::1]:8888/x", true}, {"http://[::1", false},  // the runtime would read past the end of the text
      {"http://[:zQxMTk", false},    {"http://[", false},    {"http://[]/x", false}, {"", false},
      {"https://centre/x", true},    {"https://", false},    {"http://", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address);
    dir.writeCentres({{Centres::kMain, c.address, "H", "1", "op", ""}});
    Outcome o = callWith(e, validArguments(e));
    if (c.usable) {
      // Called: over HTTPS the answer from memory is not TLS, so only the
      // attempt is on trial.
      EXPECT_NE(o.document, unusable);
      EXPECT_FALSE(o.sent.empty());
    } else {
      EXPECT_EQ(o.document, unusable);
      EXPECT_TRUE(o.sent.empty());
    }
  }
}

TEST_F(ConfigurationTrouble, TenMegabyteFiles) {
  const std::string centre = centreLines({Centres::kMain, "http://127.0.0.1:9/x", "H", "1", "op", ""});
  // Lines that set nothing, in whole groups of six: 10 MB of them.
  const std::string noKey = "line of no key " + std::string(150, 'j') + "\n";
  std::string junk;
  for (size_t groups = (10u << 20) / (6 * noKey.size()) + 1; groups > 0; --groups)
    for (int i = 0; i < 6; ++i) junk += noKey;
  const std::string hugeCode = std::string(10u << 20, 'M') + "-";  // "-": not base64, kept as written
  const struct {
    const char* name;
    std::string file;
    std::string centreCode;
    FileHolds holds;
  } cases[] = {
      {"the centre, then 10 MB", centre + junk, "", FileHolds::TheCentre},
      {"10 MB, then the centre", junk + centre, Centres::kMain, FileHolds::TheCentre},
      {"10 MB, then the centre, looked up by the empty code", junk + centre, "", FileHolds::NoSuchCentre},
      {"one line of 10 MB without a line end", std::string(10u << 20, 'x'), "", FileHolds::NoRecord},
      {"a centre code of 10 MB", "f7ad02e=" + hugeCode + "\n" + centre.substr(centre.find('\n') + 1), "",
       FileHolds::TheCentre},
  };
  // The lookup is shared: one export of each kind reads each file.
  const std::vector<std::string> readers = {"getCenter", "getAllCenter", "getPersonInfo", "calculate", "inpRegisterB"};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dir.writeConfig(c.file);
    expectExports(c.holds, c.centreCode, readers);
  }
  // The huge code is sent whole where the centre's code is a request member.
  const ExportEntry& calculate = nvcheck::exportNamed("calculate");
  EXPECT_TRUE(sentAsIs(callWith(calculate, validArguments(calculate)), hugeCode));
}

}  // namespace
