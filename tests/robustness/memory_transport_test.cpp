// SPDX-License-Identifier: MIT
// The in-memory transport that the fuzz targets use, and the export
// catalogue they and the robustness tests share: every export, called with
// the catalogue's arguments, passes its checks, sends its operation and
// writes its result shape from an answer that never touches a socket.
#include <gtest/gtest.h>

#include "tests/support/session_seams.h"
#include "tests/support/document_check.h"
#include "tests/support/export_catalogue.h"
#include "tests/support/export_cases.h"

namespace {

using namespace nvtest;
using nvcheck::Shape;

class MemoryTransport : public ExportTest {};

TEST_F(MemoryTransport, EveryExportRunsOnAnAnswerFromMemory) {
  for (const nvcheck::ExportEntry& e : nvcheck::documentExports()) {
    if (!e.contactsCentre()) continue;
    SCOPED_TRACE(e.name);
    const std::string answer = nvcheck::plainSuccessAnswer(e);
    nvtest::ScopedSessionTransport transport(answer);
    std::string doc = take(e.call(e.validCArguments()));

    nvcheck::ResultDocumentView view;
    ASSERT_EQ(nvcheck::readResultDocument(doc, e.functionId, view), "") << utf8(doc);
    EXPECT_EQ(view.outCode, "000") << utf8(doc);
    const bool hasRow = e.shape == Shape::Text || e.shape == Shape::Record || e.shape == Shape::List;
    EXPECT_EQ(view.rowCount, hasRow ? 1 : 0);
    EXPECT_EQ(view.columnCount, e.columns);
    if (e.shape == Shape::Text) {
      EXPECT_EQ(view.rows, (std::vector<std::vector<std::string>>{{"abc"}}));
    }
    EXPECT_EQ(transport.sent().rfind("POST ", 0), 0u);
    EXPECT_EQ(wrapperName(requestBody(transport.sent())), e.operation);
  }
  EXPECT_EQ(server.connectionCount(), 0u) << "no export may reach the network";
}

TEST_F(MemoryTransport, EveryConnectionReadsTheAnswerFromItsStart) {
  const nvcheck::ExportEntry& e = nvcheck::exportNamed("cliSettlement");
  const std::string answer = nvcheck::plainSuccessAnswer(e);
  nvtest::ScopedSessionTransport transport(answer);
  std::string first = take(e.call(e.validCArguments()));
  EXPECT_EQ(take(e.call(e.validCArguments())), first);
  EXPECT_EQ(first, successDoc("cliSettlement", 1, {{{0, "settlementNo", "abc"}}}));
}

TEST_F(MemoryTransport, EndsWithItsScope) {
  const nvcheck::ExportEntry& e = nvcheck::exportNamed("cliSettlement");
  {
    const std::string answer = nvcheck::faultAnswer("inner");
    nvtest::ScopedSessionTransport transport(answer);
  }
  server.enqueue(Reply::soap("cliSettlement", "<return>eA==</return>"));
  EXPECT_EQ(take(e.call(e.validCArguments())), successDoc("cliSettlement", 1, {{{0, "settlementNo", "x"}}}));
  EXPECT_EQ(server.connectionCount(), 1u);
}

}  // namespace
