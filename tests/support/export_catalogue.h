// SPDX-License-Identifier: MIT
// Every export that returns a result document, as data: how to call it with
// arguments that pass its checks, what it writes, and which operation it
// sends. Shared by the fuzz targets, the robustness tests, the soak run and
// the Wine tests. These facts are the checker's own statement, written apart
// from the export sheets on purpose, so the check does not read the code it
// checks; only the calling by name comes from tools/common/export_list.h.
#ifndef NV_TESTS_SUPPORT_EXPORT_CATALOGUE_H
#define NV_TESTS_SUPPORT_EXPORT_CATALOGUE_H

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace nvcheck {

using CArguments = std::vector<const char*>;

enum class Shape {
  None,     // success carries no rows: rowcount 0, columns 0
  Text,     // one row of one column
  Record,   // one row of `columns` columns
  List,     // one row per item, `columns` columns
  Listing,  // the centre listing: answered from the configuration alone
};

struct ExportEntry {
  const char* name;
  const char* functionId;
  size_t arity;
  int centreArgument;            // from 1; 0 when the export takes none
  const char* checkFailureCode;  // "" for exports that check nothing
  const char* operation;         // the request wrapper sent; "" when none
  const char* responseMember;    // the member of the response wrapper that holds the result
  Shape shape;
  int columns;  // of a successful result
  // Arguments that pass every check; the centre code is "", the first
  // configured centre.
  std::vector<std::string> validArguments;
  std::function<char*(const CArguments&)> call;  // takes exactly `arity` arguments

  // The valid arguments with this centre code in place of "" (for
  // inpRegisterB, in the packed text); the same when the export takes none.
  std::function<std::vector<std::string>(const std::string& centreCode)> argumentsWithCentre;

  bool contactsCentre() const { return shape != Shape::Listing; }
  CArguments validCArguments() const;
};

const std::vector<ExportEntry>& documentExports();
const ExportEntry& exportNamed(const std::string& name);

// A whole HTTP response of the centre: status 200 and a SOAP 1.1 envelope
// whose Body holds the export's response wrapper around `membersXml`.
std::string centreAnswer(const ExportEntry& entry, const std::string& membersXml);
// A successful answer with one row of empty values for list and record
// results, "YWJj" ("abc") for text results, and nothing for the others.
std::string plainSuccessAnswer(const ExportEntry& entry);
// An HTTP 500 SOAP 1.1 fault with this faultstring.
std::string faultAnswer(const std::string& faultstring);

}  // namespace nvcheck

#endif
