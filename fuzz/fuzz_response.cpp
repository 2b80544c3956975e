// SPDX-License-Identifier: MIT
// Any bytes as the centre's whole HTTP response: the first byte picks the
// export, the rest is what its connection reads, served from memory. The
// call runs the full export path and must write a well-formed document with
// the export's own columns: "000" with its result shape or "600", never
// anything on stdout.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "tests/support/session_seams.h"
#include "tests/support/document_check.h"
#include "tests/support/export_catalogue.h"
#include "fuzz/fuzz_support.h"

namespace {

using namespace nvfuzz;
using nvcheck::Shape;

struct Target {
  const nvcheck::ExportEntry* entry;
  std::vector<nvcheck::ColumnHead> columns;  // as the export writes them on success
};
std::vector<Target> targets;
int stdoutCapture = -1;

// The column heads of each export, read from its answer to a plain success.
void learnColumns() {
  for (const nvcheck::ExportEntry& e : nvcheck::documentExports()) {
    if (!e.contactsCentre()) continue;
    const std::string answer = nvcheck::plainSuccessAnswer(e);
    nvtest::ScopedSessionTransport transport(answer);
    const std::string doc = take(e.call(e.validCArguments()), e.name);
    nvcheck::ResultDocumentView view;
    std::string problem = nvcheck::readResultDocument(doc, e.functionId, view);
    require(problem.empty() && view.outCode == "000" && view.columnCount == e.columns,
            std::string(e.name) + " succeeds on a plain answer", problem + "\n" + doc);
    targets.push_back({&e, view.columns});
  }
}

// Standard output goes to an unlinked file whose size must stay zero.
void captureStdout() {
  std::fflush(stdout);
  std::FILE* file = std::tmpfile();
  require(file != nullptr, "a file for standard output");
  stdoutCapture = fileno(file);
  dup2(stdoutCapture, STDOUT_FILENO);
}

void requireNothingOnStdout() {
  std::fflush(stdout);
  struct stat st {};
  require(fstat(STDOUT_FILENO, &st) == 0 && st.st_size == 0, "nothing is written to standard output");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  enterConfiguredScratchDirectory();
  learnColumns();
  captureStdout();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const Target& target = targets[data[0] % targets.size()];
  const nvcheck::ExportEntry& e = *target.entry;
  const std::string response(asText(data + 1, size - 1));

  std::string doc;
  {
    nvtest::ScopedSessionTransport transport(response);
    doc = take(e.call(e.validCArguments()), e.name);
    require(transport.sent().rfind("POST ", 0) == 0, std::string(e.name) + " sent its request");
  }
  requireNothingOnStdout();

  nvcheck::ResultDocumentView view;
  std::string problem = nvcheck::readResultDocument(doc, e.functionId, view, &target.columns);
  require(problem.empty(), std::string(e.name) + " writes a well-formed document", problem + "\n" + doc);
  require(view.outCode == "000" || view.outCode == "600", std::string(e.name) + ": a call ends in 000 or 600", doc);
  if (view.outCode == "000") {
    switch (e.shape) {
      case Shape::None: require(view.rowCount == 0 && view.columnCount == 0, "no result, no rows", doc); break;
      case Shape::Text:
      case Shape::Record: require(view.rowCount == 1, "a text or record result is one row", doc); break;
      default: break;
    }
  }
  return 0;
}
