// SPDX-License-Identifier: MIT
// Reads a result document the way an HIS parser does and says what, if
// anything, is wrong with it. Shared by the fuzz targets and the robustness
// tests: every outcome of every export must pass it.
#ifndef NV_TESTS_SUPPORT_DOCUMENT_CHECK_H
#define NV_TESTS_SUPPORT_DOCUMENT_CHECK_H

#include <string>
#include <string_view>
#include <vector>

namespace nvcheck {

struct ColumnHead {
  int colnum;
  std::string colname;
  bool operator==(const ColumnHead& other) const { return colnum == other.colnum && colname == other.colname; }
};

struct ResultDocumentView {
  bool listing = false;  // a centre listing that found centres: no out_code, no out_text
  std::string outCode;
  std::string outText;
  int rowCount = 0;
  int columnCount = 0;
  std::vector<ColumnHead> columns;             // every row carries these, in this order
  std::vector<std::vector<std::string>> rows;  // the values, row by row
};

// What a well-formed document of `functionId` is:
//  - the fixed XML declaration and the function_id;
//  - out_code "000" with out_text "执行成功" and a table, or "300" / "600"
//    with a non-empty out_text and rowcount 0, columns 0; or, when
//    `listingAllowed`, no out_code and a table of at least one row;
//  - rowcount and columns equal to the rows and columns written, rows
//    numbered from 0, every row with the same column heads, whose colnums
//    are 0 to columns - 1 in some order and whose names are distinct;
//  - the closing "</data></function>" as the very last bytes.
// Values are written unescaped and may hold any bytes, "</column>" too, so
// the reader looks for a way to split the table that fits: a document is
// well formed when some reading fits. (So rows beyond the count cannot be
// told from a last value that holds markup.) `knownColumns`, when given,
// fixes the heads; otherwise they are read from row 0 the plain way.
//
// Returns the empty text when the document is well formed (and fills
// `view`), else a description of the first problem found.
std::string readResultDocument(std::string_view document, std::string_view functionId, ResultDocumentView& view,
                               const std::vector<ColumnHead>* knownColumns = nullptr, bool listingAllowed = false);

// The same, for callers that need no view.
std::string resultDocumentProblem(std::string_view document, std::string_view functionId,
                                  const std::vector<ColumnHead>* knownColumns = nullptr, bool listingAllowed = false);

// "执行成功" in GBK, as the library writes it.
extern const char kSuccessText[];

}  // namespace nvcheck

#endif
